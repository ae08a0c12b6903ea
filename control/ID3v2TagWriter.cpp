#include "control/ID3v2TagWriter.h"

#include "control/ID3v2FileReplacement.h"
#include "control/ID3v2FrameConverter.h"
#include "control/ID3v2TagBuilder.h"
#include "platform/CodePage.h"
#include "platform/FileError.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace control {
namespace {

constexpr size_t TagHeaderSize = 10;
constexpr size_t FooterSize = 10;
constexpr uint8_t TagFooter = 0x10;
// The copy moves the audio in small blocks and pauses after each one, so that a write of
// a long file leaves the disk and the processor to the rest of the system.
constexpr size_t CopyBlockSize = 4096;
constexpr std::chrono::milliseconds CopyPause{1};
constexpr size_t MaxErrorTextLength = 255;

ID3v2WriteCheckpointHook& CheckpointHook() {
    static ID3v2WriteCheckpointHook hook;
    return hook;
}

// Numbers the checkpoints of one write.
class Checkpoints {
  public:
    void Reach() {
        ++count_;
        if (CheckpointHook())
            CheckpointHook()(count_);
    }

  private:
    unsigned count_ = 0;
};

// The part of the file that the old tag occupies, and the frames of it that the new tag keeps.
struct OldTag {
    uint64_t length = 0;
    std::string keptFrames;
};

uint32_t SyncSafe32(const uint8_t* bytes) {
    return uint32_t{bytes[0] & 0x7Fu} << 21 | uint32_t{bytes[1] & 0x7Fu} << 14 |
           uint32_t{bytes[2] & 0x7Fu} << 7 | uint32_t{bytes[3] & 0x7Fu};
}

// A version 2.4 tag may end in a footer, which belongs to the tag and goes with it.
bool HasFooterAt(const ID3v2FileReplacement& file, const uint8_t* header, uint64_t offset) {
    if (header[3] != 4 || (header[5] & TagFooter) == 0)
        return false;
    char footer[3] = {};
    return file.ReadTarget(offset, footer, 3) == 3 && std::memcmp(footer, "3DI", 3) == 0;
}

OldTag ReadOldTag(const ID3v2FileReplacement& file) {
    uint8_t header[TagHeaderSize] = {};
    if (file.ReadTarget(0, header, TagHeaderSize) < TagHeaderSize ||
        std::memcmp(header, "ID3", 3) != 0)
        return {};
    const uint32_t bodySize = SyncSafe32(header + 6);
    OldTag old;
    old.length = TagHeaderSize + uint64_t{bodySize};
    if (old.length > file.TargetLength())
        return old;
    std::string body(bodySize, '\0');
    body.resize(file.ReadTarget(TagHeaderSize, body.data(), body.size()));
    old.keptFrames = ID3v2FrameConverter::KeptFrames(header[3], header[5], body);
    if (HasFooterAt(file, header, old.length))
        old.length += FooterSize;
    return old;
}

void CopyRest(ID3v2FileReplacement& file, uint64_t from, Checkpoints& checkpoints) {
    std::string block(CopyBlockSize, '\0');
    for (uint64_t position = from; position < file.TargetLength();) {
        const size_t wanted =
            static_cast<size_t>(std::min<uint64_t>(file.TargetLength() - position, block.size()));
        const size_t got = file.ReadTarget(position, block.data(), wanted);
        if (got == 0)
            return; // the file became shorter: the length check finds it
        file.Write(std::string_view(block.data(), got));
        checkpoints.Reach();
        std::this_thread::sleep_for(CopyPause);
        position += got;
    }
}

// Writes the new tag and the rest of the old file into the temporary file. False when the
// old tag claims more than the file holds, the new tag is too large, or the copy came out
// short.
bool WriteNewContent(ID3v2FileReplacement& file, const std::string& textFrames,
                     Checkpoints& checkpoints) {
    const OldTag old = ReadOldTag(file);
    if (old.length > file.TargetLength())
        return false;
    const std::optional<std::string> tag = ID3v2TagBuilder::Tag(textFrames + old.keptFrames);
    if (!tag)
        return false;
    file.Write(*tag);
    checkpoints.Reach();
    CopyRest(file, old.length, checkpoints);
    return file.WrittenLength() == tag->size() + (file.TargetLength() - old.length);
}

void ShowFileError(const platform::FileError& error) {
    std::u16string text = platform::Utf8ToUtf16(std::strerror(error.errorNumber()));
    text.resize(std::min(text.size(), MaxErrorTextLength));
    if (!text.empty())
        platform::ShowMessage(text, u"Error!", platform::MB_OK | platform::MB_ICONERROR);
}

std::u16string UpToZero(const std::u16string& text) {
    return text.substr(0, text.find(u'\0'));
}

} // namespace

void SetID3v2WriteCheckpointHook(ID3v2WriteCheckpointHook hook) {
    CheckpointHook() = std::move(hook);
}

bool WriteID3v2Tags(const std::u16string& file, const std::u16string& title,
                    const std::u16string& artist, const std::u16string& album,
                    const std::u16string& year, const std::u16string& genre,
                    const std::u16string& comment, const std::u16string& trackNum, bool useUnicode,
                    uint32_t codePage) {
    // Converted first: a code page without converter stops the write before it begins.
    const std::string textFrames = ID3v2TagBuilder::TextFrames(
        {title, artist, album, year, genre, comment, trackNum}, useUnicode, codePage);
    const std::u16string path = UpToZero(file);
    if (path.empty())
        return false;
    ID3v2FileReplacement replacement(platform::Utf16ToUtf8(path));
    if (!replacement.OpenTarget() || !replacement.CreateTemporary())
        return false;

    Checkpoints checkpoints;
    try {
        checkpoints.Reach();
        if (!WriteNewContent(replacement, textFrames, checkpoints))
            return false;
        replacement.Finish();
        checkpoints.Reach();
    } catch (const platform::FileError& error) {
        ShowFileError(error);
        return false;
    }
    if (!replacement.Replace())
        return false;
    checkpoints.Reach();
    return true;
}

} // namespace control
