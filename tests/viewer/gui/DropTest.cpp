#include "tests/viewer/gui/GuiTestSupport.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

using guitest::DialogTest;
using viewer::CSonoprobeDlg;

namespace {

QMimeData* Files(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

struct DragResult {
    bool entered;
    Qt::DropAction draggingAction;
    bool dropped;
    Qt::DropAction droppedAction;
};

// A drag from a file manager that offers copy and move: enter, move over the window, drop.
DragResult DragOnto(QWidget* window, QMimeData* data) {
    const QPoint point = window->rect().center();
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    DragResult result{};
    QDragEnterEvent enter(point, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    result.entered = enter.isAccepted();
    QDragMoveEvent move(point, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &move);
    result.draggingAction = move.dropAction();
    QDropEvent drop(point, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    result.dropped = drop.isAccepted();
    result.droppedAction = drop.dropAction();
    delete data;
    return result;
}

} // namespace

TEST(DropTest, DroppingTheShownFileAloneDoesNothing) {
    DialogTest test;
    const std::string shown = test.files.Write("shown.wav", guitest::PlainWave());
    CSonoprobeDlg& dialog = test.Open(shown);
    DragResult result = DragOnto(&dialog, Files({QString::fromStdString(shown)}));
    EXPECT_TRUE(result.entered);
    EXPECT_TRUE(test.starts.empty());
    EXPECT_TRUE(dialog.isVisible());
    // Letter case does not make it another file.
    DragOnto(&dialog, Files({QString::fromStdString(shown).toUpper()}));
    EXPECT_TRUE(test.starts.empty());
}

TEST(DropTest, TheFirstOtherDroppedFileIsShownAndTheSourceKeepsItsFiles) {
    DialogTest test;
    const std::string shown = test.files.Write("shown.wav", guitest::PlainWave());
    const QString other = QString::fromStdString(test.files.path()) + "/other.mp3";
    const QString third = QString::fromStdString(test.files.path()) + "/third.mp3";
    CSonoprobeDlg& dialog = test.Open(shown);
    DragResult result = DragOnto(&dialog, Files({QString::fromStdString(shown), other, third}));
    EXPECT_EQ(Qt::MoveAction, result.draggingAction);
    EXPECT_TRUE(result.dropped);
    EXPECT_EQ(Qt::CopyAction, result.droppedAction);
    ASSERT_EQ(1u, test.starts.size());
    EXPECT_EQ(QStringList{other}, test.starts[0]);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(DropTest, DragsWithoutFilesAreRefused) {
    DialogTest test;
    CSonoprobeDlg& dialog = test.Open(test.files.Write("shown.wav", guitest::PlainWave()));
    auto* text = new QMimeData;
    text->setText(QStringLiteral("/music/a.mp3"));
    DragResult result = DragOnto(&dialog, text);
    EXPECT_FALSE(result.entered);
    EXPECT_FALSE(result.dropped);
    auto* web = new QMimeData;
    web->setUrls({QUrl(QStringLiteral("https://example.org/a.mp3"))});
    EXPECT_FALSE(DragOnto(&dialog, web).entered);
    EXPECT_TRUE(test.starts.empty());
}
