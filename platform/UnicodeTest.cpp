#include "platform/UnicodeTest.h"

#include <cstdint>
#include <iterator>
#include <set>
#include <string>
#include <unicode/uchar.h>

namespace platform {
namespace {

// How one UTF-16 unit bears on the question "is this UTF-16LE text?".
enum class Evidence {
    Against, // not a character of ordinary text: the bytes are something else
    Neutral, // a character of text, but also what 8-bit text can look like
    For,     // a letter of an alphabetic script outside Latin-1
};

struct Range {
    char16_t first;
    char16_t last;
};

// Alphabets whose UTF-16 units have a high byte from 0x01 to 0x1F. Those bytes are control
// characters in any 8-bit or UTF-8 text, so such a unit cannot come from ordinary 8-bit text.
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

// Characters of running text that 8-bit text can also produce when read as UTF-16.
constexpr Range TextSymbols[] = {
    {0x0020, 0x007E}, // ASCII
    {0x00A0, 0x00FF}, // Latin-1
    {0x02B0, 0x036F}, // modifier letters, combining accents
    {0x2010, 0x2027}, // dashes, quotes, bullet, ellipsis
    {0x2030, 0x205E}, // per mille, primes, guillemets
    {0x20A0, 0x20CF}, // currency signs
    {0x2100, 0x218F}, // letterlike symbols (No., TM), number forms
};

bool InRanges(char16_t unit, const Range* begin, const Range* end) {
    for (const Range* range = begin; range != end; ++range)
        if (unit >= range->first && unit <= range->last)
            return true;
    return false;
}

bool IsAssigned(char16_t unit) {
    int8_t type = u_charType(unit);
    return type != U_UNASSIGNED && type != U_CONTROL_CHAR && type != U_FORMAT_CHAR &&
           type != U_PRIVATE_USE_CHAR && type != U_SURROGATE;
}

bool IsAsciiText(char16_t unit) {
    return unit == u'\t' || unit == u'\n' || unit == u'\r' || (unit >= 0x20 && unit <= 0x7E);
}

Evidence Weigh(char16_t unit) {
    if (IsAsciiText(unit))
        return Evidence::Neutral;
    if (!IsAssigned(unit))
        return Evidence::Against;
    if (InRanges(unit, std::begin(Alphabets), std::end(Alphabets)))
        return Evidence::For;
    if (InRanges(unit, std::begin(TextSymbols), std::end(TextSymbols)))
        return Evidence::Neutral;
    return Evidence::Against;
}

// The UTF-16LE units of the text: up to a zero unit, and without a last unit whose low byte is
// zero (a zero byte that ends 8-bit text, followed by whatever byte comes after it). An odd
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
    if (units.empty())
        return false;
    for (char16_t unit : units)
        if (!IsAsciiText(unit))
            return false;
    return true;
}

// Every unit a character of text, at least one letter of an alphabet beyond Latin-1, those
// letters from at most two 256-character blocks (one script, as UTF-16 text of one language
// has), and not one value repeated (a fill pattern rather than text).
bool PassesStatistics(const std::u16string& units) {
    size_t letters = 0;
    std::set<uint8_t> letterBlocks;
    std::set<uint8_t> lowBytes;
    for (char16_t unit : units) {
        Evidence evidence = Weigh(unit);
        if (evidence == Evidence::Against)
            return false;
        if (evidence == Evidence::For) {
            ++letters;
            letterBlocks.insert(static_cast<uint8_t>(unit >> 8));
        }
        lowBytes.insert(static_cast<uint8_t>(unit & 0xFF));
    }
    bool varied = units.size() < 3 || lowBytes.size() > 1;
    return letters > 0 && letterBlocks.size() <= 2 && varied;
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
