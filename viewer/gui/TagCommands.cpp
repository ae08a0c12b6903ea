#include "viewer/gui/TagCommands.h"

#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "platform/ProgramPath.h"
#include "shared-ui/CSelectCodepageDlg.h"
#include "viewer/ViewerSettings.h"
#include "viewer/gui/CSonoprobeDlg.h"
#include "viewer/gui/CTagEditor.h"

#include <QApplication>

namespace viewer {
namespace {

bool WriteThroughControl(CSonoprobeCtrl& control, const std::u16string& file,
                         const std::u16string& title, const std::u16string& artist,
                         const std::u16string& album, const std::u16string& year,
                         const std::u16string& genre, const std::u16string& comment,
                         const std::u16string& trackNum, bool useUnicode) {
    return control.WriteID3v2Tags(file, title, artist, album, year, genre, comment, trackNum,
                                  useUnicode);
}

TagCommands::TagWriter& Writer() {
    static TagCommands::TagWriter writer = WriteThroughControl;
    return writer;
}

// The wait cursor while the file is rewritten: the call blocks the window's thread.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// False when the control raised an error instead of answering; the error has been shown. A
// false answer is no such error: the control has reported what it had to report itself.
bool WriteTags(CSonoprobeDlg& dialog, const CTagEditor& editor) {
    WaitCursor wait;
    try {
        Writer()(dialog.Control(), dialog.Fields().FilePath, editor.Title, editor.Artist,
                 editor.Album, editor.Year, editor.Genre, editor.Comment, editor.TrackNum,
                 editor.UseUnicode);
        return true;
    } catch (const ControlCallError& error) {
        platform::ShowMessage(platform::Utf8ToUtf16(error.what()),
                              platform::Utf8ToUtf16(platform::ApplicationName()),
                              platform::MB_OK | platform::MB_ICONERROR);
        return false;
    }
}

} // namespace

void TagCommands::SetTagWriter(TagWriter writer) {
    Writer() = writer ? std::move(writer) : TagWriter(WriteThroughControl);
}

void TagCommands::EditTags(CSonoprobeDlg& dialog) {
    const AudioFileFields& fields = dialog.Fields();
    CTagEditor editor(&dialog);
    editor.Title = fields.Title;
    editor.Artist = fields.Artist;
    editor.Album = fields.Album;
    editor.Genre = fields.Genre;
    editor.Year = fields.Year;
    editor.Comment = fields.Comment;
    editor.TrackNum = fields.TrackNum;
    if (editor.exec() != QDialog::Accepted)
        return;
    // Whatever the control answered, the file is shown again as it now is; after an error the
    // file is unchanged and the window stays.
    if (WriteTags(dialog, editor))
        dialog.RelaunchWithFile(fields.FilePath);
}

void TagCommands::SelectCodepage(CSonoprobeDlg& dialog) {
    sharedui::CSelectCodepageDlg select(sharedui::CSelectCodepageDlg::Program::Viewer,
                                        CMyDialog::FontPointSize(), &dialog);
    select.SelectedCodePage =
        static_cast<uint32_t>(ViewerSettings::ReadIntSetting(u"TagsCodepage", 0));
    if (select.exec() != QDialog::Accepted)
        return;
    ViewerSettings::WriteIntSetting(u"TagsCodepage", static_cast<int>(select.SelectedCodePage));
    dialog.RelaunchWithFile(dialog.Fields().FilePath);
}

} // namespace viewer
