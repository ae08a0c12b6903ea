#include "platform/MessageBox.h"

#include "platform/CodePage.h"

#include <cstdio>
#include <mutex>

namespace platform {
namespace {

std::mutex sinkMutex;
MessageBoxSink& CurrentSink() {
    static MessageBoxSink sink;
    return sink;
}

int WriteToStandardError(const std::u16string& caption, const std::u16string& text,
                         unsigned flags) {
    std::string line = ToLocaleCharset(caption) + ": " + ToLocaleCharset(text) + "\n";
    // Reports still buffered for standard output come first, so that both streams sent to one
    // file keep their order.
    std::fflush(stdout);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return DefaultAnswer(flags);
}

} // namespace

int DefaultAnswer(unsigned flags) {
    bool second = (flags & MB_DEFBUTTON2) != 0;
    switch (flags & 0xF) {
    case MB_OKCANCEL:
        return second ? IDCANCEL : IDOK;
    case MB_YESNO:
        return second ? IDNO : IDYES;
    default:
        return IDOK;
    }
}

int ShowMessage(const std::u16string& text, const std::u16string& caption, unsigned flags) {
    MessageBoxSink sink;
    {
        std::lock_guard lock(sinkMutex);
        sink = CurrentSink();
    }
    if (sink)
        return sink(caption, text, flags);
    return WriteToStandardError(caption, text, flags);
}

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink) {
    std::lock_guard lock(sinkMutex);
    MessageBoxSink previous = std::move(CurrentSink());
    CurrentSink() = std::move(sink);
    return previous;
}

} // namespace platform
