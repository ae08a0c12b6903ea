#pragma once
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace testsupport {

// A small HTTP server on 127.0.0.1 for the update check's tests. Each path answers with the raw
// bytes given (status line, headers, body exactly as written, so tests can send a wrong
// Content-Length), then the connection is closed. Requests are served one after another.
class UpdateTestServer {
  public:
    UpdateTestServer();
    ~UpdateTestServer();
    UpdateTestServer(const UpdateTestServer&) = delete;
    UpdateTestServer& operator=(const UpdateTestServer&) = delete;

    // "http://127.0.0.1:<port>" followed by the path.
    std::string Url(const std::string& path) const;
    void Serve(const std::string& path, const std::string& rawResponse);
    // Answers for the path wait until Release() (or the end of the server).
    void Hold(const std::string& path);
    void Release();
    // How often the path was asked for.
    int Hits(const std::string& path) const;

    // A response with a correct Content-Length.
    static std::string Response(int status, const std::string& body,
                                const std::string& extraHeaders = "");

  private:
    void Run();
    void Answer(int client);
    std::string ResponseFor(const std::string& path);

    int listener_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool isReleased_ = false;
    std::map<std::string, std::string> responses_;
    std::map<std::string, int> hits_;
    std::set<std::string> held_;
    std::thread thread_;
};

} // namespace testsupport
