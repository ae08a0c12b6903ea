#include "tests/support/TestSupport.h"

#include "platform/CodePage.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>

namespace testsupport {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/sono-test-XXXXXX";
    if (!mkdtemp(templ.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = templ;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const {
    std::string full = path_ + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream out(full, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return full;
}

std::string TempDir::Write(const std::string& name, const std::string& text) const {
    return Write(name, Bytes(text.begin(), text.end()));
}

ScopedConfigHome::ScopedConfigHome() {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
        previous_ = old;
        hadPrevious_ = true;
    }
    setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
    if (const char* old = std::getenv("XDG_DATA_HOME")) {
        previousData_ = old;
        hadPreviousData_ = true;
    }
    setenv("XDG_DATA_HOME", dataPath().c_str(), 1);
}

ScopedConfigHome::~ScopedConfigHome() {
    if (hadPrevious_)
        setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    if (hadPreviousData_)
        setenv("XDG_DATA_HOME", previousData_.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

MessageBoxCapture::MessageBoxCapture(int answer) {
    previous_ = platform::SetMessageBoxSink(
        [this, answer](const std::u16string& caption, const std::u16string& text, unsigned flags) {
            shown_.push_back({caption, text, flags});
            return answer;
        });
}

MessageBoxCapture::~MessageBoxCapture() { platform::SetMessageBoxSink(previous_); }

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutLE(Bytes& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutBE(Bytes& out, uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutText(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

int RunCommand(const std::string& command, std::string* output) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    std::string text;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, got);
    int status = pclose(pipe);
    if (output)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string U8(const std::u16string& text) { return platform::Utf16ToUtf8(text); }

} // namespace testsupport
