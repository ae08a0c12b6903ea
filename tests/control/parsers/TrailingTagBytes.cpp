#include "tests/control/parsers/TrailingTagBytes.h"

namespace testsupport {
namespace {

void PutField(Bytes& out, const std::string& text, size_t width) {
    Bytes field(width, 0);
    std::copy_n(text.begin(), std::min(text.size(), width), field.begin());
    out.insert(out.end(), field.begin(), field.end());
}

void PutApeFrame(Bytes& out, uint32_t tagSize, uint32_t itemCount, uint32_t flags) {
    PutText(out, "APETAGEX");
    PutLE(out, 2000, 4);
    PutLE(out, tagSize, 4);
    PutLE(out, itemCount, 4);
    PutLE(out, flags, 4);
    PutLE(out, 0, 8);
}

} // namespace

Bytes Id3v1Tag(const std::string& title, const std::string& artist, const std::string& album,
               const std::string& year, uint8_t genre) {
    Bytes out;
    PutText(out, "TAG");
    PutField(out, title, 30);
    PutField(out, artist, 30);
    PutField(out, album, 30);
    PutField(out, year, 4);
    PutField(out, "", 30);
    out.push_back(genre);
    return out;
}

Bytes ApeTag(const std::vector<std::pair<std::string, std::string>>& items) {
    Bytes body;
    for (const auto& [key, value] : items) {
        PutLE(body, value.size(), 4);
        PutLE(body, 0, 4);
        PutText(body, key);
        body.push_back(0);
        PutText(body, value);
    }
    constexpr uint32_t HasHeader = 1u << 31;
    constexpr uint32_t IsHeader = 1u << 29;
    const uint32_t size = static_cast<uint32_t>(body.size() + 32);
    const uint32_t count = static_cast<uint32_t>(items.size());
    Bytes out;
    PutApeFrame(out, size, count, HasHeader | IsHeader);
    out.insert(out.end(), body.begin(), body.end());
    PutApeFrame(out, size, count, HasHeader);
    return out;
}

} // namespace testsupport
