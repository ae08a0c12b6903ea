#pragma once
#include "control/TagTextBuffers.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace control {

// One tag field and its names in the three tag families.
struct TagFieldRow {
    const char* frameId;   // ID3v2 frame id, compared exactly
    const char* apeKey;    // APE item key, upper case; keys match without regard to case
    const char* vorbisKey; // Vorbis comment key with its "=", upper case
    TagField field;
};

// Rows are searched in this order and the first match wins. The ID3v2 and APE readers search
// rows 0 to 6; row 7 maps the album artist of Vorbis comments onto Artist.
inline constexpr std::array<TagFieldRow, 8> TagFieldMap = {{
    {"TYER", "YEAR", "DATE=", TagField::Year},
    {"TALB", "ALBUM", "ALBUM=", TagField::Album},
    {"TPE1", "ARTIST", "ARTIST=", TagField::Artist},
    {"TIT2", "TITLE", "TITLE=", TagField::Title},
    {"TCON", "GENRE", "GENRE=", TagField::Genre},
    {"COMM", "COMMENT", "DESCRIPTION=", TagField::Comment},
    {"TRCK", "TRACK", "TRACKNUMBER=", TagField::TrackNum},
    {"TPE1", "ALBUM ARTIST", "ALBUMARTIST=", TagField::Artist},
}};
// The rows that the ID3v2 and APE readers search.
constexpr size_t TagReaderRowCount = 7;

// The row (0 to 6) whose ID3v2 frame id equals the four bytes, if any.
std::optional<size_t> FindFrameIdRow(std::string_view frameId);
// The row (0 to 6) whose APE key equals the key with its ASCII letters upper-cased, if any.
std::optional<size_t> FindApeKeyRow(std::string_view key);
// The first row (0 to 7) whose Vorbis key begins the entry, ASCII letters compared without
// regard to case, if any.
std::optional<size_t> FindVorbisKeyRow(std::string_view entry);

} // namespace control
