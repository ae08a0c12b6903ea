#pragma once
#include "control/ID3v2FrameWalker.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace control {

// Carries the frames of an old ID3v2 tag over into the version 2.3 tag that the tag writer
// makes, so that a tag write loses nothing but the texts it replaces.
class ID3v2FrameConverter {
  public:
    // The frames of the old tag body (the bytes behind its 10-byte header) that the new tag
    // keeps, as version 2.3 frames in their old order. Version 2.3 frames are copied byte for
    // byte; version 2.4 frames get version 2.3 headers with their data decoded from
    // unsynchronisation. Left out: the frames that the new tag writes afresh and those they
    // supersede, frames that ask to be dropped when the tag changes, and every frame of a tag
    // of another version (2.2 has a frame layout of its own).
    static std::string KeptFrames(uint8_t majorVersion, uint8_t tagFlags, std::string_view body);

    // A version 2.4 frame as a version 2.3 frame: flags moved to their version 2.3 places,
    // extra header bytes in version 2.3 order, unsynchronisation undone (also when the whole
    // tag is marked unsynchronised). Nothing when the frame cannot be expressed in version 2.3
    // (compressed without its decompressed size) or is cut short.
    static std::optional<std::string> ToVersion3(const ID3v2Frame& frame, bool tagUnsynchronised);

    // The bytes with unsynchronisation undone: every FF 00 becomes FF.
    static std::string Resynchronise(std::string_view bytes);

    // A version 2.3 frame header (plain 32-bit size) followed by the data.
    static std::string Version3Frame(std::string_view id, std::string_view data,
                                     uint8_t statusFlags, uint8_t formatFlags);

  private:
    static std::optional<std::string_view>
    FramesBehindExtendedHeader(uint8_t majorVersion, uint8_t tagFlags, std::string_view body);
    static bool IsKept(std::string_view version3Frame);
};

} // namespace control
