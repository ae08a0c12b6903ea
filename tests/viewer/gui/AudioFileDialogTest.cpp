#include "viewer/gui/AudioFileDialog.h"
#include "tests/viewer/gui/GuiTestSupport.h"

#include <QFileSystemModel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using viewer::AudioFileDialog;

TEST(AudioFileDialogTest, OffersTheFormatsWithTheirPatterns) {
    QStringList expected = {
        "All supported formats (*.ac3 *.mp2 *.mp3 *.mpa *.dts *.ogg *.flac *.wav *.pcm *.wv "
        "*.ape)",
        "AC3 files (*.ac3)",
        "DTS files (*.dts)",
        "MPEG audio files (*.mpa *.mp2 *.mp3)",
        "Ogg Vorbis audio files (*.ogg)",
        "Flac audio files (*.flac)",
        "PCM(Wave) files (*.wav *.pcm)",
        "WavPack files (*.wv)",
        "Monkey audio files (*.ape)",
        "All Files (*)",
    };
    EXPECT_EQ(expected, AudioFileDialog::NameFilters());
}

TEST(AudioFileDialogTest, ListsSupportedFilesWhateverTheLetterCase) {
    guitest::EnsureApplication();
    testsupport::TempDir dir;
    for (const char* name : {"A.MP3", "b.Flac", "c.wav", "notes.txt", "README"})
        dir.Write(name, std::string("x"));
    QFileDialog dialog;
    AudioFileDialog::Prepare(dialog);
    EXPECT_EQ(QStringLiteral("Select audio file"), dialog.windowTitle());
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(nullptr, model);
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    dialog.setDirectory(QString::fromStdString(dir.path()));
    ASSERT_TRUE(loaded.wait(5000));
    auto shown = [&] {
        QStringList names;
        QModelIndex folder = model->index(QString::fromStdString(dir.path()));
        for (int row = 0; row < model->rowCount(folder); ++row)
            names << model->index(row, 0, folder).data().toString();
        names.sort();
        return names.join(u' ').toStdString();
    };
    // The model lists a folder and applies a new filter in the background.
    auto shownSoon = [&](const std::string& expected) {
        for (int i = 0; i < 250 && shown() != expected; ++i)
            QTest::qWait(20);
        return shown();
    };
    EXPECT_EQ("A.MP3 b.Flac c.wav", shownSoon("A.MP3 b.Flac c.wav"));
    dialog.selectNameFilter(AudioFileDialog::NameFilters().back());
    const std::string all = "A.MP3 README b.Flac c.wav notes.txt";
    EXPECT_EQ(all, shownSoon(all));
}
