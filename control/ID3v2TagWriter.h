#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace control {

// Replaces the ID3v2 tag at the start of a file with a version 2.3 tag of seven texts: TPE1,
// TALB, TIT2, TRCK, TCON, TYER and, when not empty, COMM. The other frames of the old tag
// (cover art, lyrics, user texts and so on) follow them; everything after the old tag, the
// audio and any tag at the end, is kept byte for byte. The Unicode form stores UTF-16 text,
// the 8-bit form the bytes of the code page (0 is the locale's ANSI code page).
//
// True when the file was rewritten. False, with the file untouched and no temporary file
// left, when it cannot be opened or locked, is read-only, its folder takes no new file, its
// old tag claims more bytes than the file holds, or a file operation fails; a failure while
// the new content is written is also shown in a message box ("Error!"). An 8-bit form with
// a code page that has no converter throws platform::ConversionError before any file is
// touched. Each text is taken up to its first zero character.
bool WriteID3v2Tags(const std::u16string& file, const std::u16string& title,
                    const std::u16string& artist, const std::u16string& album,
                    const std::u16string& year, const std::u16string& genre,
                    const std::u16string& comment, const std::u16string& trackNum, bool useUnicode,
                    uint32_t codePage);

// Crash and failure tests stop a write at each of its checkpoints: the hook is called with
// 1, 2, 3, ... at every point where a crash or a file error could strike, from the creation
// of the temporary file on. A platform::FileError thrown from a checkpoint counts as a failed
// file operation, except from the last one, which follows the replacement. An empty hook
// removes it.
using ID3v2WriteCheckpointHook = std::function<void(unsigned checkpoint)>;
void SetID3v2WriteCheckpointHook(ID3v2WriteCheckpointHook hook);

} // namespace control
