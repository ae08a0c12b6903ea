#include "control/ID3FrameText.h"

#include "platform/CodePage.h"

namespace control {
namespace {

enum : uint8_t { Latin1 = 0, Utf16WithBom = 1, Utf16BE = 2, Utf8 = 3 };

bool IsUtf16(uint8_t encoding) {
    return encoding == Utf16WithBom || encoding == Utf16BE;
}

bool StartsWith(std::string_view data, std::string_view prefix) {
    return data.substr(0, prefix.size()) == prefix;
}

// Units up to the first zero unit; an odd last byte is no whole unit and is dropped.
std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<uint8_t>(bytes[i]);
        const auto second = static_cast<uint8_t>(bytes[i + 1]);
        const auto unit =
            static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

ID3FrameText Utf16Text(std::string_view bytes, bool bigEndian) {
    if (StartsWith(bytes, "\xFF\xFE")) {
        bytes.remove_prefix(2);
        bigEndian = false;
    } else if (StartsWith(bytes, "\xFE\xFF")) {
        bytes.remove_prefix(2);
        bigEndian = true;
    }
    return {platform::Utf16ToUtf8(Utf16Units(bytes, bigEndian)), true};
}

ID3FrameText Utf8Text(std::string_view bytes) {
    if (StartsWith(bytes, "\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return {std::string(bytes.substr(0, bytes.find('\0'))), true};
}

bool IsEmptyText(const ID3FrameText& text) {
    return text.bytes.empty() || text.bytes.front() == '\0';
}

} // namespace

ID3FrameText DecodeID3FrameText(uint8_t encoding, std::string_view data) {
    switch (encoding) {
    case Utf16WithBom:
        return Utf16Text(data, false);
    case Utf16BE:
        return Utf16Text(data, true);
    case Utf8:
        return Utf8Text(data);
    default:
        // A little-endian byte-order mark marks UTF-16 even behind an 8-bit encoding byte.
        if (StartsWith(data, "\xFF\xFE"))
            return Utf16Text(data, false);
        return {std::string(data), false};
    }
}

size_t ID3TerminatedLength(uint8_t encoding, std::string_view data) {
    if (!IsUtf16(encoding)) {
        const size_t zero = data.find('\0');
        return zero == std::string_view::npos ? data.size() : zero + 1;
    }
    for (size_t i = 0; i + 1 < data.size(); i += 2)
        if (data[i] == '\0' && data[i + 1] == '\0')
            return i + 2;
    return data.size();
}

ID3CommentText DecodeID3Comment(std::string_view data) {
    constexpr size_t LanguageEnd = 4; // the encoding byte and three language bytes
    if (data.size() < LanguageEnd)
        return {};
    const auto encoding = static_cast<uint8_t>(data[0]);
    std::string_view rest = data.substr(LanguageEnd);
    const size_t descriptionLength = ID3TerminatedLength(encoding, rest);
    const ID3FrameText description =
        DecodeID3FrameText(encoding, rest.substr(0, descriptionLength));
    ID3CommentText comment;
    comment.hasDescription = !IsEmptyText(description);
    comment.text = DecodeID3FrameText(encoding, rest.substr(descriptionLength));
    return comment;
}

} // namespace control
