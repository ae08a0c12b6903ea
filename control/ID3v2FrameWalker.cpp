#include "control/ID3v2FrameWalker.h"

#include <algorithm>

namespace control {
namespace {

uint8_t Byte(std::string_view bytes, size_t index) {
    return static_cast<uint8_t>(bytes[index]);
}

uint32_t Plain32(std::string_view bytes, size_t at) {
    return uint32_t{Byte(bytes, at)} << 24 | uint32_t{Byte(bytes, at + 1)} << 16 |
           uint32_t{Byte(bytes, at + 2)} << 8 | uint32_t{Byte(bytes, at + 3)};
}

uint32_t SyncSafe32(std::string_view bytes, size_t at) {
    return uint32_t{Byte(bytes, at) & 0x7Fu} << 21 | uint32_t{Byte(bytes, at + 1) & 0x7Fu} << 14 |
           uint32_t{Byte(bytes, at + 2) & 0x7Fu} << 7 | uint32_t{Byte(bytes, at + 3) & 0x7Fu};
}

bool IsFrameIdChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

bool ID3v2FrameWalker::IsFrameHeaderAt(size_t offset) const {
    if (offset > frames_.size() || frames_.size() - offset < HeaderSize)
        return false;
    const std::string_view id = frames_.substr(offset, 4);
    return std::all_of(id.begin(), id.end(), IsFrameIdChar);
}

// A frame header that the walk could land on: besides its id, one reading of its size must
// keep the frame inside the tag. Bytes of a picture that merely look like an id rarely pass.
bool ID3v2FrameWalker::IsPlausibleFrameAt(size_t offset) const {
    if (!IsFrameHeaderAt(offset))
        return false;
    const uint64_t room = frames_.size() - offset - HeaderSize;
    return Plain32(frames_, offset + 4) <= room || SyncSafe32(frames_, offset + 4) <= room;
}

// How well a frame size ends: best at the end of the tag or on the next frame header, less
// well in padding, not at all elsewhere.
int ID3v2FrameWalker::Landing(uint64_t offset) const {
    if (offset == frames_.size())
        return 2;
    if (offset > frames_.size())
        return 0;
    if (IsPlausibleFrameAt(static_cast<size_t>(offset)))
        return 2;
    return frames_[static_cast<size_t>(offset)] == '\0' ? 1 : 0;
}

uint64_t ID3v2FrameWalker::FrameSize(size_t offset) const {
    const uint32_t plain = Plain32(frames_, offset + 4);
    const uint32_t syncSafe = SyncSafe32(frames_, offset + 4);
    const uint32_t preferred = majorVersion_ == 3 ? plain : syncSafe;
    const uint32_t other = majorVersion_ == 3 ? syncSafe : plain;
    const uint64_t dataStart = offset + HeaderSize;
    if (preferred == other || Landing(dataStart + other) <= Landing(dataStart + preferred))
        return preferred;
    return other;
}

bool ID3v2FrameWalker::Next(ID3v2Frame& frame) {
    if (!IsFrameHeaderAt(offset_))
        return false;
    const uint64_t size = FrameSize(offset_);
    const size_t dataStart = offset_ + HeaderSize;
    if (size > frames_.size() - dataStart)
        return false;
    frame.id = frames_.substr(offset_, 4);
    frame.statusFlags = Byte(frames_, offset_ + 8);
    frame.formatFlags = Byte(frames_, offset_ + 9);
    frame.data = frames_.substr(dataStart, static_cast<size_t>(size));
    offset_ = dataStart + static_cast<size_t>(size);
    return true;
}

} // namespace control
