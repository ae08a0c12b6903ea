#include "viewer/gui/AudioFileDialog.h"

#include <QFileDialog>

namespace viewer {
namespace {

struct Filter {
    const char* description;
    const char* patterns;
};

// The description's own pattern part, if any, is replaced by the real patterns, which is the
// form the file dialog reads.
const Filter Filters[] = {
    {"All supported formats", "*.ac3;*.mp2;*.mp3;*.mpa;*.dts;*.ogg;*.flac;*.wav;*.pcm;*.wv;*.ape"},
    {"AC3 files (*.ac3)", "*.ac3"},
    {"DTS files (*.dts)", "*.dts"},
    {"MPEG audio files (*.mp*)", "*.mpa;*.mp2;*.mp3"},
    {"Ogg Vorbis audio files (*.ogg)", "*.ogg"},
    {"Flac audio files (*.flac)", "*.flac"},
    {"PCM(Wave) files (*.wav *.pcm)", "*.wav;*.pcm"},
    {"WavPack files (*.wv)", "*.wv"},
    {"Monkey audio files (*.ape)", "*.ape"},
    {"All Files (*.*)", "*.*"},
};

QString Description(const QString& text) {
    if (!text.endsWith(u')'))
        return text;
    qsizetype open = text.lastIndexOf(QStringLiteral(" ("));
    return open < 0 ? text : text.left(open);
}

QString Patterns(const QString& patterns) {
    QStringList list = patterns.split(u';');
    // "*.*" means every file, with or without a dot in its name.
    for (QString& pattern : list)
        if (pattern == QStringLiteral("*.*"))
            pattern = QStringLiteral("*");
    return list.join(u' ');
}

} // namespace

QStringList AudioFileDialog::NameFilters() {
    QStringList filters;
    for (const Filter& filter : Filters)
        filters << Description(QString::fromLatin1(filter.description)) + QStringLiteral(" (") +
                       Patterns(QString::fromLatin1(filter.patterns)) + u')';
    return filters;
}

void AudioFileDialog::Prepare(QFileDialog& dialog) {
    dialog.setWindowTitle(QStringLiteral("Select audio file"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's own dialog matches the patterns without regard to letter case ("*.mp3" lists A.MP3);
    // the desktop's native dialogs may not.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(NameFilters());
}

std::optional<std::u16string> AudioFileDialog::Ask(QWidget* owner) {
    QFileDialog dialog(owner);
    Prepare(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdU16String();
}

} // namespace viewer
