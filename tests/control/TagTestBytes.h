#pragma once
// Byte builders for tag fixtures: ID3v2 frames and tags, ID3v1 tags, APE items and blocks.
#include "control/AnalysisRecord.h"
#include "tests/support/TestSupport.h"

#include <cstdint>
#include <string>

namespace tagtest {

using testsupport::Bytes;

enum class SizeStyle { Plain, SyncSafe };

Bytes Text(const std::string& text);
Bytes Utf16LE(const std::u16string& text);
Bytes Utf16BE(const std::u16string& text);
Bytes Cat(std::initializer_list<Bytes> parts);
Bytes Repeat(const std::string& text, size_t times);

// A frame header with the data size written in the given style, then the data.
Bytes Frame(const std::string& id, const Bytes& data, SizeStyle style);
// A text frame: the encoding byte, then the bytes.
Bytes TextFrame(const std::string& id, uint8_t encoding, const Bytes& text,
                SizeStyle style = SizeStyle::SyncSafe);
// A comment frame: encoding, "eng", the description with its terminator, the text.
Bytes CommentFrame(uint8_t encoding, const Bytes& description, const Bytes& text,
                   SizeStyle style = SizeStyle::SyncSafe);
// A tag of the given major version whose header records exactly the body's size.
Bytes ID3v2Tag(uint8_t version, const Bytes& body, uint8_t flags = 0);
Bytes ID3v1Tag(const std::string& title, const std::string& artist, const std::string& album,
               const std::string& year, const std::string& comment, uint8_t genre);

Bytes ApeItem(const std::string& key, const Bytes& value, uint32_t flags = 0);
// A 32-bit header or footer: tag size (items and footer), item count, flags.
Bytes ApeBlock(uint32_t tagSize, uint32_t itemCount, uint32_t flags);
constexpr uint32_t ApeHasHeader = 1u << 31;
constexpr uint32_t ApeIsHeader = 1u << 29;
// Items framed by a header (when withHeader) and a footer.
Bytes ApeTag(const Bytes& items, bool withHeader);

// ReadID3Tags over bytes served from memory.
struct ID3Reading {
    control::AnalysisRecord record;
    int32_t result = 0;
    uint64_t id3v2Size = 0;
};
ID3Reading ReadID3(const Bytes& bytes, uint32_t codePage = 0);

// ReadAPETag over bytes served from memory; the fields start out as "untouched".
struct ApeReading {
    control::AnalysisRecord record;
    uint32_t result = 0;
};
ApeReading ReadAPE(const Bytes& bytes, uint32_t codePage = 0);

// A deterministic byte generator for robustness runs.
class ByteNoise {
  public:
    explicit ByteNoise(uint32_t seed) : state_(seed) {}
    uint8_t Next();
    Bytes Take(size_t count);

  private:
    uint32_t state_;
};

} // namespace tagtest
