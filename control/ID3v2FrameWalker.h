#pragma once
#include <cstdint>
#include <string_view>

namespace control {

// One frame of an ID3v2.3 or ID3v2.4 tag body, as the tag stores it.
struct ID3v2Frame {
    std::string_view id;   // four characters A-Z, 0-9
    uint8_t statusFlags;   // first flag byte
    uint8_t formatFlags;   // second flag byte
    std::string_view data; // everything after the 10-byte frame header
};

// Walks the frames of a tag body (behind any extended header, after any tag-wide
// unsynchronisation was undone). Version 3 stores frame sizes as plain numbers and version 4
// in 7-bit groups, but writers mix the two up; the reading that lands on the next frame or
// the end of the tag wins. The walk ends at padding, at bytes that are no frame header, or at
// a frame that runs past the end of the body.
class ID3v2FrameWalker {
  public:
    ID3v2FrameWalker(uint8_t majorVersion, std::string_view frames)
        : majorVersion_(majorVersion), frames_(frames) {}

    // The next frame; false when there is none.
    bool Next(ID3v2Frame& frame);

  private:
    static constexpr size_t HeaderSize = 10;
    bool IsFrameHeaderAt(size_t offset) const;
    bool IsPlausibleFrameAt(size_t offset) const;
    int Landing(uint64_t offset) const;
    uint64_t FrameSize(size_t offset) const;

    uint8_t majorVersion_;
    std::string_view frames_;
    size_t offset_ = 0;
};

} // namespace control
