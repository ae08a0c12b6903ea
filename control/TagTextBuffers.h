#pragma once
#include "control/AnalysisRecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace control {

// The seven tag fields, in the order of the module-wide tag texts.
enum class TagField { Title, Artist, Album, Year, Genre, Comment, TrackNum };
constexpr size_t TagFieldCount = 7;
// Bytes of one tag text: at most 255 bytes of text and the terminating zero.
constexpr size_t TagTextSize = 256;

// How a tag text without the UTF-8 mark becomes wide text.
enum class PlainTextDecoding {
    TagText,  // DecodeTagText: the Unicode-text test first, then the record's code page (ID3)
    CodePage, // the record's code page only (APE)
    Utf8,     // always UTF-8, whatever the mark says (Vorbis comments)
};

// The tag readers collect each field as 8-bit text first and convert all seven at the end.
// Text that the file stores in a Unicode encoding travels as UTF-8 with a per-field mark, so
// that nothing of it is lost on the way. Module-wide and unguarded: one analysis at a time.
class TagTextBuffers {
  public:
    // Empties all seven texts and clears their marks.
    void Clear();
    // Stores 8-bit bytes as they are (inner zero bytes included, as a UTF-16LE text behind an
    // ID3v2 encoding byte of 0 has them), cut at 255 bytes; clears the mark.
    void StoreBytes(TagField field, std::string_view bytes);
    // Stores UTF-8 text up to its first zero byte, cut at a character boundary within 255
    // bytes; sets the mark.
    void StoreUtf8(TagField field, std::string_view text);

    // The zero-terminated buffer of TagTextSize bytes.
    char* Buffer(TagField field) { return texts_[Index(field)].bytes; }
    const char* Buffer(TagField field) const { return texts_[Index(field)].bytes; }
    // The text up to its first zero byte.
    std::string_view Text(TagField field) const;
    bool IsUtf8(TagField field) const { return texts_[Index(field)].utf8; }

    // The wide text of one field: UTF-8 when marked, else as the decoding says.
    std::u16string Decode(TagField field, PlainTextDecoding decoding, uint32_t codePage) const;
    // Sets Title, Artist, Album, Genre, Year, Comment and TrackNum of the record, in this
    // order, decoding unmarked texts with the record's code page.
    void WriteToRecord(AnalysisRecord& record, PlainTextDecoding decoding) const;

  private:
    struct Entry {
        char bytes[TagTextSize] = {};
        bool utf8 = false;
    };
    static size_t Index(TagField field) { return static_cast<size_t>(field); }
    Entry texts_[TagFieldCount];
};

// The module's tag texts, shared by the tag readers, the FLAC comment reader and the tag writer.
TagTextBuffers& ModuleTagTexts();
// Short forms on the module's tag texts: the writable zero-terminated buffer of a field, and
// emptying all seven.
inline char* TagText(TagField field) {
    return ModuleTagTexts().Buffer(field);
}
inline void ClearTagTexts() {
    ModuleTagTexts().Clear();
}

// The byte count at most `limit` that ends on a UTF-8 character boundary of the text.
size_t Utf8CutLength(std::string_view text, size_t limit);

} // namespace control
