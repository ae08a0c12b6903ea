#pragma once
// Files and calls shared by the tag writer's tests.
#include "control/ID3v2TagWriter.h"
#include "tests/control/TagTestBytes.h"

#include <string>
#include <vector>

namespace writertest {

using testsupport::Bytes;

// Audio of the given number of MPEG-1 Layer III frames (128 kbps, 44,100 Hz), each with a
// payload pattern of its own, so that a misplaced byte shows.
Bytes MpegAudio(size_t frames);

// The seven texts of a write, in the order of the call.
struct Texts {
    std::u16string title, artist, album, year, genre, comment, trackNum;
};
Texts SampleTexts();

bool Write(const std::string& path, const Texts& texts, bool useUnicode = true,
           uint32_t codePage = 0);

// The names in a folder other than "." and "..", sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// Copies a file of the source tree (SONO_SOURCE_DIR) into the folder.
std::string CopySourceFile(const std::string& relativePath, const std::string& folder);

// The frames of a version 2.3 tag at the start of the bytes: id and data, in order.
struct FrameBytes {
    std::string id;
    Bytes data;
    uint8_t statusFlags = 0;
    uint8_t formatFlags = 0;
    bool operator==(const FrameBytes&) const = default;
};
std::vector<FrameBytes> Version3Frames(const Bytes& file);
// The bytes after the ID3v2 tag at the start.
Bytes AfterTag(const Bytes& file);

} // namespace writertest
