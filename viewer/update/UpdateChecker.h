#pragma once
#include "viewer/update/UpdateFetcher.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace viewer {

class UpdateWindow;

// The viewer's update check: compares the running version with the published one and, when the
// user agrees, downloads the installer, starts it and closes the viewer. Results reach the
// window as queued calls on its thread. Only one check runs at a time; the automatic check
// stays silent unless a newer version exists.
class UpdateChecker {
  public:
    // versionText: the running program's version (the window's VersionText).
    UpdateChecker(UpdateWindow& window, std::u16string versionText);
    // Ends a running automatic check and waits for its thread. Results still queued are dropped.
    ~UpdateChecker();
    UpdateChecker(const UpdateChecker&) = delete;
    UpdateChecker& operator=(const UpdateChecker&) = delete;

    // The check at start, on a worker thread, when "AutoCheckUpdate" is exactly 1. Returns
    // whether it was started.
    bool StartAutomaticCheckIfEnabled();
    // The check at start on a worker thread; false when a check is running already.
    bool StartAutomaticCheck();
    // "Check the programm update now": fetches on the calling (window) thread and reports every
    // outcome. Refused quietly (false) while another check is still running.
    bool CheckNow();

    // "AutoCheckUpdate" is exactly 1: the menu item is checked.
    static bool AutoCheckEnabled();
    // "&Auto check for updates at start": writes 1 when the setting was 0, else 0; returns
    // whether the item is now checked.
    static bool ToggleAutoCheck();

  private:
    using Handler = void (UpdateChecker::*)(const UpdateResult&, bool manual);

    void Post(Handler handler, UpdateResult result, bool manual);
    void OnUpdateInfo(const UpdateResult& result, bool manual);
    void OnUpdateSetup(const UpdateResult& result, bool manual);
    void DownloadInstaller(bool manual);
    void StartInstaller(const std::string& path);
    void Finish();

    UpdateWindow& window_;
    std::string runningVersion_;
    std::atomic<bool> busy_{false};
    std::atomic<bool> cancel_{false};
    std::thread worker_;
    // Queued calls hold a weak reference, so a call that arrives after the checker is gone
    // does nothing.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace viewer
