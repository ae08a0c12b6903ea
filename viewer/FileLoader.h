#pragma once
#include "viewer/AudioFileFields.h"
#include "viewer/CSonoprobeCtrl.h"

#include <optional>
#include <string>

namespace viewer {

// What loading a file needs from a window. Console mode passes none.
class FileLoadWindow {
  public:
    virtual ~FileLoadWindow() = default;
    // The open-file dialog; nothing when the user cancelled it.
    virtual std::optional<std::u16string> AskForFile() = 0;
    virtual void ShowWait() = 0;
    virtual void HideWait() = 0;
    // Transfers the fields to the window's controls and sets the "&Edit Tags" state.
    virtual void ShowFields(const AudioFileFields& fields, bool editTagsEnabled) = 0;
};

enum class LoadResult { Loaded = 0, Cancelled = 2 };

// Sends the path to the control and copies the fifteen result strings into the fields. Asks for
// a file when the path is empty and a window is given. An error the control raised is shown in
// a message box; the fields then hold what the control returned.
LoadResult LoadAudioFile(CSonoprobeCtrl& control, AudioFileFields& fields,
                         FileLoadWindow* window = nullptr);
// The same without a window, with the tags' code page already read from the settings: console
// mode reads it once for a whole pattern instead of once per file.
void LoadAudioFile(CSonoprobeCtrl& control, AudioFileFields& fields, uint32_t tagsCodePage);
// The "TagsCodepage" setting.
uint32_t TagsCodePageSetting();

// "&Edit Tags" is offered for MPEG audio only.
bool EditTagsAllowed(const std::u16string& codec);

} // namespace viewer
