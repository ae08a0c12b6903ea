#include "viewer/update/UpdateRequest.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <memory>
#include <mutex>
#include <type_traits>

namespace viewer {
namespace {

static_assert(std::is_same_v<curl_off_t, int64_t>);

constexpr long ConnectTimeoutSeconds = 30;
// A transfer slower than one byte per second for a minute has stalled; the automatic check
// must not keep its thread forever.
constexpr long StallSeconds = 60;

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

using CurlHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

} // namespace

UpdateResponse UpdateRequest::Get(const std::string& url, const std::string& referer,
                                  UpdateBodySink& sink) {
    InitLibrary();
    UpdateResponse response;
    CurlHandle curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) {
        response.transferError = "Cannot start a network transfer";
        return response;
    }
    char errors[CURL_ERROR_SIZE] = {};
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(h, CURLOPT_USERAGENT, "Sonoprobe");
    curl_easy_setopt(h, CURLOPT_REFERER, referer.c_str());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, ConnectTimeoutSeconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, StallSeconds);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errors);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &UpdateRequest::OnHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &UpdateRequest::OnBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &UpdateRequest::OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);

    curl_ = h;
    sink_ = &sink;
    headerLines_.clear();
    bodyStarted_ = false;
    stoppedBySink_ = false;
    CURLcode code = curl_easy_perform(h);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &response.status);
    curl_ = nullptr;
    sink_ = nullptr;

    response.answered = response.status != 0;
    if (std::optional<std::string> length = HeaderValue(headerLines_, "Content-Length"))
        response.contentLength = ParseLength(*length);
    response.location = HeaderValue(headerLines_, "Location");
    if (code != CURLE_OK && !stoppedBySink_)
        response.transferError = errors[0] ? errors : curl_easy_strerror(code);
    return response;
}

std::optional<std::string> UpdateRequest::HeaderValue(const std::vector<std::string>& lines,
                                                      const std::string& name) {
    for (const std::string& line : lines) {
        size_t colon = line.find(':');
        if (colon != std::string::npos && EqualNoCase(line.substr(0, colon), name))
            return Trim(line.substr(colon + 1));
    }
    return std::nullopt;
}

uint64_t UpdateRequest::ParseLength(const std::string& value) {
    uint64_t length = 0;
    std::errc error = std::from_chars(value.data(), value.data() + value.size(), length).ec;
    if (error == std::errc::result_out_of_range)
        return std::numeric_limits<uint64_t>::max();
    return error == std::errc() ? length : 0;
}

size_t UpdateRequest::OnHeader(char* data, size_t size, size_t count, void* self) {
    auto* request = static_cast<UpdateRequest*>(self);
    std::string line(data, size * count);
    // Every status line starts a new header block (interim answers, a proxy's CONNECT answer);
    // only the last block belongs to the final response.
    if (line.rfind("HTTP/", 0) == 0)
        request->headerLines_.clear();
    request->headerLines_.push_back(Trim(line));
    return size * count;
}

size_t UpdateRequest::OnBody(char* data, size_t size, size_t count, void* self) {
    auto* request = static_cast<UpdateRequest*>(self);
    size_t bytes = size * count;
    if (!request->bodyStarted_) {
        request->bodyStarted_ = true;
        long status = 0;
        curl_easy_getinfo(static_cast<CURL*>(request->curl_), CURLINFO_RESPONSE_CODE, &status);
        std::optional<std::string> length = HeaderValue(request->headerLines_, "Content-Length");
        if (!request->sink_->Begin(status, length ? ParseLength(*length) : 0))
            return request->Stop();
    }
    if (!request->sink_->Write(data, bytes))
        return request->Stop();
    return bytes;
}

int UpdateRequest::OnProgress(void* self, int64_t, int64_t, int64_t, int64_t) {
    return static_cast<UpdateRequest*>(self)->cancel_.load() ? 1 : 0;
}

size_t UpdateRequest::Stop() {
    stoppedBySink_ = true;
    return 0;
}

} // namespace viewer
