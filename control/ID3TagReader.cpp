// ReadID3Tags: the ID3v2 tag at the start of a file, or else the ID3v1 tag at its end.
#include "control/DecodeTagText.h"
#include "control/GenreNames.h"
#include "control/ID3FrameText.h"
#include "control/TagFieldMap.h"
#include "control/TagReaders.h"
#include "control/TagTextBuffers.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace control {
namespace {

using platform::InputFile;

constexpr uint32_t HeaderSize = 10;
constexpr uint32_t ID3v1Size = 128;
// Enough frame data for 255 bytes of text in any encoding behind a comment's description.
constexpr uint32_t MaxFrameDataRead = 4096;

uint32_t SyncSafe32(const uint8_t* p) {
    return uint32_t{p[0] & 0x7Fu} << 21 | uint32_t{p[1] & 0x7Fu} << 14 |
           uint32_t{p[2] & 0x7Fu} << 7 | uint32_t{p[3] & 0x7Fu};
}

uint32_t Plain32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

bool IsFrameIdChar(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The body of an ID3v2 tag, read through the file as the walk needs it. Only the bytes that
// the file really holds are ever examined.
struct TagBody {
    InputFile& file;
    uint8_t majorVersion;
    uint64_t size;      // as the tag header records it
    uint64_t available; // the part of it inside the file

    uint32_t Read(uint64_t offset, uint8_t* out, uint32_t count) const {
        if (offset >= available)
            return 0;
        count = static_cast<uint32_t>(std::min<uint64_t>(count, available - offset));
        file.Seek(static_cast<int64_t>(HeaderSize + offset), InputFile::Origin::Begin);
        return file.Read(out, count);
    }

    // How well a frame size ends: best where the tag ends or the next frame header begins,
    // less well inside padding, not at all elsewhere.
    int Landing(uint64_t offset) const {
        if (offset == size)
            return 2;
        uint8_t id[4] = {};
        const uint32_t got = offset < size ? Read(offset, id, 4) : 0;
        if (got == 4 && offset + HeaderSize <= size && std::all_of(id, id + 4, IsFrameIdChar))
            return 2;
        return got >= 1 && id[0] == 0 ? 1 : 0;
    }

    // Version 4 frames store their size in 7-bit groups, version 3 frames as a plain number.
    // Writers mix the two up; the other reading wins when it lands better.
    uint64_t FrameSize(uint64_t offset, const uint8_t* header) const {
        const uint32_t plain = Plain32(header + 4);
        const uint32_t syncSafe = SyncSafe32(header + 4);
        const uint32_t preferred = majorVersion == 3 ? plain : syncSafe;
        const uint32_t other = majorVersion == 3 ? syncSafe : plain;
        const uint64_t dataStart = offset + HeaderSize;
        if (preferred == other || Landing(dataStart + other) <= Landing(dataStart + preferred))
            return preferred;
        return other;
    }
};

std::string_view AsText(const uint8_t* bytes, size_t count) {
    return std::string_view(reinterpret_cast<const char*>(bytes), count);
}

// Text behind an 8-bit encoding byte is cut at 255 bytes; when it has the shape of UTF-16LE
// (DecodeTagText reads it so), the cut keeps whole units.
void StoreFrameText(TagTextBuffers& texts, TagField field, const ID3FrameText& text) {
    if (text.utf8) {
        texts.StoreUtf8(field, text.bytes);
        return;
    }
    std::string_view bytes = text.bytes;
    constexpr size_t Limit = TagTextSize - 1;
    if (bytes.size() > Limit && static_cast<uint8_t>(bytes[1]) < 0x20)
        bytes = bytes.substr(0, Limit - 1);
    texts.StoreBytes(field, bytes);
}

// "(17)" names genre 17; "(17)Rock Music" keeps the text behind the reference. "(0)", negative
// numbers and texts without a leading reference stay as written.
int GenreReference(std::string_view text) {
    if (text.size() < 2 || text[0] != '(')
        return 0;
    size_t i = 1;
    const bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+')
        ++i;
    long long value = 0;
    bool anyDigit = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<long long>(value * 10 + (text[i] - '0'), std::numeric_limits<int>::max());
        anyDigit = true;
    }
    if (!anyDigit || negative)
        return 0;
    return static_cast<int>(value);
}

// 8-bit text passes through the ANSI code page and back, as the text of a wide string would.
std::string ThroughAnsiCodePage(std::string_view text) {
    return platform::EncodeCodePage(DecodeCodePageText(text, platform::CP_ACP), platform::CP_ACP);
}

void ResolveGenreReference(TagTextBuffers& texts) {
    const std::string_view genre = texts.Text(TagField::Genre);
    const int number = GenreReference(genre);
    if (number <= 0)
        return;
    const size_t close = genre.find(')');
    const std::string_view rest = close == std::string_view::npos ? genre : genre.substr(close + 1);
    if (texts.IsUtf8(TagField::Genre)) {
        if (!rest.empty()) {
            texts.StoreUtf8(TagField::Genre, std::string(rest));
            return;
        }
    } else if (std::string plain = ThroughAnsiCodePage(rest); !plain.empty()) {
        texts.StoreBytes(TagField::Genre, plain);
        return;
    }
    texts.StoreBytes(TagField::Genre, GenreName(static_cast<size_t>(number)));
}

class FrameReader {
  public:
    explicit FrameReader(TagTextBuffers& texts) : texts_(texts) {}

