#include "viewer/gui/InfoDialogTemplate.h"

#include "shared-ui/DialogUnits.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <optional>

namespace viewer {
namespace {

using F = AudioFileFields;

const QColor Green(0, 128, 0);
const QColor TagBlue(0, 0, 192);

QRect Area(const sharedui::DialogUnits& units, const InfoDialogTemplate::Box& box) {
    return units.Rect(box.x, box.y, box.width, box.height);
}

void CreateGroup(QWidget* client, const sharedui::DialogUnits& units, int id, const char* title,
                 const InfoDialogTemplate::Box& box) {
    auto* group = new QGroupBox(QString::fromLatin1(title), client);
    group->setObjectName(InfoDialogTemplate::Name(id));
    group->setGeometry(Area(units, box));
}

std::optional<QColor> TextColour(int editId) {
    switch (editId) {
    case 1000:
    case 1015:
    case 1011:
        return Green;
    case 1049:
    case 1036:
    case 1034:
    case 1019:
    case 1050:
    case 1037:
    case 1044:
        return TagBlue;
    default:
        return std::nullopt;
    }
}

void CreateRow(QWidget* client, const sharedui::DialogUnits& units,
               const InfoDialogTemplate::Row& row) {
    auto* label = new QLabel(QString::fromLatin1(row.label), client);
    label->setObjectName(InfoDialogTemplate::Name(row.labelId));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setGeometry(Area(units, row.labelBox));
    auto* edit = new QLineEdit(client);
    edit->setObjectName(InfoDialogTemplate::Name(row.editId));
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignCenter);
    edit->setGeometry(Area(units, row.editBox));
    if (std::optional<QColor> colour = TextColour(row.editId)) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Text, *colour);
        edit->setPalette(palette);
    }
}

} // namespace

const std::vector<InfoDialogTemplate::Row>& InfoDialogTemplate::Rows() {
    static const std::vector<Row> rows = {
        {1051, "Filename : ", {9, 11, 40, 11}, 1000, {50, 11, 169, 12}, &F::FileName},
        {1052, "Size : ", {9, 24, 40, 11}, 1001, {50, 24, 169, 12}, &F::FileSize},
        {1053, "Length : ", {9, 36, 40, 11}, 1002, {50, 36, 169, 12}, &F::Length},
        {1038, "Title : ", {9, 49, 40, 11}, 1019, {50, 49, 169, 12}, &F::Title},
        {1039, "Artist : ", {9, 62, 40, 11}, 1034, {50, 62, 169, 12}, &F::Artist},
        {1040, "Album : ", {9, 75, 40, 11}, 1036, {50, 75, 169, 12}, &F::Album},
        {1043, "Genre : ", {9, 88, 40, 11}, 1050, {50, 88, 169, 12}, &F::Genre},
        {1045, "Year : ", {9, 101, 40, 11}, 1049, {50, 101, 169, 12}, &F::Year},
        {1041, "Comment : ", {9, 114, 40, 11}, 1037, {50, 114, 169, 12}, &F::Comment},
        {1042, "Track # : ", {9, 127, 40, 11}, 1044, {50, 127, 169, 12}, &F::TrackNum},
        {1032, "Audio codec : ", {7, 156, 60, 11}, 1014, {69, 156, 150, 12}, &F::Codec},
        {1028, "Sampling Rate : ", {7, 169, 60, 11}, 1009, {69, 169, 150, 12}, &F::SamplingRate},
        {1030, "Channels : ", {7, 182, 60, 11}, 1011, {69, 182, 150, 12}, &F::Channels},
        {1033, "Average bitrate : ", {7, 195, 60, 11}, 1015, {69, 195, 150, 12}, &F::Bitrate},
        {1035,
         "Additional Info : ",
         {6, 208, 60, 11},
         1016,
         {69, 208, 150, 12},
         &F::AdditionalInfo},
    };
    return rows;
}

const std::array<int, 25>& InfoDialogTemplate::TagRowTable() {
    static const std::array<int, 25> table = {1038, 1019, 1039, 1034, 1040, 1036, 1043, 1050, 1045,
                                              1049, 1041, 1037, 1042, 1044, 1020, 1028, 1009, 1032,
                                              1014, 1030, 1011, 1033, 1015, 1035, 1016};
    return table;
}

void InfoDialogTemplate::Create(QWidget* client, const sharedui::DialogUnits& units) {
    CreateGroup(client, units, FileInfoGroup, "[ File Info ]", {3, 0, 220, 143});
    CreateGroup(client, units, FormatInfoGroup, "[ Format Info ]", {3, 144, 220, 80});
    for (const Row& row : Rows())
        CreateRow(client, units, row);
}

} // namespace viewer
