#pragma once
#include "viewer/AudioFileFields.h"

#include <QString>

#include <array>
#include <string>
#include <vector>

class QWidget;

namespace sharedui {
class DialogUnits;
}

namespace viewer {

// The information dialog's controls, in dialog units: two group boxes and one row per field,
// each a right-aligned label and a read-only, centred field. Control ids are the widgets'
// object names.
class InfoDialogTemplate {
  public:
    struct Box {
        int x, y, width, height;
    };
    struct Row {
        int labelId;
        const char* label;
        Box labelBox;
        int editId;
        Box editBox;
        std::u16string AudioFileFields::*field;
    };

    static constexpr int Width = 226;
    static constexpr int Height = 227;
    static constexpr int FileInfoGroup = 1021;
    static constexpr int FormatInfoGroup = 1020;

    static const std::vector<Row>& Rows();
    // The tag rows (label, field) in order, then the controls below them: what moves up when a
    // tag row is closed.
    static const std::array<int, 25>& TagRowTable();
    // Creates every control on the client widget.
    static void Create(QWidget* client, const sharedui::DialogUnits& units);
    static QString Name(int id) { return QString::number(id); }
};

} // namespace viewer
