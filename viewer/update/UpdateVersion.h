#pragma once
#include <string>
#include <string_view>

namespace viewer {

// Version texts as the update check compares them: 20-byte texts in which a text of 1 to 19 bytes
// is filled up with 0xFF bytes, compared byte by byte as unsigned values. So "1.0.3.1" is not
// newer than "1.0.3" (the point is below the filler) and "1.0.10" is not newer than "1.0.3".
class UpdateVersion {
  public:
    static constexpr size_t Width = 20;

    // The comparable form: at most Width bytes, cut at the first zero byte, filled with 0xFF;
    // an empty text stays empty.
    static std::string Comparable(std::string_view text);
    // True when the published version compares greater than the running one.
    static bool IsNewer(std::string_view published, std::string_view running);
};

} // namespace viewer
