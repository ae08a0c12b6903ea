#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace viewer {

// Receives the body of the final response of a request.
class UpdateBodySink {
  public:
    virtual ~UpdateBodySink() = default;
    // Called before the first body bytes; false leaves the body unread.
    virtual bool Begin(long status, uint64_t contentLength) = 0;
    // False ends the transfer.
    virtual bool Write(const char* data, size_t size) = 0;
};

// What came back for one request.
struct UpdateResponse {
    bool answered = false; // a status line arrived; status and headers are valid
    long status = 0;
    uint64_t contentLength = 0; // 0 when the header is missing
    std::optional<std::string> location;
    std::string transferError; // libcurl's message when the transfer failed
};

// One GET of the update check through libcurl. Redirects are not followed here (the caller
// follows them with its own limit); certificates are verified; only http and https are spoken.
class UpdateRequest {
  public:
    // The transfer ends soon after cancel becomes true.
    explicit UpdateRequest(const std::atomic<bool>& cancel) : cancel_(cancel) {}

    UpdateResponse Get(const std::string& url, const std::string& referer, UpdateBodySink& sink);

    // Header values of the last response block, names compared without case.
    static std::optional<std::string> HeaderValue(const std::vector<std::string>& lines,
                                                  const std::string& name);
    // The decimal value of a Content-Length header: 0 without digits, the largest value when it
    // does not fit.
    static uint64_t ParseLength(const std::string& value);

  private:
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static int OnProgress(void* self, int64_t, int64_t, int64_t, int64_t);
    // Ends the transfer on the sink's request; returns the count that tells libcurl so.
    size_t Stop();

    const std::atomic<bool>& cancel_;
    void* curl_ = nullptr;
    UpdateBodySink* sink_ = nullptr;
    std::vector<std::string> headerLines_;
    bool bodyStarted_ = false;
    bool stoppedBySink_ = false;
};

} // namespace viewer
