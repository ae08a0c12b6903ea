#include "control/TagFieldMap.h"

namespace control {
namespace {

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsUpper(std::string_view text, std::string_view upperKey) {
    if (text.size() != upperKey.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (UpperAscii(text[i]) != upperKey[i])
            return false;
    return true;
}

} // namespace

std::optional<size_t> FindFrameIdRow(std::string_view frameId) {
    for (size_t row = 0; row < TagReaderRowCount; ++row)
        if (frameId == TagFieldMap[row].frameId)
            return row;
    return std::nullopt;
}

std::optional<size_t> FindApeKeyRow(std::string_view key) {
    for (size_t row = 0; row < TagReaderRowCount; ++row)
        if (EqualsUpper(key, TagFieldMap[row].apeKey))
            return row;
    return std::nullopt;
}

std::optional<size_t> FindVorbisKeyRow(std::string_view entry) {
    for (size_t row = 0; row < TagFieldMap.size(); ++row) {
        std::string_view key = TagFieldMap[row].vorbisKey;
        if (entry.size() >= key.size() && EqualsUpper(entry.substr(0, key.size()), key))
            return row;
    }
    return std::nullopt;
}

} // namespace control
