#include "tests/viewer/gui/GuiTestSupport.h"

#include "platform/CodePage.h"

#include <QApplication>

namespace guitest {

using testsupport::PutBE;
using testsupport::PutLE;
using testsupport::PutText;

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "test_viewer_gui";
    static char* argv[] = {name, nullptr};
    static QApplication* application = nullptr;
    if (!application)
        application = new QApplication(argc, argv);
}

namespace {

Bytes Id3Frame(const std::string& id, const std::string& text) {
    Bytes body{0}; // ISO-8859-1
    if (id == "COMM")
        body.insert(body.end(), {'e', 'n', 'g', 0});
    PutText(body, text);
    Bytes frame;
    PutText(frame, id);
    PutBE(frame, body.size(), 4);
    PutBE(frame, 0, 2);
    frame.insert(frame.end(), body.begin(), body.end());
    return frame;
}

} // namespace

Bytes Mp3WithTags(const std::vector<std::pair<std::string, std::string>>& frames) {
    Bytes file;
    if (!frames.empty()) {
        Bytes body;
        for (const auto& [id, text] : frames) {
            Bytes frame = Id3Frame(id, text);
            body.insert(body.end(), frame.begin(), frame.end());
        }
        PutText(file, "ID3");
        file.insert(file.end(), {3, 0, 0});
        // The tag size is synch-safe: seven bits per byte.
        for (int shift = 21; shift >= 0; shift -= 7)
            file.push_back(static_cast<uint8_t>((body.size() >> shift) & 0x7F));
        file.insert(file.end(), body.begin(), body.end());
    }
    for (int i = 0; i < 4; ++i) {
        // MPEG-1 Layer III, 128 kbps, 44,100 Hz, joint stereo: 417 bytes a frame.
        Bytes mpeg{0xFF, 0xFB, 0x90, 0x40};
        mpeg.resize(417, 0);
        file.insert(file.end(), mpeg.begin(), mpeg.end());
    }
    return file;
}

Bytes Mp3WithTitle(const std::string& title) {
    return Mp3WithTags({{"TIT2", title}});
}

Bytes FullyTaggedMp3() {
    return Mp3WithTags({{"TIT2", "Title"},
                        {"TPE1", "Artist"},
                        {"TALB", "Album"},
                        {"TCON", "Jazz"},
                        {"TYER", "1999"},
                        {"COMM", "Comment"},
                        {"TRCK", "7"}});
}

Bytes PlainWave() {
    const uint32_t dataSize = 16000;
    Bytes file;
    PutText(file, "RIFF");
    PutLE(file, 36 + dataSize, 4);
    PutText(file, "WAVEfmt ");
    PutLE(file, 16, 4);
    PutLE(file, 1, 2);     // PCM
    PutLE(file, 1, 2);     // mono
    PutLE(file, 8000, 4);  // samples per second
    PutLE(file, 16000, 4); // bytes per second
    PutLE(file, 2, 2);     // block align
    PutLE(file, 16, 2);    // bits per sample
    PutText(file, "data");
    PutLE(file, dataSize, 4);
    file.resize(file.size() + dataSize, 0);
    return file;
}

DialogTest::DialogTest() {
    EnsureApplication();
}

DialogTest::~DialogTest() {
    Close();
}

viewer::CSonoprobeDlg& DialogTest::Open(const std::string& path, bool textWindowFirst) {
    Close();
    dialog_ = std::make_unique<viewer::CSonoprobeDlg>(platform::Utf8ToUtf16(path), textWindowFirst);
    dialog_->SetProgramStarter(
        [this](const QStringList& arguments) { starts.push_back(arguments); });
    dialog_->SetFileAsker([this](QWidget*) {
        ++fileQuestions;
        return fileAnswer;
    });
    if (dialog_->Initialize())
        dialog_->show();
    return *dialog_;
}

void DialogTest::Close() {
    dialog_.reset();
}

} // namespace guitest
