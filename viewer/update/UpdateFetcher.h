#pragma once
#include "viewer/update/UpdateRequest.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace viewer {

class UpdateDownloadFile;
class UpdateUrl;

enum class UpdateMode { Information = 0, Installer = 1 };

// The outcome of one fetch. An empty errorText with an empty installerPath in installer mode
// means the failure was already shown to the user.
struct UpdateResult {
    std::string publishedVersion; // information: the first bytes of the information file
    std::string installerPath;    // installer: the downloaded program
    std::u16string errorText;     // empty on success
};

// Fetches the update information file or the installer from the addresses in WIN.INI, following
// redirects itself up to a fixed limit.
class UpdateFetcher : private UpdateBodySink {
  public:
    static constexpr int MaxRedirects = 10;
    static constexpr uint64_t MaxInstallerSize = uint64_t(512) << 20;
    static constexpr size_t VersionBytes = 20;

    // The fetch ends soon after cancel becomes true.
    UpdateFetcher(UpdateMode mode, const std::atomic<bool>& cancel);
    ~UpdateFetcher() override;

    UpdateResult Fetch();
    UpdateResult Fetch(const std::u16string& address);

    // "Update Inf" or "Update EXE" of section "Settings" in WIN.INI, else the maker's address.
    static std::u16string ConfiguredAddress(UpdateMode mode);

  private:
    bool Begin(long status, uint64_t contentLength) override;
    bool Write(const char* data, size_t size) override;

    void Reset();
    UpdateResult Answer(const UpdateResponse& response, const UpdateUrl& url,
                        const std::string& address);
    UpdateResult Received(uint64_t contentLength, const UpdateUrl& url, const std::string& address);
    UpdateResult InstallerReceived(uint64_t contentLength, const std::string& address);

    UpdateMode mode_;
    const std::atomic<bool>& cancel_;
    std::string version_;
    std::unique_ptr<UpdateDownloadFile> file_;
    uint64_t expected_ = 0;
    bool createFailed_ = false;
    bool writeFailed_ = false;
};

} // namespace viewer
