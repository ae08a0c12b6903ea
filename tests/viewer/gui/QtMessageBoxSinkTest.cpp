#include "shared-ui/QtMessageBoxSink.h"
#include "tests/viewer/gui/GuiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

struct SeenBox {
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

// Answers the next message box by clicking the button with the given text.
void AnswerNextBox(SeenBox& seen, const QString& buttonText) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, &seen, buttonText] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            seen.buttons << button->text().remove(u'&');
        seen.defaultButton = box->defaultButton()->text().remove(u'&');
        for (QAbstractButton* button : box->buttons())
            if (button->text().remove(u'&') == buttonText)
                button->click();
        timer->deleteLater();
    });
    timer->start(10);
}

} // namespace

TEST(QtMessageBoxSinkTest, ShowsCaptionTextIconAndButtonsAndReturnsTheAnswer) {
    guitest::EnsureApplication();
    sharedui::QtMessageBoxSink sink;
    SeenBox seen;
    AnswerNextBox(seen, QStringLiteral("No"));
    int answer = platform::ShowMessage(u"Download it?", u"Check for update",
                                       platform::MB_YESNO | platform::MB_ICONINFORMATION |
                                           platform::MB_DEFBUTTON2);
    EXPECT_EQ(platform::IDNO, answer);
    EXPECT_EQ(QStringLiteral("Check for update"), seen.caption);
    EXPECT_EQ(QStringLiteral("Download it?"), seen.text);
    EXPECT_EQ(QMessageBox::Information, seen.icon);
    EXPECT_EQ((QStringList{QStringLiteral("Yes"), QStringLiteral("No")}), seen.buttons);
    EXPECT_EQ(QStringLiteral("No"), seen.defaultButton);
}

TEST(QtMessageBoxSinkTest, ABoxAskedForOnAWorkerThreadIsShownByTheGuiThread) {
    guitest::EnsureApplication();
    sharedui::QtMessageBoxSink sink;
    SeenBox seen;
    AnswerNextBox(seen, QStringLiteral("Cancel"));
    std::atomic<int> answer{0};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        answer = platform::ShowMessage(u"Cannot open file", u"Error!",
                                       platform::MB_OKCANCEL | platform::MB_ICONEXCLAMATION);
        done = true;
    });
    while (!done)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    EXPECT_EQ(platform::IDCANCEL, answer.load());
    EXPECT_EQ(QStringLiteral("Error!"), seen.caption);
    EXPECT_EQ(QMessageBox::Warning, seen.icon);
    EXPECT_EQ(QStringLiteral("OK"), seen.defaultButton);
}

TEST(QtMessageBoxSinkTest, TheEarlierSinkComesBackAtTheEnd) {
    guitest::EnsureApplication();
    testsupport::MessageBoxCapture capture;
    { sharedui::QtMessageBoxSink sink; }
    platform::ShowMessage(u"text", u"caption", platform::MB_OK);
    ASSERT_EQ(1u, capture.shown().size());
    EXPECT_EQ(u"caption", capture.shown()[0].caption);
}