    void Store(size_t row, std::string_view data) {
        const TagField field = TagFieldMap[row].field;
        if (field == TagField::Comment) {
            StoreComment(data);
            return;
        }
        if (data.empty()) {
            texts_.StoreBytes(field, {});
            return;
        }
        StoreFrameText(texts_, field,
                       DecodeID3FrameText(static_cast<uint8_t>(data[0]), data.substr(1)));
        if (field == TagField::Genre)
            ResolveGenreReference(texts_);
    }

  private:
    // Players keep machine data in comments with a description; a comment without one is the
    // user's and wins over them. Among equals the last one wins.
    void StoreComment(std::string_view data) {
        const ID3CommentText comment = DecodeID3Comment(data);
        if (comment.hasDescription && haveUserComment_)
            return;
        haveUserComment_ = haveUserComment_ || !comment.hasDescription;
        StoreFrameText(texts_, TagField::Comment, comment.text);
    }

    TagTextBuffers& texts_;
    bool haveUserComment_ = false;
};

// An extended header (flag bit 6) precedes the frames: its size field counts the rest of it in
// version 3, all of it in version 4. A size that leaves the tag is no extended header.
uint64_t ExtendedHeaderLength(const TagBody& body, uint8_t flags) {
    uint8_t size[4];
    if ((flags & 0x40) == 0 || (body.majorVersion != 3 && body.majorVersion != 4) ||
        body.Read(0, size, 4) < 4)
        return 0;
    const uint64_t length = body.majorVersion == 3 ? 4 + uint64_t{Plain32(size)} : SyncSafe32(size);
    return length <= body.size ? length : 0;
}

void ReadFrames(const TagBody& body, uint64_t offset, TagTextBuffers& texts) {
    FrameReader reader(texts);
    std::string data;
    while (offset + HeaderSize <= body.available) {
        uint8_t header[HeaderSize];
        if (body.Read(offset, header, HeaderSize) < HeaderSize || header[0] == 0)
            break; // padding: no frame follows
        const uint64_t size = body.FrameSize(offset, header);
        if (std::optional<size_t> row = FindFrameIdRow(AsText(header, 4))) {
            data.resize(std::min<uint64_t>(size, MaxFrameDataRead));
            data.resize(body.Read(offset + HeaderSize, reinterpret_cast<uint8_t*>(data.data()),
                                  static_cast<uint32_t>(data.size())));
            reader.Store(*row, data);
        }
        offset += HeaderSize + size;
    }
}

void ReadID3v2(InputFile& file, const uint8_t* header, uint32_t bodySize, TagTextBuffers& texts) {
    const uint64_t length = file.GetLength();
    const TagBody body{file, header[3], bodySize,
                       std::min<uint64_t>(bodySize, length - HeaderSize)};
    ReadFrames(body, ExtendedHeaderLength(body, header[5]), texts);
}

std::string_view FixedText(const uint8_t* bytes, size_t width) {
    const auto* end = std::find(bytes, bytes + width, uint8_t{0});
    return AsText(bytes, static_cast<size_t>(end - bytes));
}

void StoreID3v1(const uint8_t* tag, TagTextBuffers& texts) {
    texts.StoreBytes(TagField::Title, FixedText(tag + 3, 30));
    texts.StoreBytes(TagField::Artist, FixedText(tag + 33, 30));
    texts.StoreBytes(TagField::Album, FixedText(tag + 63, 30));
    texts.StoreBytes(TagField::Year, FixedText(tag + 93, 4));
    texts.StoreBytes(TagField::Comment, FixedText(tag + 97, 30));
    texts.StoreBytes(TagField::Genre, GenreName(tag[127]));
}

// Reads the last 128 bytes into tag when they are an ID3v1 tag. A file shorter than that has
// none.
bool ReadID3v1(InputFile& file, uint8_t (&tag)[ID3v1Size]) {
    if (file.GetLength() < ID3v1Size)
        return false;
    file.Seek(-int64_t{ID3v1Size}, InputFile::Origin::End);
    return file.Read(tag, ID3v1Size) == ID3v1Size && std::memcmp(tag, "TAG", 3) == 0;
}

} // namespace

int32_t ReadID3Tags(InputFile& file, uint64_t& id3v2Size, AnalysisRecord& record) {
    TagTextBuffers& texts = ModuleTagTexts();
    texts.Clear();
    id3v2Size = 0;
    int32_t result = 0;

    uint8_t header[HeaderSize];
    file.Seek(0, InputFile::Origin::Begin);
    if (file.Read(header, HeaderSize) < HeaderSize)
        return 0;
    if (std::memcmp(header, "ID3", 3) == 0) {
        const uint32_t bodySize = SyncSafe32(header + 6);
        id3v2Size = uint64_t{bodySize} + HeaderSize;
        result = static_cast<int32_t>(bodySize);
        ReadID3v2(file, header, bodySize, texts);
    }

    uint8_t tag[ID3v1Size];
    if (ReadID3v1(file, tag)) {
        result += ID3v1Size;
        if (result == ID3v1Size)
            StoreID3v1(tag, texts);
    }
    texts.WriteToRecord(record, PlainTextDecoding::TagText);
    file.Seek(0, InputFile::Origin::End);
    return result;
}

} // namespace control
