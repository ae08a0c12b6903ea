#include "viewer/update/UpdateFetcher.h"

#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "viewer/update/UpdateDownloadFile.h"
#include "viewer/update/UpdateUrl.h"

#include <algorithm>

namespace viewer {
namespace {

const char* const InstallerFileName = "SonoprobeSetup.exe";

UpdateResult Failure(const std::string& text) {
    UpdateResult result;
    result.errorText = platform::Utf8ToUtf16(text);
    return result;
}

UpdateResult DownloadError(const std::string& address) {
    return Failure("Error downloading file\n<" + address + ">!");
}

bool IsRedirect(const UpdateResponse& response) {
    return response.answered && response.status >= 301 && response.status <= 303;
}

} // namespace

UpdateFetcher::UpdateFetcher(UpdateMode mode, const std::atomic<bool>& cancel)
    : mode_(mode), cancel_(cancel) {}

UpdateFetcher::~UpdateFetcher() = default;

std::u16string UpdateFetcher::ConfiguredAddress(UpdateMode mode) {
    if (mode == UpdateMode::Information)
        return platform::GetPrivateProfileString(
            u"Settings", u"Update Inf", u"https://update.orvane.com/sonoprobe/Sonoprobe.inf",
            platform::WinIniPath());
    return platform::GetPrivateProfileString(
        u"Settings", u"Update EXE", u"https://update.orvane.com/sonoprobe/SonoprobeSetup.exe",
        platform::WinIniPath());
}

UpdateResult UpdateFetcher::Fetch() {
    return Fetch(ConfiguredAddress(mode_));
}

UpdateResult UpdateFetcher::Fetch(const std::u16string& address) {
    std::string current = platform::Utf16ToUtf8(address);
    UpdateUrl url;
    if (!url.Set(current))
        return Failure("URL <" + current + "> is not valid!");
    for (int redirects = 0;; ++redirects) {
        if (cancel_.load())
            return Failure("The update check was cancelled.");
        Reset();
        UpdateResponse response = UpdateRequest(cancel_).Get(url.Text(), url.Host(), *this);
        if (!IsRedirect(response)) {
            UpdateResult result = Answer(response, url, current);
            file_.reset();
            return result;
        }
        if (!response.location || response.location->empty() || redirects == MaxRedirects)
            return Failure("Error: Site redirects with no new location");
        if (!url.Set(*response.location))
            return Failure("URL <" + *response.location + "> is not valid!");
        current = url.Text();
    }
}

void UpdateFetcher::Reset() {
    version_.clear();
    file_.reset();
    expected_ = 0;
    createFailed_ = false;
    writeFailed_ = false;
}

UpdateResult UpdateFetcher::Answer(const UpdateResponse& response, const UpdateUrl& url,
                                   const std::string& address) {
    if (!response.answered)
        return Failure(response.transferError);
    if (response.status >= 200 && response.status <= 299)
        return Received(response.contentLength, url, address);
    switch (response.status) {
    case 401:
        return Failure("Access denied: Invalid password!");
    case 404:
        return Failure("File <" + url.ObjectPath() + "> not found on the server " + url.Host() +
                       "!");
    case 503:
        return Failure("Error: Server overloaded! Please try later...");
    default:
        return DownloadError(address);
    }
}

UpdateResult UpdateFetcher::Received(uint64_t contentLength, const UpdateUrl& url,
                                     const std::string& address) {
    if (contentLength == 0)
        return Failure("File <" + url.ObjectPath() + "> on server has zero size!");
    if (mode_ == UpdateMode::Installer)
        return InstallerReceived(contentLength, address);
    // A cut-off version text would compare as something it is not.
    if (version_.size() < std::min<uint64_t>(VersionBytes, contentLength))
        return DownloadError(address);
    UpdateResult result;
    result.publishedVersion = version_;
    return result;
}

UpdateResult UpdateFetcher::InstallerReceived(uint64_t contentLength, const std::string& address) {
    if (createFailed_) {
        platform::ShowMessage(u"Cannot create new file <" + platform::Utf8ToUtf16(file_->Path()) +
                                  u">!",
                              u"Error!", platform::MB_ICONERROR);
        return {};
    }
    if (writeFailed_)
        return Failure(file_->Error());
    if (contentLength > MaxInstallerSize || !file_ || file_->Length() != contentLength)
        return DownloadError(address);
    if (!file_->Keep())
        return Failure(file_->Error());
    UpdateResult result;
    result.installerPath = file_->Path();
    return result;
}

bool UpdateFetcher::Begin(long status, uint64_t contentLength) {
    if (status < 200 || status > 299 || contentLength == 0)
        return false;
    expected_ = contentLength;
    if (mode_ == UpdateMode::Information)
        return true;
    if (contentLength > MaxInstallerSize)
        return false;
    file_ = std::make_unique<UpdateDownloadFile>();
    createFailed_ = !file_->Create(InstallerFileName);
    return !createFailed_;
}

bool UpdateFetcher::Write(const char* data, size_t size) {
    if (mode_ == UpdateMode::Information) {
        size_t wanted = static_cast<size_t>(std::min<uint64_t>(VersionBytes, expected_));
        version_.append(data, std::min(size, wanted - version_.size()));
        return version_.size() < wanted;
    }
    if (size > expected_ - file_->Length())
        return false;
    writeFailed_ = !file_->Append(data, size);
    return !writeFailed_;
}

} // namespace viewer
