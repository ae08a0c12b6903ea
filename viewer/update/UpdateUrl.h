#pragma once
#include <memory>
#include <string>

struct Curl_URL;

namespace viewer {

// An http or https address of the update check, split into its parts by libcurl's URL parser.
class UpdateUrl {
  public:
    UpdateUrl();
    ~UpdateUrl();
    UpdateUrl(const UpdateUrl&) = delete;
    UpdateUrl& operator=(const UpdateUrl&) = delete;

    // Takes an absolute address, or one relative to the current address (a redirect target).
    // False, with the current address kept, when the text is no http or https address.
    bool Set(const std::string& text);

    std::string Text() const;
    std::string Host() const;
    // The path with the query, as the server is asked for it.
    std::string ObjectPath() const;

  private:
    std::string Part(int part) const;

    struct Free {
        void operator()(Curl_URL* url) const;
    };
    std::unique_ptr<Curl_URL, Free> url_;
};

} // namespace viewer
