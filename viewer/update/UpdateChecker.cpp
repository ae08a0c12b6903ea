#include "viewer/update/UpdateChecker.h"

#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "viewer/ViewerSettings.h"
#include "viewer/update/UpdateVersion.h"
#include "viewer/update/UpdateWindow.h"

#include <csignal>
#include <spawn.h>
#include <system_error>

extern char** environ;

namespace viewer {
namespace {

const std::u16string AutoCheckKey = u"AutoCheckUpdate";

// Starts the program with its path as the only argument: no shell, no inherited descriptors
// beyond the standard three, default signal mask. Returns 0 or the error number.
int SpawnProgram(const std::string& path) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    std::string argument0 = path;
    char* argv[] = {argument0.data(), nullptr};
    pid_t pid = 0;
    int error = posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

} // namespace

UpdateChecker::UpdateChecker(UpdateWindow& window, std::u16string versionText)
    : window_(window), runningVersion_(platform::EncodeCodePage(versionText, platform::CP_ACP)) {}

UpdateChecker::~UpdateChecker() {
    cancel_ = true;
    if (worker_.joinable())
        worker_.join();
}

bool UpdateChecker::AutoCheckEnabled() {
    return ViewerSettings::ReadIntSetting(AutoCheckKey, 0) == 1;
}

bool UpdateChecker::ToggleAutoCheck() {
    int value = ViewerSettings::ReadIntSetting(AutoCheckKey, 0) == 0 ? 1 : 0;
    ViewerSettings::WriteIntSetting(AutoCheckKey, value);
    return value == 1;
}

bool UpdateChecker::StartAutomaticCheckIfEnabled() {
    return AutoCheckEnabled() && StartAutomaticCheck();
}

bool UpdateChecker::StartAutomaticCheck() {
    if (busy_.exchange(true))
        return false;
    if (worker_.joinable())
        worker_.join();
    worker_ = std::thread([this] {
        UpdateResult result = UpdateFetcher(UpdateMode::Information, cancel_).Fetch();
        Post(&UpdateChecker::OnUpdateInfo, std::move(result), false);
    });
    return true;
}

bool UpdateChecker::CheckNow() {
    if (busy_.exchange(true))
        return false;
    window_.ShowWait(false);
    UpdateResult result = UpdateFetcher(UpdateMode::Information, cancel_).Fetch();
    window_.HideWait();
    Post(&UpdateChecker::OnUpdateInfo, std::move(result), true);
    return true;
}

void UpdateChecker::Post(Handler handler, UpdateResult result, bool manual) {
    std::weak_ptr<int> alive = alive_;
    window_.PostToWindow([this, alive, handler, result = std::move(result), manual] {
        if (!alive.expired())
            (this->*handler)(result, manual);
    });
}

void UpdateChecker::OnUpdateInfo(const UpdateResult& result, bool manual) {
    if (!result.errorText.empty()) {
        if (manual)
            platform::ShowMessage(result.errorText, u"Check for update - error!",
                                  platform::MB_ICONEXCLAMATION);
        Finish();
        return;
    }
    if (UpdateVersion::IsNewer(result.publishedVersion, runningVersion_)) {
        int answer = platform::ShowMessage(
            u"New version of Sonoprobe is ready. Download and install it?", u"Check for update",
            platform::MB_ICONINFORMATION | platform::MB_YESNO);
        if (answer == platform::IDYES) {
            DownloadInstaller(manual);
            return;
        }
    } else if (manual) {
        platform::ShowMessage(u"The last version of Sonoprobe is installed.", u"Update",
                              platform::MB_ICONINFORMATION);
    }
    Finish();
}

void UpdateChecker::DownloadInstaller(bool manual) {
    window_.ShowWait(true);
    UpdateResult result = UpdateFetcher(UpdateMode::Installer, cancel_).Fetch();
    window_.HideWait();
    Post(&UpdateChecker::OnUpdateSetup, std::move(result), manual);
}

void UpdateChecker::OnUpdateSetup(const UpdateResult& result, bool manual) {
    if (!result.errorText.empty()) {
        if (manual)
            platform::ShowMessage(result.errorText, u"Error downloading update!",
                                  platform::MB_ICONEXCLAMATION);
        Finish();
        return;
    }
    if (!result.installerPath.empty())
        StartInstaller(result.installerPath);
    Finish();
}

void UpdateChecker::StartInstaller(const std::string& path) {
    std::u16string widePath = platform::Utf8ToUtf16(path);
    ViewerSettings::WriteStringSetting(u"DeleteSetup", u"\"" + widePath + u"\"");
    if (int error = SpawnProgram(path)) {
        platform::ShowMessage(u"Cannot start <" + widePath + u">!\n" +
                                  platform::Utf8ToUtf16(std::generic_category().message(error)),
                              u"Error!", platform::MB_ICONERROR);
        return;
    }
    window_.CloseViewer();
}

void UpdateChecker::Finish() {
    busy_ = false;
}

} // namespace viewer
