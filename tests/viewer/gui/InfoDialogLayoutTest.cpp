#include "tests/viewer/gui/GuiTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <algorithm>

using guitest::DialogTest;
using viewer::CSonoprobeDlg;

namespace {

QWidget* Find(CSonoprobeDlg& dialog, int id) {
    return dialog.findChild<QWidget*>(QString::number(id));
}

// Label and field of the seven tag rows, in the window's order.
const std::pair<int, int> TagRows[] = {{1038, 1019}, {1039, 1034}, {1040, 1036}, {1043, 1050},
                                       {1045, 1049}, {1041, 1037}, {1042, 1044}};

struct Geometry {
    int height = 0;
    int fixedHeight = 0;
    int row = 0;
    int fileGroupHeight = 0;
    int formatGroupTop = 0;
    int codecTop = 0;
    int additionalTop = 0;
    std::vector<bool> visibleRows;
};

Geometry Measure(CSonoprobeDlg& dialog) {
    Geometry g;
    g.height = dialog.height();
    g.fixedHeight = dialog.FixedHeight();
    g.row = Find(dialog, 1001)->y() - Find(dialog, 1000)->y();
    g.fileGroupHeight = Find(dialog, 1021)->height();
    g.formatGroupTop = Find(dialog, 1020)->y();
    g.codecTop = Find(dialog, 1014)->y();
    g.additionalTop = Find(dialog, 1016)->y();
    for (const auto& [label, edit] : TagRows) {
        EXPECT_EQ(Find(dialog, label)->isVisible(), Find(dialog, edit)->isVisible());
        g.visibleRows.push_back(Find(dialog, edit)->isVisible());
    }
    return g;
}

} // namespace

TEST(InfoDialogLayoutTest, EmptyTagRowsAreClosedUpAndTheWindowShrinksByThem) {
    DialogTest test;
    Geometry full = Measure(test.Open(test.files.Write("full.mp3", guitest::FullyTaggedMp3())));
    EXPECT_EQ(std::vector<bool>(7, true), full.visibleRows);
    EXPECT_EQ(full.height, full.fixedHeight);
    ASSERT_GT(full.row, 0);

    struct Case {
        const char* name;
        testsupport::Bytes file;
        std::vector<bool> rows;
    } cases[] = {
        {"only-title.mp3",
         guitest::Mp3WithTitle("Lone Title"),
         {true, false, false, false, false, false, false}},
        {"year-and-track.mp3",
         guitest::Mp3WithTags({{"TYER", "2001"}, {"TRCK", "3"}}),
         {false, false, false, false, true, false, true}},
        {"untagged.mp3", guitest::Mp3WithTags({}), std::vector<bool>(7, false)},
        {"untagged.wav", guitest::PlainWave(), std::vector<bool>(7, false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Geometry g = Measure(test.Open(test.files.Write(c.name, c.file)));
        EXPECT_EQ(c.rows, g.visibleRows);
        int closed = full.row * static_cast<int>(std::count(c.rows.begin(), c.rows.end(), false));
        EXPECT_EQ(full.height - closed, g.fixedHeight);
        EXPECT_EQ(g.fixedHeight, g.height);
        EXPECT_EQ(full.fileGroupHeight - closed, g.fileGroupHeight);
        EXPECT_EQ(full.formatGroupTop - closed, g.formatGroupTop);
        EXPECT_EQ(full.codecTop - closed, g.codecTop);
        EXPECT_EQ(full.additionalTop - closed, g.additionalTop);
    }
}

TEST(InfoDialogLayoutTest, EachRemainingRowMovesUpByTheRowsClosedAboveIt) {
    DialogTest test;
    CSonoprobeDlg& full = test.Open(test.files.Write("full.mp3", guitest::FullyTaggedMp3()));
    const int row = Find(full, 1001)->y() - Find(full, 1000)->y();
    const int artist = Find(full, 1034)->y();
    const int track = Find(full, 1044)->y();
    CSonoprobeDlg& dialog = test.Open(
        test.files.Write("a.mp3", guitest::Mp3WithTags({{"TPE1", "Artist"}, {"TRCK", "9"}})));
    // Title is closed above Artist; Title, Album, Genre, Year and Comment above Track.
    EXPECT_EQ(artist - row, Find(dialog, 1034)->y());
    EXPECT_EQ(track - 5 * row, Find(dialog, 1044)->y());
    EXPECT_EQ(Find(dialog, 1039)->y() + (Find(dialog, 1044)->y() - Find(dialog, 1034)->y()),
              Find(dialog, 1042)->y());
    EXPECT_EQ(QStringLiteral("Artist"), qobject_cast<QLineEdit*>(Find(dialog, 1034))->text());
    EXPECT_EQ(QStringLiteral("9"), qobject_cast<QLineEdit*>(Find(dialog, 1044))->text());
}

TEST(InfoDialogLayoutTest, FieldsAndGroupsFollowTheRightEdgeAndTheHeightIsFixed) {
    DialogTest test;
    CSonoprobeDlg& dialog = test.Open(test.files.Write("a.wav", guitest::PlainWave()));
    const int height = dialog.height();
    dialog.resize(600, height + 100);
    EXPECT_EQ(600, dialog.width());
    EXPECT_EQ(height, dialog.height());
    for (int edit : {1000, 1002, 1014, 1016})
        EXPECT_EQ(600 - 15, Find(dialog, edit)->geometry().right() + 1) << edit;
    for (int group : {1020, 1021})
        EXPECT_EQ(600 - 5, Find(dialog, group)->geometry().right() + 1) << group;
    dialog.resize(100, height);
    EXPECT_EQ(359, dialog.width());
}

TEST(InfoDialogLayoutTest, ControlsCarryTheTemplateTextsAndColours) {
    DialogTest test;
    CSonoprobeDlg& dialog = test.Open(test.files.Write("full.mp3", guitest::FullyTaggedMp3()));
    EXPECT_EQ(QStringLiteral("Sonoprobe ver 1.0.3"), dialog.windowTitle());
    EXPECT_EQ(QStringLiteral("Filename : "), qobject_cast<QLabel*>(Find(dialog, 1051))->text());
    EXPECT_EQ(QStringLiteral("Additional Info : "),
              qobject_cast<QLabel*>(Find(dialog, 1035))->text());
    const QColor green(0, 128, 0), blue(0, 0, 192);
    for (int id : {1000, 1015, 1011})
        EXPECT_EQ(green, Find(dialog, id)->palette().color(QPalette::Text)) << id;
    for (int id : {1049, 1036, 1034, 1019, 1050, 1037, 1044})
        EXPECT_EQ(blue, Find(dialog, id)->palette().color(QPalette::Text)) << id;
    for (int id : {1001, 1002, 1014, 1009, 1016}) {
        auto* edit = qobject_cast<QLineEdit*>(Find(dialog, id));
        EXPECT_NE(green, edit->palette().color(QPalette::Text)) << id;
        EXPECT_NE(blue, edit->palette().color(QPalette::Text)) << id;
        EXPECT_TRUE(edit->isReadOnly()) << id;
    }
    EXPECT_EQ(QStringLiteral("full.mp3"), qobject_cast<QLineEdit*>(Find(dialog, 1000))->text());
    EXPECT_EQ(QStringLiteral("Jazz"), qobject_cast<QLineEdit*>(Find(dialog, 1050))->text());
}
