#include "viewer/update/UpdateUrl.h"

#include <curl/curl.h>

namespace viewer {
namespace {

bool IsWebScheme(const std::string& scheme) {
    return scheme == "http" || scheme == "https";
}

} // namespace

void UpdateUrl::Free::operator()(Curl_URL* url) const {
    curl_url_cleanup(url);
}

UpdateUrl::UpdateUrl() : url_(curl_url()) {}

UpdateUrl::~UpdateUrl() = default;

bool UpdateUrl::Set(const std::string& text) {
    if (!url_ || text.empty())
        return false;
    // Parse into a copy, so a refused address leaves the current one as it was.
    std::unique_ptr<Curl_URL, Free> next(curl_url_dup(url_.get()));
    if (!next || curl_url_set(next.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK)
        return false;
    std::swap(url_, next);
    if (IsWebScheme(Part(CURLUPART_SCHEME)) && !Part(CURLUPART_HOST).empty())
        return true;
    std::swap(url_, next);
    return false;
}

std::string UpdateUrl::Text() const {
    return Part(CURLUPART_URL);
}

std::string UpdateUrl::Host() const {
    return Part(CURLUPART_HOST);
}

std::string UpdateUrl::ObjectPath() const {
    std::string query = Part(CURLUPART_QUERY);
    return Part(CURLUPART_PATH) + (query.empty() ? "" : "?" + query);
}

std::string UpdateUrl::Part(int part) const {
    char* value = nullptr;
    if (curl_url_get(url_.get(), static_cast<CURLUPart>(part), &value, 0) != CURLUE_OK)
        return {};
    std::string text(value);
    curl_free(value);
    return text;
}

} // namespace viewer
