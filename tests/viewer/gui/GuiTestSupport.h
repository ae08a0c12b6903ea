#pragma once
#include "tests/support/TestSupport.h"
#include "viewer/gui/CSonoprobeDlg.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace guitest {

using testsupport::Bytes;

// The one QApplication of the test program (offscreen platform), made on first use.
void EnsureApplication();

// An MP3 file: an ID3v2.3 tag with the given text frames (frame id, text; "COMM" is written as
// a comment frame), none when there are none, then a few MPEG-1 Layer III frames.
Bytes Mp3WithTags(const std::vector<std::pair<std::string, std::string>>& frames);
Bytes Mp3WithTitle(const std::string& title);
// All seven tags set.
Bytes FullyTaggedMp3();
// A WAVE file without tags: 16-bit mono PCM at 8000 Hz.
Bytes PlainWave();

// A dialog with its own settings, files and message boxes; starting the program again is only
// recorded.
class DialogTest {
  public:
    DialogTest();
    ~DialogTest();

    // Creates and initialises the dialog for the file; shows it when Initialize succeeded.
    viewer::CSonoprobeDlg& Open(const std::string& path, bool textWindowFirst = false);
    viewer::CSonoprobeDlg& Dialog() { return *dialog_; }
    // Destroys the dialog, as the end of its process does.
    void Close();

    testsupport::TempDir files;
    std::vector<QStringList> starts;
    int fileQuestions = 0;
    std::optional<std::u16string> fileAnswer;

  private:
    testsupport::ScopedConfigHome config_;
    testsupport::MessageBoxCapture messageBoxes_;
    std::unique_ptr<viewer::CSonoprobeDlg> dialog_;
};

} // namespace guitest
