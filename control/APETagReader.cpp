// ReadAPETag: the APE tag at the end of a file, before an ID3v1 tag if there is one.
#include "control/TagFieldMap.h"
#include "control/TagReaders.h"
#include "control/TagTextBuffers.h"
#include "control/parsers/ParserCommon.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace control {
namespace {

using platform::InputFile;

constexpr uint32_t BlockSize = 32; // header and footer alike
constexpr uint32_t ID3v1Size = 128;
constexpr uint32_t SearchSpan = 1024;
constexpr uint32_t HasHeaderFlag = 1u << 31;
constexpr uint32_t IsHeaderFlag = 1u << 29;
// The tag size comes from the file and must not decide how much memory and time an analysis
// takes: items past this are not read. Text items come before large binary ones (cover art).
constexpr uint64_t MaxItemBytes = uint64_t{4} << 20;

struct ApeBlock {
    uint32_t tagSize = 0; // items and footer, without the header
    uint32_t flags = 0;
};

// Where the items are and how many bytes they take.
struct ApeItems {
    uint64_t offset = 0;
    uint32_t tagSize = 0;
};

// Reads a header or footer at the given distance before the end. A distance beyond the start
// of the file means there is no such block.
std::optional<ApeBlock> ReadBlock(InputFile& file, uint64_t fromEnd) {
    if (fromEnd > file.GetLength())
        return std::nullopt;
    uint8_t bytes[BlockSize] = {};
    file.Seek(-static_cast<int64_t>(fromEnd), InputFile::Origin::End);
    file.Read(bytes, BlockSize);
    if (std::memcmp(bytes, "APETAGEX", 8) != 0)
        return std::nullopt;
    return ApeBlock{LoadU32LE(bytes + 12), LoadU32LE(bytes + 20)};
}

bool EndsWithID3v1(InputFile& file) {
    if (file.GetLength() < ID3v1Size)
        return false;
    uint8_t bytes[3] = {};
    file.Seek(-int64_t{ID3v1Size}, InputFile::Origin::End);
    return file.Read(bytes, 3) == 3 && std::memcmp(bytes, "TAG", 3) == 0;
}

uint32_t ItemBytes(uint32_t tagSize) {
    return tagSize > BlockSize ? tagSize - BlockSize : 0;
}

// A footer at the end (before the ID3v1 tag) tells where the tag starts; a header there, if
// the flags announce one, has the last word on the size.
std::optional<ApeItems> LocateByFooter(InputFile& file, uint64_t id3v1) {
    const uint64_t footerFromEnd = BlockSize + id3v1;
    std::optional<ApeBlock> footer = ReadBlock(file, footerFromEnd);
    if (!footer)
        return std::nullopt;
    const bool hasHeader = (footer->flags & HasHeaderFlag) != 0;
    const uint64_t startFromEnd = uint64_t{footer->tagSize} + (hasHeader ? BlockSize : 0) + id3v1;
    if (startFromEnd > file.GetLength())
        return std::nullopt;
    const uint64_t start = file.GetLength() - startFromEnd;
    if (!hasHeader)
        return ApeItems{start, footer->tagSize};
    std::optional<ApeBlock> header = ReadBlock(file, startFromEnd);
    return ApeItems{start + BlockSize, header ? header->tagSize : footer->tagSize};
}

// Without a footer in place, the last 1024 bytes are searched for a tag followed by other
// data. A header found there has the items behind it, a footer before it.
std::optional<ApeItems> LocateBySearch(InputFile& file, uint64_t id3v1) {
    const uint64_t length = file.GetLength();
    for (uint32_t i = 0; i < SearchSpan; ++i) {
        const uint64_t fromEnd = SearchSpan + id3v1 - i;
        std::optional<ApeBlock> block = ReadBlock(file, fromEnd);
        if (!block)
            continue;
        const uint64_t at = length - fromEnd;
        if (block->flags & IsHeaderFlag)
            return ApeItems{at + BlockSize, block->tagSize};
        const uint64_t items = ItemBytes(block->tagSize);
        if (items > at)
            return std::nullopt;
        return ApeItems{at - items, block->tagSize};
    }
    return std::nullopt;
}

std::vector<uint8_t> ReadItems(InputFile& file, const ApeItems& where) {
    const uint64_t length = file.GetLength();
    const uint64_t available = where.offset < length ? length - where.offset : 0;
    std::vector<uint8_t> items(
        std::min({uint64_t{ItemBytes(where.tagSize)}, available, MaxItemBytes}));
    file.Seek(static_cast<int64_t>(where.offset), InputFile::Origin::Begin);
    items.resize(file.Read(items.data(), static_cast<uint32_t>(items.size())));
    return items;
}

// Each item: value length, flags, zero-terminated key, value. Only the first of several
// zero-separated values is kept. Flags with bits 1 to 3 clear mark UTF-8 text.
void StoreItems(const std::vector<uint8_t>& items, TagTextBuffers& texts) {
    const std::string_view all(reinterpret_cast<const char*>(items.data()), items.size());
    uint64_t offset = 0;
    while (offset + 8 < all.size()) {
        const uint32_t valueLength = LoadU32LE(items.data() + offset);
        const uint32_t flags = LoadU32LE(items.data() + offset + 4);
        const size_t keyStart = static_cast<size_t>(offset) + 8;
        const size_t keyEnd = all.find('\0', keyStart);
        if (keyEnd == std::string_view::npos)
            break;
        const size_t valueStart = keyEnd + 1;
        std::string_view value = all.substr(std::min(valueStart, all.size()), valueLength);
        value = value.substr(0, std::min(value.find('\0'), value.size()));
        if (std::optional<size_t> row = FindApeKeyRow(all.substr(keyStart, keyEnd - keyStart))) {
            const TagField field = TagFieldMap[*row].field;
            if ((flags & 0x0E) == 0)
                texts.StoreUtf8(field, value);
            else
                texts.StoreBytes(field, value);
        }
        offset = uint64_t{valueStart} + valueLength;
    }
}

} // namespace

uint32_t ReadAPETag(InputFile& file, AnalysisRecord& record) {
    TagTextBuffers& texts = ModuleTagTexts();
    texts.Clear();
    const uint64_t id3v1 = EndsWithID3v1(file) ? ID3v1Size : 0;
    std::optional<ApeItems> where = LocateByFooter(file, id3v1);
    if (!where)
        where = LocateBySearch(file, id3v1);
    if (!where)
        return 0;
    StoreItems(ReadItems(file, *where), texts);
    texts.WriteToRecord(record, PlainTextDecoding::CodePage);
    return where->tagSize;
}

} // namespace control
