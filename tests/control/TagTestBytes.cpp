#include "tests/control/TagTestBytes.h"

#include "control/TagReaders.h"
#include "platform/InputFile.h"

namespace tagtest {

using testsupport::PutBE;
using testsupport::PutLE;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes Utf16LE(const std::u16string& text) {
    Bytes out;
    for (char16_t unit : text)
        PutLE(out, unit, 2);
    return out;
}

Bytes Utf16BE(const std::u16string& text) {
    Bytes out;
    for (char16_t unit : text)
        PutBE(out, unit, 2);
    return out;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes Repeat(const std::string& text, size_t times) {
    Bytes out;
    for (size_t i = 0; i < times; ++i)
        out.insert(out.end(), text.begin(), text.end());
    return out;
}

static void PutSyncSafe(Bytes& out, uint32_t value) {
    for (int shift = 21; shift >= 0; shift -= 7)
        out.push_back(static_cast<uint8_t>(value >> shift & 0x7F));
}

Bytes Frame(const std::string& id, const Bytes& data, SizeStyle style) {
    Bytes out = Text(id);
    if (style == SizeStyle::Plain)
        PutBE(out, data.size(), 4);
    else
        PutSyncSafe(out, static_cast<uint32_t>(data.size()));
    PutBE(out, 0, 2);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes TextFrame(const std::string& id, uint8_t encoding, const Bytes& text, SizeStyle style) {
    return Frame(id, Cat({Bytes{encoding}, text}), style);
}

Bytes CommentFrame(uint8_t encoding, const Bytes& description, const Bytes& text, SizeStyle style) {
    const bool utf16 = encoding == 1 || encoding == 2;
    Bytes terminator = utf16 ? Bytes{0, 0} : Bytes{0};
    return Frame("COMM", Cat({Bytes{encoding}, Text("eng"), description, terminator, text}), style);
}

Bytes ID3v2Tag(uint8_t version, const Bytes& body, uint8_t flags) {
    Bytes out = Text("ID3");
    out.push_back(version);
    out.push_back(0);
    out.push_back(flags);
    PutSyncSafe(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

static Bytes Fixed(const std::string& text, size_t width) {
    Bytes out = Text(text.substr(0, width));
    out.resize(width, 0);
    return out;
}

Bytes ID3v1Tag(const std::string& title, const std::string& artist, const std::string& album,
               const std::string& year, const std::string& comment, uint8_t genre) {
    return Cat({Text("TAG"), Fixed(title, 30), Fixed(artist, 30), Fixed(album, 30), Fixed(year, 4),
                Fixed(comment, 30), Bytes{genre}});
}

Bytes ApeItem(const std::string& key, const Bytes& value, uint32_t flags) {
    Bytes out;
    PutLE(out, value.size(), 4);
    PutLE(out, flags, 4);
    out.insert(out.end(), key.begin(), key.end());
    out.push_back(0);
    out.insert(out.end(), value.begin(), value.end());
    return out;
}

Bytes ApeBlock(uint32_t tagSize, uint32_t itemCount, uint32_t flags) {
    Bytes out = Text("APETAGEX");
    PutLE(out, 2000, 4);
    PutLE(out, tagSize, 4);
    PutLE(out, itemCount, 4);
    PutLE(out, flags, 4);
    PutLE(out, 0, 8);
    return out;
}

Bytes ApeTag(const Bytes& items, bool withHeader) {
    const auto tagSize = static_cast<uint32_t>(items.size() + 32);
    const uint32_t flags = withHeader ? ApeHasHeader : 0;
    Bytes out;
    if (withHeader)
        out = ApeBlock(tagSize, 1, flags | ApeIsHeader);
    return Cat({out, items, ApeBlock(tagSize, 1, flags)});
}

ID3Reading ReadID3(const Bytes& bytes, uint32_t codePage) {
    platform::InputFile file;
    file.OpenMemory(bytes, "tags.mp3");
    ID3Reading reading;
    reading.record.CodePage = codePage;
    reading.result = control::ReadID3Tags(file, reading.id3v2Size, reading.record);
    return reading;
}

ApeReading ReadAPE(const Bytes& bytes, uint32_t codePage) {
    platform::InputFile file;
    file.OpenMemory(bytes, "tags.ape");
    ApeReading reading;
    reading.record.CodePage = codePage;
    for (std::u16string* field :
         {&reading.record.Title, &reading.record.Artist, &reading.record.Album,
          &reading.record.Genre, &reading.record.Year, &reading.record.Comment,
          &reading.record.TrackNum})
        *field = u"untouched";
    reading.result = control::ReadAPETag(file, reading.record);
    return reading;
}

uint8_t ByteNoise::Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<uint8_t>(state_ >> 24);
}

Bytes ByteNoise::Take(size_t count) {
    Bytes out(count);
    for (uint8_t& b : out)
        b = Next();
    return out;
}

} // namespace tagtest
