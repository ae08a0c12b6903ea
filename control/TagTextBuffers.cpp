#include "control/TagTextBuffers.h"

#include "control/DecodeTagText.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cstring>

namespace control {
namespace {

constexpr size_t MaxTextBytes = TagTextSize - 1;

bool IsUtf8Continuation(char c) {
    return (static_cast<uint8_t>(c) & 0xC0) == 0x80;
}

} // namespace

size_t Utf8CutLength(std::string_view text, size_t limit) {
    if (text.size() <= limit)
        return text.size();
    size_t cut = limit;
    while (cut > 0 && IsUtf8Continuation(text[cut]))
        --cut;
    return cut;
}

void TagTextBuffers::Clear() {
    for (Entry& entry : texts_) {
        std::memset(entry.bytes, 0, TagTextSize);
        entry.utf8 = false;
    }
}

void TagTextBuffers::StoreBytes(TagField field, std::string_view bytes) {
    Entry& entry = texts_[Index(field)];
    const size_t count = std::min(bytes.size(), MaxTextBytes);
    // The rest stays zero: a UTF-16LE text then always ends in a zero unit.
    std::memset(entry.bytes, 0, TagTextSize);
    if (count > 0)
        std::memcpy(entry.bytes, bytes.data(), count);
    entry.utf8 = false;
}

void TagTextBuffers::StoreUtf8(TagField field, std::string_view text) {
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    Entry& entry = texts_[Index(field)];
    std::memset(entry.bytes, 0, TagTextSize);
    if (const size_t count = Utf8CutLength(text, MaxTextBytes); count > 0)
        std::memcpy(entry.bytes, text.data(), count);
    entry.utf8 = true;
}

std::string_view TagTextBuffers::Text(TagField field) const {
    const char* bytes = Buffer(field);
    return std::string_view(bytes, strnlen(bytes, TagTextSize));
}

std::u16string TagTextBuffers::Decode(TagField field, PlainTextDecoding decoding,
                                      uint32_t codePage) const {
    if (IsUtf8(field) || decoding == PlainTextDecoding::Utf8)
        return platform::Utf8ToUtf16(Text(field));
    if (decoding == PlainTextDecoding::CodePage)
        return DecodeCodePageText(Text(field), codePage);
    return DecodeTagText(std::string_view(Buffer(field), TagTextSize), codePage);
}

void TagTextBuffers::WriteToRecord(AnalysisRecord& record, PlainTextDecoding decoding) const {
    const uint32_t codePage = record.CodePage;
    record.Title = Decode(TagField::Title, decoding, codePage);
    record.Artist = Decode(TagField::Artist, decoding, codePage);
    record.Album = Decode(TagField::Album, decoding, codePage);
    record.Genre = Decode(TagField::Genre, decoding, codePage);
    record.Year = Decode(TagField::Year, decoding, codePage);
    record.Comment = Decode(TagField::Comment, decoding, codePage);
    record.TrackNum = Decode(TagField::TrackNum, decoding, codePage);
}

TagTextBuffers& ModuleTagTexts() {
    static TagTextBuffers texts;
    return texts;
}

} // namespace control
