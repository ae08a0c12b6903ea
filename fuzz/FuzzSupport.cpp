#include "FuzzSupport.h"

#include "platform/CodePage.h"
#include "platform/FileError.h"
#include "platform/MessageBox.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace fuzz {
namespace {

class Folder {
  public:
    Folder() {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/sono-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        path_ = pattern;
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

} // namespace

void SilenceMessageBoxes() {
    platform::SetMessageBoxSink([](const std::u16string&, const std::u16string&, unsigned flags) {
        return platform::DefaultAnswer(flags);
    });
}

void OpenMemoryFile(platform::InputFile& file, const uint8_t* data, size_t size,
                    const std::string& name) {
    file.OpenMemory(std::vector<uint8_t>(data, data + size), name);
}

void RunAllowingFileErrors(const std::function<void()>& step) {
    try {
        step();
    } catch (const platform::FileError&) {
    } catch (const platform::ConversionError&) {
    }
}

const std::string& ScratchFolder() {
    static Folder folder;
    return folder.path();
}

} // namespace fuzz
