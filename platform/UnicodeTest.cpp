#include "platform/UnicodeTest.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <set>
#include <string>
#include <unicode/uchar.h>

namespace platform {
namespace {

// Why the statistical test can tell the two apart: read as UTF-16LE, 8-bit text (any code page,
// UTF-8 too) puts its odd bytes, which are printable characters, into the high bytes of the
// units. A high byte of 0x00 to 0x1F therefore appears only where the text ends: the zero
// byte after its last character. UTF-16 text of alphabetic scripts is the other way round:
// its high bytes are small (0x00 Latin, 0x01 Latin Extended, 0x03 Greek, 0x04 Cyrillic...)
// and cluster on one or two values. So letters in such units, before the last one, are the
// evidence for UTF-16; any unit that is no character of running text is evidence against.
// (Ideographic scripts would put their high bytes where 8-bit letters lie; they cannot be told
// from 8-bit text this way and are not recognised.)
enum class Evidence { Against, Neutral, For };

struct Range {
    char16_t first;
    char16_t last;
};

// Alphabets with high bytes from 0x01 to 0x1F.
constexpr Range Alphabets[] = {
    {0x0100, 0x024F}, // Latin Extended-A and -B
    {0x0370, 0x03FF}, // Greek
    {0x0400, 0x052F}, // Cyrillic and its supplement
    {0x0531, 0x058F}, // Armenian
    {0x05D0, 0x05EA}, // Hebrew letters
    {0x0620, 0x064A}, // Arabic letters
    {0x1E00, 0x1EFF}, // Latin Extended Additional (Vietnamese)
    {0x1F00, 0x1FFF}, // Greek Extended
};

// Other characters of running text.
constexpr Range TextSymbols[] = {
    {0x00A0, 0x00FF}, // Latin-1
    {0x02B0, 0x036F}, // modifier letters, combining accents
    {0x2010, 0x2027}, // dashes, quotes, bullet, ellipsis
    {0x2030, 0x205E}, // per mille, primes, guillemets
    {0x20A0, 0x20CF}, // currency signs
    {0x2100, 0x218F}, // letterlike symbols, number forms
};

bool InRanges(char16_t unit, const Range* begin, const Range* end) {
    return std::any_of(begin, end, [unit](const Range& range) {
        return unit >= range.first && unit <= range.last;
    });
}

bool IsAsciiText(char16_t unit) {
    return unit == u'\t' || unit == u'\n' || unit == u'\r' || (unit >= 0x20 && unit <= 0x7E);
}

bool IsAssignedGraphic(char16_t unit) {
    int8_t type = u_charType(unit);
    return type != U_UNASSIGNED && type != U_CONTROL_CHAR && type != U_FORMAT_CHAR &&
           type != U_PRIVATE_USE_CHAR && type != U_SURROGATE;
}

// The last unit may be the last 8-bit character with the terminating zero byte, so a Latin-1
// letter there proves nothing.
Evidence Weigh(char16_t unit, bool last) {
    bool latin1 = unit < 0x100;
    if (latin1 && !IsAsciiText(unit) &&
        !InRanges(unit, std::begin(TextSymbols), std::end(TextSymbols)))
        return Evidence::Against;
    if (!latin1 && !IsAssignedGraphic(unit))
        return Evidence::Against;
    if (InRanges(unit, std::begin(Alphabets), std::end(Alphabets)))
        return u_isalpha(unit) ? Evidence::For : Evidence::Neutral;
    if (latin1)
        return u_isalpha(unit) && !last ? Evidence::For : Evidence::Neutral;
    return InRanges(unit, std::begin(TextSymbols), std::end(TextSymbols)) ? Evidence::Neutral
                                                                          : Evidence::Against;
}

// The UTF-16LE units of the text: up to a zero unit, and without a last unit whose low byte is
// zero (the zero byte that ends 8-bit text, followed by whatever byte comes after it). An odd
// last byte is no whole unit and is ignored.
std::u16string TextUnits(const uint8_t* bytes, size_t size) {
    std::u16string units;
    for (size_t i = 0; i + 1 < size; i += 2) {
        auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0)
            return units;
        units += unit;
    }
    if (!units.empty() && (units.back() & 0xFF) == 0)
        units.pop_back();
    return units;
}

bool PassesAscii16(const std::u16string& units) {
    return !units.empty() && std::all_of(units.begin(), units.end(), IsAsciiText);
}

// The two most frequent high bytes cover at least three units in four.
bool HighBytesConcentrated(const std::u16string& units) {
    std::array<size_t, 256> counts{};
    for (char16_t unit : units)
        ++counts[unit >> 8];
    std::partial_sort(counts.begin(), counts.begin() + 2, counts.end(), std::greater<>());
    return (counts[0] + counts[1]) * 4 >= units.size() * 3;
}

// Three or more units of one low byte are a fill pattern, not text.
bool LowBytesVaried(const std::u16string& units) {
    std::set<uint8_t> lowBytes;
    for (char16_t unit : units)
        lowBytes.insert(static_cast<uint8_t>(unit & 0xFF));
    return units.size() < 3 || lowBytes.size() > 1;
}

bool PassesStatistics(const std::u16string& units) {
    size_t evidence = 0;
    for (size_t i = 0; i < units.size(); ++i) {
        Evidence weight = Weigh(units[i], i + 1 == units.size());
        if (weight == Evidence::Against)
            return false;
        evidence += weight == Evidence::For;
    }
    return evidence > 0 && HighBytesConcentrated(units) && LowBytesVaried(units);
}

} // namespace

bool IsTextUnicode(const void* data, size_t size, int tests) {
    if (!data)
        return false;
    std::u16string units = TextUnits(static_cast<const uint8_t*>(data), size);
    if ((tests & IS_TEXT_UNICODE_ASCII16) && PassesAscii16(units))
        return true;
    return (tests & IS_TEXT_UNICODE_STATISTICS) && PassesStatistics(units);
}

} // namespace platform
