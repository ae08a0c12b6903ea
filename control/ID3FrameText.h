#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace control {

// A text of an ID3v2 frame as the tag texts carry it: UTF-8 when the frame stores Unicode,
// else the 8-bit bytes as they are, for DecodeTagText to judge later.
struct ID3FrameText {
    std::string bytes;
    bool utf8 = false;
};

// The text of frame data in the frame's encoding: 0 8-bit (a leading FF FE still marks
// UTF-16LE), 1 UTF-16 with a byte-order mark (little-endian when it has none), 2 UTF-16BE,
// 3 UTF-8. Unknown encodings count as 0. Unicode text ends at its terminator.
ID3FrameText DecodeID3FrameText(uint8_t encoding, std::string_view data);

// The length of a zero-terminated string at the start of the data, terminator included, in
// the frame's encoding (two zero bytes at a unit boundary for UTF-16). Without a terminator
// the whole data is the string.
size_t ID3TerminatedLength(uint8_t encoding, std::string_view data);

// The text of a comment frame's data: encoding byte, three language bytes, a description and
// the comment text. hasDescription tells whether the description holds any character.
struct ID3CommentText {
    ID3FrameText text;
    bool hasDescription = false;
};
ID3CommentText DecodeID3Comment(std::string_view data);

} // namespace control
