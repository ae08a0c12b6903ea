#include "control/ID3v2FrameConverter.h"

#include "control/ID3FrameText.h"
#include "control/TagFieldMap.h"

namespace control {
namespace {

constexpr size_t FrameHeaderSize = 10;

// Tag header flags.
constexpr uint8_t TagUnsynchronised = 0x80;
constexpr uint8_t TagExtendedHeader = 0x40;

// Frame flags of version 2.4.
constexpr uint8_t V4TagAlterDiscard = 0x40;
constexpr uint8_t V4FileAlterDiscard = 0x20;
constexpr uint8_t V4ReadOnly = 0x10;
constexpr uint8_t V4Grouping = 0x40;
constexpr uint8_t V4Compressed = 0x08;
constexpr uint8_t V4Encrypted = 0x04;
constexpr uint8_t V4Unsynchronised = 0x02;
constexpr uint8_t V4DataLength = 0x01;

// Frame flags of version 2.3.
constexpr uint8_t V3TagAlterDiscard = 0x80;
constexpr uint8_t V3FileAlterDiscard = 0x40;
constexpr uint8_t V3ReadOnly = 0x20;
constexpr uint8_t V3Compressed = 0x80;
constexpr uint8_t V3Encrypted = 0x40;
constexpr uint8_t V3Grouping = 0x20;

uint8_t Byte(std::string_view bytes, size_t index) {
    return static_cast<uint8_t>(bytes[index]);
}

uint32_t Plain32(std::string_view bytes) {
    return uint32_t{Byte(bytes, 0)} << 24 | uint32_t{Byte(bytes, 1)} << 16 |
           uint32_t{Byte(bytes, 2)} << 8 | uint32_t{Byte(bytes, 3)};
}

uint32_t SyncSafe32(std::string_view bytes) {
    return uint32_t{Byte(bytes, 0) & 0x7Fu} << 21 | uint32_t{Byte(bytes, 1) & 0x7Fu} << 14 |
           uint32_t{Byte(bytes, 2) & 0x7Fu} << 7 | uint32_t{Byte(bytes, 3) & 0x7Fu};
}

void AppendPlain32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>(value >> shift & 0xFF));
}

uint8_t MoveFlag(uint8_t flags, uint8_t from, uint8_t to) {
    return (flags & from) != 0 ? to : 0;
}

// The extra header bytes of a version 2.4 frame, in their order: group, encryption method,
// data length.
struct Version4Extras {
    std::optional<uint8_t> group;
    std::optional<uint8_t> encryptionMethod;
    std::optional<uint32_t> dataLength;
};

bool TakeExtras(uint8_t formatFlags, std::string_view& data, Version4Extras& extras) {
    if ((formatFlags & V4Grouping) != 0) {
        if (data.empty())
            return false;
        extras.group = Byte(data, 0);
        data.remove_prefix(1);
    }
    if ((formatFlags & V4Encrypted) != 0) {
        if (data.empty())
            return false;
        extras.encryptionMethod = Byte(data, 0);
        data.remove_prefix(1);
    }
    if ((formatFlags & V4DataLength) != 0) {
        if (data.size() < 4)
            return false;
        extras.dataLength = SyncSafe32(data);
        data.remove_prefix(4);
    }
    return true;
}

// The length of the extra header bytes in front of a version 2.3 frame's data.
size_t Version3ExtrasLength(uint8_t formatFlags) {
    return ((formatFlags & V3Compressed) != 0 ? 4 : 0) +
           ((formatFlags & V3Encrypted) != 0 ? 1 : 0) + ((formatFlags & V3Grouping) != 0 ? 1 : 0);
}

} // namespace

std::string ID3v2FrameConverter::Resynchronise(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(bytes[i]);
        if (Byte(bytes, i) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0')
            ++i;
    }
    return out;
}

std::string ID3v2FrameConverter::Version3Frame(std::string_view id, std::string_view data,
                                               uint8_t statusFlags, uint8_t formatFlags) {
    std::string frame(id);
    AppendPlain32(frame, static_cast<uint32_t>(data.size()));
    frame.push_back(static_cast<char>(statusFlags));
    frame.push_back(static_cast<char>(formatFlags));
    frame.append(data);
    return frame;
}

