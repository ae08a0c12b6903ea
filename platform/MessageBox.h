#pragma once
#include <functional>
#include <string>

namespace platform {

// Flags and answers of a message box, with the values the system's programs know.
enum MessageBoxFlags : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100,
    MB_TOPMOST = 0x40000,
};
enum MessageBoxAnswer : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

using MessageBoxSink =
    std::function<int(const std::u16string& caption, const std::u16string& text, unsigned flags)>;

// Shows a message box through the installed sink. The default sink writes one line
// "caption: text" to standard error and answers with the default button, so console mode never
// waits for a person. A GUI main() installs the Qt sink; tests install their own.
int ShowMessage(const std::u16string& text, const std::u16string& caption, unsigned flags);
// Installs a sink; an empty one restores the default. Returns the previous sink.
MessageBoxSink SetMessageBoxSink(MessageBoxSink sink);
// The answer the default button gives for these flags.
int DefaultAnswer(unsigned flags);

} // namespace platform
