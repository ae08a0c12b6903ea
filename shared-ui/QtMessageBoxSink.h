#pragma once
#include "platform/MessageBox.h"

namespace sharedui {

// While it lives, every message box of the process is a modal Qt message box with the asked
// caption, text, icon and buttons. One asked for on another thread is shown by the GUI thread
// while the asking thread waits for the answer. Needs a QApplication for its whole life.
class QtMessageBoxSink {
  public:
    QtMessageBoxSink();
    ~QtMessageBoxSink();
    QtMessageBoxSink(const QtMessageBoxSink&) = delete;
    QtMessageBoxSink& operator=(const QtMessageBoxSink&) = delete;

    // Shows one box on the calling (GUI) thread and returns the answer.
    static int Show(const std::u16string& caption, const std::u16string& text, unsigned flags);

  private:
    platform::MessageBoxSink previous_;
};

} // namespace sharedui
