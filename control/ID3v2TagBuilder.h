#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace control {

// The seven texts that a tag write stores.
struct ID3v2TagTexts {
    std::u16string title;
    std::u16string artist;
    std::u16string album;
    std::u16string year;
    std::u16string genre;
    std::u16string comment;
    std::u16string trackNum;
};

// Makes the bytes of the version 2.3 tag that the tag writer puts at the start of a file.
class ID3v2TagBuilder {
  public:
    // The frames TPE1, TALB, TIT2, TRCK, TCON, TYER, and COMM when the comment is not empty.
    // The Unicode form stores UTF-16 with a byte-order mark (encoding 1); the 8-bit form stores
    // the code page's bytes (encoding 0) and throws platform::ConversionError when the code
    // page has no converter. The comment has the language "eng" and an empty description.
    static std::string TextFrames(const ID3v2TagTexts& texts, bool useUnicode, uint32_t codePage);

    // The 10-byte version 2.3 tag header and the frames; nothing when the frames do not fit
    // the 28 bits of the header's size field.
    static std::optional<std::string> Tag(const std::string& frames);

  private:
    static std::string UnicodeFrame(const char* id, const std::u16string& text);
    static std::string UnicodeComment(const std::u16string& text);
    static std::string EightBitFrame(const char* id, const std::string& bytes);
    static std::string EightBitComment(const std::string& bytes);
};

} // namespace control
