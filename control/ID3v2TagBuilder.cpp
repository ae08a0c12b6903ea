#include "control/ID3v2TagBuilder.h"

#include "control/ID3v2FrameConverter.h"
#include "platform/CodePage.h"

namespace control {
namespace {

constexpr char EncodingCodePage = 0;
constexpr char EncodingUtf16 = 1;
constexpr char ByteOrderMark[] = "\xFF\xFE";
constexpr char Language[] = "eng";
constexpr uint32_t MaxTagBodySize = (1u << 28) - 1;

void AppendUtf16LE(std::string& out, const std::u16string& text) {
    for (char16_t unit : text) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    }
}

// A text up to its first zero character, as the text of a frame ends there.
std::u16string UpToZero(const std::u16string& text) {
    return text.substr(0, text.find(u'\0'));
}

} // namespace

std::string ID3v2TagBuilder::UnicodeFrame(const char* id, const std::u16string& text) {
    std::string data(1, EncodingUtf16);
    data.append(ByteOrderMark, 2);
    AppendUtf16LE(data, UpToZero(text));
    data.append(2, '\0');
    return ID3v2FrameConverter::Version3Frame(id, data, 0, 0);
}

std::string ID3v2TagBuilder::UnicodeComment(const std::u16string& text) {
    std::string data(1, EncodingUtf16);
    data.append(Language, 3);
    data.append(ByteOrderMark, 2); // the empty description
    data.append(2, '\0');
    data.append(ByteOrderMark, 2);
    AppendUtf16LE(data, UpToZero(text));
    return ID3v2FrameConverter::Version3Frame("COMM", data, 0, 0);
}

std::string ID3v2TagBuilder::EightBitFrame(const char* id, const std::string& bytes) {
    std::string data(1, EncodingCodePage);
    data.append(bytes);
    data.push_back('\0');
    return ID3v2FrameConverter::Version3Frame(id, data, 0, 0);
}

std::string ID3v2TagBuilder::EightBitComment(const std::string& bytes) {
    std::string data(1, EncodingCodePage);
    data.append(Language, 3);
    data.push_back('\0'); // the empty description
    data.append(bytes);
    return ID3v2FrameConverter::Version3Frame("COMM", data, 0, 0);
}

std::string ID3v2TagBuilder::TextFrames(const ID3v2TagTexts& texts, bool useUnicode,
                                        uint32_t codePage) {
    const std::u16string comment = UpToZero(texts.comment);
    if (useUnicode) {
        std::string frames = UnicodeFrame("TPE1", texts.artist) +
                             UnicodeFrame("TALB", texts.album) + UnicodeFrame("TIT2", texts.title) +
                             UnicodeFrame("TRCK", texts.trackNum) +
                             UnicodeFrame("TCON", texts.genre) + UnicodeFrame("TYER", texts.year);
        return comment.empty() ? frames : frames + UnicodeComment(comment);
    }
    auto encode = [codePage](const std::u16string& text) {
        return platform::EncodeCodePage(UpToZero(text), codePage);
    };
    std::string frames =
        EightBitFrame("TPE1", encode(texts.artist)) + EightBitFrame("TALB", encode(texts.album)) +
        EightBitFrame("TIT2", encode(texts.title)) + EightBitFrame("TRCK", encode(texts.trackNum)) +
        EightBitFrame("TCON", encode(texts.genre)) + EightBitFrame("TYER", encode(texts.year));
    const std::string commentBytes = encode(comment);
    return commentBytes.empty() ? frames : frames + EightBitComment(commentBytes);
}

std::optional<std::string> ID3v2TagBuilder::Tag(const std::string& frames) {
    if (frames.size() > MaxTagBodySize)
        return std::nullopt;
    const auto size = static_cast<uint32_t>(frames.size());
    std::string tag("ID3\x03\x00\x00", 6);
    for (int shift = 21; shift >= 0; shift -= 7)
        tag.push_back(static_cast<char>(size >> shift & 0x7F));
    return tag + frames;
}

} // namespace control
