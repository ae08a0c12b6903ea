#pragma once
#include <functional>

namespace viewer {

// What the update check needs from the viewer's window. The window implements it.
class UpdateWindow {
  public:
    virtual ~UpdateWindow() = default;
    // Queues the call to run later on the window's thread, like a posted window message. Called
    // from the check's worker thread too, so it must only queue, never run the call at once.
    virtual void PostToWindow(std::function<void()> call) = 0;
    // The wait cursor around a fetch that blocks the window's thread; with waitWindow also the
    // "Please wait..." window owned by the window.
    virtual void ShowWait(bool waitWindow) = 0;
    virtual void HideWait() = 0;
    // Closes the viewer (the Cancel command) once the installer has been started.
    virtual void CloseViewer() = 0;
};

} // namespace viewer
