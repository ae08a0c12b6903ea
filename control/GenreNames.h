#pragma once
#include <cstddef>
#include <string_view>

namespace control {

// The genre names that ID3 genre numbers stand for: 0 to 147 as taggers know them, 148 the
// Russian name for bard song as 8-bit text in code page 1251.
constexpr size_t GenreNameCount = 149;

// The 8-bit name of a genre number; the empty text for numbers above 148.
std::string_view GenreName(size_t index);

} // namespace control
