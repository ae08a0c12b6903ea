#include "viewer/FileLoader.h"

#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "viewer/ViewerSettings.h"

#include <algorithm>

namespace viewer {
namespace {

void ShowCallError(const ControlCallError& error) {
    platform::ShowMessage(platform::Utf8ToUtf16(error.what()), u"Error!",
                          platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void ReadEachResult(CSonoprobeCtrl& control, AudioFileFields& fields) {
    fields.FileName = control.GetFileName();
    fields.FileSize = control.GetFileSize();
    fields.Title = control.GetFileTitle();
    fields.Artist = control.GetArtist();
    fields.Album = control.GetAlbum();
    fields.Genre = control.GetGenre();
    fields.Year = control.GetYear();
    fields.Comment = control.GetComment();
    fields.TrackNum = control.GetTrackNum();
    fields.SamplingRate = control.GetSamplingRate();
    fields.Codec = control.GetCodec();
    fields.Channels = control.GetChannels();
    fields.Bitrate = control.GetBitrate();
    fields.AdditionalInfo = control.GetAdditionalInfo();
    fields.Length = control.GetLength();
}

// Every field is replaced, so nothing of an earlier file remains, even when the control cannot
// be reached at all.
void ReadResults(CSonoprobeCtrl& control, AudioFileFields& fields) {
    try {
        ReadEachResult(control, fields);
    } catch (const ControlCallError& error) {
        AudioFileFields empty;
        empty.FilePath = fields.FilePath;
        fields = empty;
        // A control that was never created has already said so.
        if (control.IsCreated())
            ShowCallError(error);
    }
}

void RemoveQuotes(std::u16string& path) {
    path.erase(std::remove(path.begin(), path.end(), u'"'), path.end());
}

void SendAndReadResults(CSonoprobeCtrl& control, AudioFileFields& fields, uint32_t tagsCodePage) {
    try {
        control.SetCodePage(tagsCodePage);
        control.SetFilePath(fields.FilePath);
    } catch (const ControlCallError& error) {
        ShowCallError(error);
    }
    ReadResults(control, fields);
}

} // namespace

uint32_t TagsCodePageSetting() {
    return static_cast<uint32_t>(ViewerSettings::ReadIntSetting(u"TagsCodepage", 0));
}

void LoadAudioFile(CSonoprobeCtrl& control, AudioFileFields& fields, uint32_t tagsCodePage) {
    RemoveQuotes(fields.FilePath);
    SendAndReadResults(control, fields, tagsCodePage);
}

bool EditTagsAllowed(const std::u16string& codec) {
    return codec.rfind(u"MPA", 0) == 0;
}

LoadResult LoadAudioFile(CSonoprobeCtrl& control, AudioFileFields& fields, FileLoadWindow* window) {
    RemoveQuotes(fields.FilePath);
    if (fields.FilePath.empty() && window) {
        std::optional<std::u16string> chosen = window->AskForFile();
        if (!chosen)
            return LoadResult::Cancelled;
        fields.FilePath = *chosen;
        auto slash = chosen->rfind(u'/');
        fields.FileName = slash == std::u16string::npos ? *chosen : chosen->substr(slash + 1);
    }
    if (window)
        window->ShowWait();
    SendAndReadResults(control, fields, TagsCodePageSetting());
    if (window) {
        window->ShowFields(fields, EditTagsAllowed(fields.Codec));
        window->HideWait();
    }
    return LoadResult::Loaded;
}

} // namespace viewer
