#pragma once
#include <QFileDialog>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <string>

namespace viewer {

// The "Select audio file" dialog that asks for the file to show.
class AudioFileDialog {
  public:
    // The chosen existing file, nothing when the dialog was cancelled.
    static std::optional<std::u16string> Ask(QWidget* owner);
    // The name filters: "description (pattern pattern ...)", "All supported formats" first.
    static QStringList NameFilters();
    // Title, options and filters of the dialog.
    static void Prepare(QFileDialog& dialog);
};

} // namespace viewer