std::optional<std::string> ID3v2FrameConverter::ToVersion3(const ID3v2Frame& frame,
                                                           bool tagUnsynchronised) {
    std::string_view data = frame.data;
    Version4Extras extras;
    if (!TakeExtras(frame.formatFlags, data, extras))
        return std::nullopt;
    const bool compressed = (frame.formatFlags & V4Compressed) != 0;
    if (compressed && !extras.dataLength)
        return std::nullopt;

    std::string payload;
    if (compressed)
        AppendPlain32(payload, *extras.dataLength);
    if (extras.encryptionMethod)
        payload.push_back(static_cast<char>(*extras.encryptionMethod));
    if (extras.group)
        payload.push_back(static_cast<char>(*extras.group));
    if (tagUnsynchronised || (frame.formatFlags & V4Unsynchronised) != 0)
        payload += Resynchronise(data);
    else
        payload.append(data);

    const uint8_t status = MoveFlag(frame.statusFlags, V4TagAlterDiscard, V3TagAlterDiscard) |
                           MoveFlag(frame.statusFlags, V4FileAlterDiscard, V3FileAlterDiscard) |
                           MoveFlag(frame.statusFlags, V4ReadOnly, V3ReadOnly);
    const uint8_t format = MoveFlag(frame.formatFlags, V4Compressed, V3Compressed) |
                           MoveFlag(frame.formatFlags, V4Encrypted, V3Encrypted) |
                           MoveFlag(frame.formatFlags, V4Grouping, V3Grouping);
    return Version3Frame(frame.id, payload, status, format);
}

std::optional<std::string_view>
ID3v2FrameConverter::FramesBehindExtendedHeader(uint8_t majorVersion, uint8_t tagFlags,
                                                std::string_view body) {
    if ((tagFlags & TagExtendedHeader) == 0)
        return body;
    if (body.size() < 4)
        return std::nullopt;
    // Version 3 counts the bytes after the size field, version 4 the whole extended header.
    const uint64_t length = majorVersion == 3 ? uint64_t{Plain32(body)} + 4 : SyncSafe32(body);
    if (length < 4 || length > body.size())
        return std::nullopt;
    return body.substr(static_cast<size_t>(length));
}

// The new tag writes the six texts and the comment without description afresh; the year it
// writes supersedes a version 2.4 recording time. A comment with a description is other data
// (players keep theirs so) and stays. So does any frame whose content cannot be looked into.
bool ID3v2FrameConverter::IsKept(std::string_view version3Frame) {
    const std::string_view id = version3Frame.substr(0, 4);
    const uint8_t status = Byte(version3Frame, 8);
    const uint8_t format = Byte(version3Frame, 9);
    if ((status & V3TagAlterDiscard) != 0 || id == "TDRC")
        return false;
    const std::optional<size_t> row = FindFrameIdRow(id);
    if (!row)
        return true;
    if (TagFieldMap[*row].field != TagField::Comment)
        return false;
    if ((format & (V3Compressed | V3Encrypted)) != 0)
        return true;
    const std::string_view data =
        version3Frame.substr(FrameHeaderSize).substr(Version3ExtrasLength(format));
    return DecodeID3Comment(data).hasDescription;
}

std::string ID3v2FrameConverter::KeptFrames(uint8_t majorVersion, uint8_t tagFlags,
                                            std::string_view body) {
    if (majorVersion != 3 && majorVersion != 4)
        return {};
    const bool unsynchronised = (tagFlags & TagUnsynchronised) != 0;
    // Version 3 unsynchronises the whole tag body, version 4 each frame's data.
    const std::string resynchronised =
        majorVersion == 3 && unsynchronised ? Resynchronise(body) : std::string();
    if (majorVersion == 3 && unsynchronised)
        body = resynchronised;
    const std::optional<std::string_view> frames =
        FramesBehindExtendedHeader(majorVersion, tagFlags, body);
    if (!frames)
        return {};

    std::string kept;
    ID3v2FrameWalker walker(majorVersion, *frames);
    ID3v2Frame frame{};
    while (walker.Next(frame)) {
        std::optional<std::string> converted =
            majorVersion == 3
                ? Version3Frame(frame.id, frame.data, frame.statusFlags, frame.formatFlags)
                : ToVersion3(frame, unsynchronised);
        if (converted && IsKept(*converted))
            kept += *converted;
    }
    return kept;
}

} // namespace control
