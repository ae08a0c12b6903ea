#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace sharedui {

// The code pages offered for tag text stored without Unicode, in the order the code page
// dialog lists them. 0 stands for the system's ANSI code page; the other numbers are Windows
// code page identifiers.
class CodePageList {
  public:
    struct Row {
        uint32_t codePage;
        const char16_t* name;
    };
    static constexpr size_t Count = 138;

    static const std::array<Row, Count>& Rows();
    // The last row that holds the code page; row 0, "Defined by System", when none does.
    static size_t RowOf(uint32_t codePage);
};

} // namespace sharedui
