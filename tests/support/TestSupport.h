#pragma once
#include "platform/MessageBox.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<uint8_t>;

// A private temporary folder, removed with everything in it at the end of the scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // Writes the bytes to a file in the folder and returns its full path.
    std::string Write(const std::string& name, const Bytes& bytes) const;
    std::string Write(const std::string& name, const std::string& text) const;

private:
    std::string path_;
};

// Points XDG_CONFIG_HOME at a private folder for the scope, so no test touches real settings,
// and XDG_DATA_HOME at its "data" subfolder, so no test writes a real desktop entry.
class ScopedConfigHome {
public:
    ScopedConfigHome();
    ~ScopedConfigHome();
    const std::string& path() const { return dir_.path(); }
    std::string dataPath() const { return dir_.path() + "/data"; }

private:
    TempDir dir_;
    std::string previous_;
    bool hadPrevious_ = false;
    std::string previousData_;
    bool hadPreviousData_ = false;
};

// Captures every message box shown in the scope instead of printing it.
class MessageBoxCapture {
public:
    struct Shown {
        std::u16string caption;
        std::u16string text;
        unsigned flags;
    };
    explicit MessageBoxCapture(int answer = platform::IDOK);
    ~MessageBoxCapture();
    const std::vector<Shown>& shown() const { return shown_; }

private:
    std::vector<Shown> shown_;
    platform::MessageBoxSink previous_;
};

Bytes ReadFileBytes(const std::string& path);
// Little-endian and big-endian appends for building fixtures in tests.
void PutLE(Bytes& out, uint64_t value, int bytes);
void PutBE(Bytes& out, uint64_t value, int bytes);
void PutText(Bytes& out, const std::string& text);
// Runs a command through the shell and returns its exit status and standard output.
int RunCommand(const std::string& command, std::string* output = nullptr);
std::string U8(const std::u16string& text);

} // namespace testsupport
