#include "tests/viewer/UpdateTestServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {
namespace {

const char* StatusText(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 503:
        return "Service Unavailable";
    default:
        return "Other";
    }
}

void SendAll(int socket, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

bool LooksLikeGet(const std::string& head) {
    size_t n = std::min<size_t>(head.size(), 4);
    return head.compare(0, n, "GET ", n) == 0;
}

// The path of "GET <path> HTTP/1.1", after reading the whole request head. Anything that is no
// GET request (a TLS handshake, for one) is answered at once.
std::string ReadRequestPath(int socket) {
    std::string head;
    char chunk[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 &&
           LooksLikeGet(head)) {
        ssize_t n = recv(socket, chunk, sizeof chunk, 0);
        if (n <= 0)
            break;
        head.append(chunk, static_cast<size_t>(n));
    }
    size_t start = head.find(' ');
    size_t end = start == std::string::npos ? start : head.find(' ', start + 1);
    if (end == std::string::npos)
        return {};
    return head.substr(start + 1, end - start - 1);
}

} // namespace

UpdateTestServer::UpdateTestServer() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int pipeEnds[2];
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, 16) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot start the test server");
    port_ = ntohs(address.sin_port);
    wakeRead_ = pipeEnds[0];
    wakeWrite_ = pipeEnds[1];
    thread_ = std::thread([this] { Run(); });
}

UpdateTestServer::~UpdateTestServer() {
    Release();
    (void)!write(wakeWrite_, "x", 1);
    thread_.join();
    close(listener_);
    close(wakeRead_);
    close(wakeWrite_);
}

std::string UpdateTestServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void UpdateTestServer::Serve(const std::string& path, const std::string& rawResponse) {
    std::lock_guard lock(mutex_);
    responses_[path] = rawResponse;
}

void UpdateTestServer::Hold(const std::string& path) {
    std::lock_guard lock(mutex_);
    held_.insert(path);
    isReleased_ = false;
}

void UpdateTestServer::Release() {
    {
        std::lock_guard lock(mutex_);
        isReleased_ = true;
    }
    released_.notify_all();
}

int UpdateTestServer::Hits(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto found = hits_.find(path);
    return found == hits_.end() ? 0 : found->second;
}

std::string UpdateTestServer::Response(int status, const std::string& body,
                                       const std::string& extraHeaders) {
    return "HTTP/1.1 " + std::to_string(status) + " " + StatusText(status) +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + extraHeaders +
           "Connection: close\r\n\r\n" + body;
}

void UpdateTestServer::Run() {
    pollfd fds[2] = {{listener_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    while (poll(fds, 2, -1) > 0 && !(fds[1].revents & POLLIN)) {
        int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        Answer(client);
        close(client);
    }
}

void UpdateTestServer::Answer(int client) {
    SendAll(client, ResponseFor(ReadRequestPath(client)));
    shutdown(client, SHUT_WR);
}

std::string UpdateTestServer::ResponseFor(const std::string& path) {
    std::unique_lock lock(mutex_);
    ++hits_[path];
    if (held_.count(path))
        released_.wait(lock, [this] { return isReleased_; });
    auto found = responses_.find(path);
    if (found == responses_.end())
        return Response(500, "no such path in this test");
    return found->second;
}

} // namespace testsupport
