#include "shared-ui/QtMessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <vector>

namespace sharedui {
namespace {

QMessageBox::Icon IconOf(unsigned flags) {
    switch (flags & 0xF0) {
    case platform::MB_ICONERROR:
        return QMessageBox::Critical;
    case platform::MB_ICONQUESTION:
        return QMessageBox::Question;
    case platform::MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case platform::MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

struct ButtonChoice {
    QMessageBox::StandardButton button;
    int answer;
};

std::vector<ButtonChoice> ButtonsOf(unsigned flags) {
    switch (flags & 0xF) {
    case platform::MB_OKCANCEL:
        return {{QMessageBox::Ok, platform::IDOK}, {QMessageBox::Cancel, platform::IDCANCEL}};
    case platform::MB_YESNO:
        return {{QMessageBox::Yes, platform::IDYES}, {QMessageBox::No, platform::IDNO}};
    default:
        return {{QMessageBox::Ok, platform::IDOK}};
    }
}

int AnswerOf(const std::vector<ButtonChoice>& choices, int clicked, unsigned flags) {
    for (const ButtonChoice& choice : choices)
        if (choice.button == clicked)
            return choice.answer;
    // Closed without a button (Escape on a box without Cancel): the default button's answer.
    return platform::DefaultAnswer(flags);
}

} // namespace

QtMessageBoxSink::QtMessageBoxSink() {
    previous_ = platform::SetMessageBoxSink(
        [](const std::u16string& caption, const std::u16string& text, unsigned flags) {
            if (QThread::currentThread() == qApp->thread())
                return Show(caption, text, flags);
            int answer = platform::DefaultAnswer(flags);
            QMetaObject::invokeMethod(
                qApp, [&] { answer = Show(caption, text, flags); }, Qt::BlockingQueuedConnection);
            return answer;
        });
}

QtMessageBoxSink::~QtMessageBoxSink() {
    platform::SetMessageBoxSink(previous_);
}

int QtMessageBoxSink::Show(const std::u16string& caption, const std::u16string& text,
                           unsigned flags) {
    QMessageBox box(IconOf(flags), QString::fromStdU16String(caption),
                    QString::fromStdU16String(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    std::vector<ButtonChoice> choices = ButtonsOf(flags);
    for (const ButtonChoice& choice : choices)
        box.addButton(choice.button);
    int defaultIndex = (flags & platform::MB_DEFBUTTON2) && choices.size() > 1 ? 1 : 0;
    box.setDefaultButton(choices[defaultIndex].button);
    if (flags & platform::MB_TOPMOST)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return AnswerOf(choices, box.exec(), flags);
}

} // namespace sharedui
