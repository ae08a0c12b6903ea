// A tag write that dies or fails at any point leaves either the old or the complete new file.
#include "control/ID3v2TagWriter.h"
#include "platform/FileError.h"
#include "tests/control/ID3v2WriterTestSupport.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace tagtest;
using namespace writertest;
using testsupport::MessageBoxCapture;
using testsupport::ReadFileBytes;
using testsupport::TempDir;

namespace {

// Removes the hook at the end of a scope.
struct ScopedCheckpointHook {
    explicit ScopedCheckpointHook(control::ID3v2WriteCheckpointHook hook) {
        control::SetID3v2WriteCheckpointHook(std::move(hook));
    }
    ~ScopedCheckpointHook() { control::SetID3v2WriteCheckpointHook({}); }
};

class ID3v2TagWriterCrashTest : public ::testing::Test {
  protected:
    // An old tag with a cover, audio of several copy blocks, an ID3v1 tag at the end.
    Bytes OldFile(size_t audioFrames = 40) const {
        return Cat({ID3v2Tag(3, Cat({TextFrame("TIT2", 0, Text("Old title"), SizeStyle::Plain),
                                     Frame("APIC", Bytes(700, 0x42), SizeStyle::Plain)})),
                    MpegAudio(audioFrames), ID3v1Tag("Old", "Old", "", "", "", 0)});
    }

    // The file that a complete write of the sample texts makes of the old one.
    Bytes NewFile(const Bytes& old) const {
        TempDir dir;
        const std::string path = dir.Write("a.mp3", old);
        EXPECT_TRUE(Write(path, SampleTexts()));
        return ReadFileBytes(path);
    }

    unsigned CheckpointCount(const Bytes& old) const {
        unsigned count = 0;
        ScopedCheckpointHook hook([&count](unsigned checkpoint) { count = checkpoint; });
        NewFile(old);
        return count;
    }

    // Runs the write in a child process that kills itself at the checkpoint; the exit
    // status of the child.
    int WriteDyingAt(const std::string& path, unsigned checkpoint) const {
        const pid_t child = ::fork();
        if (child == 0) {
            control::SetID3v2WriteCheckpointHook([checkpoint](unsigned reached) {
                if (reached == checkpoint)
                    ::raise(SIGKILL);
            });
            ::_exit(Write(path, SampleTexts()) ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return status;
    }

    // Entries that a killed write left behind beside the file: its temporary file at most.
    static void ExpectAtMostATemporaryFile(const std::string& folder) {
        std::vector<std::string> entries = FolderEntries(folder);
        std::erase(entries, "a.mp3");
        ASSERT_LE(entries.size(), 1u);
        for (const std::string& name : entries)
            EXPECT_EQ(0u, name.rfind(".a.mp3.", 0)) << name;
    }
};

TEST_F(ID3v2TagWriterCrashTest, AKillAtAnyCheckpointLeavesTheOldOrTheWholeNewFile) {
    const Bytes old = OldFile();
    const Bytes fresh = NewFile(old);
    const unsigned count = CheckpointCount(old);
    ASSERT_GE(count, 8u); // the temporary file, the tag, the copy blocks, the sync, the rename

    for (unsigned checkpoint = 1; checkpoint <= count; ++checkpoint) {
        SCOPED_TRACE("killed at checkpoint " + std::to_string(checkpoint));
        TempDir dir;
        const std::string path = dir.Write("a.mp3", old);
        const int status = WriteDyingAt(path, checkpoint);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        // Only the last checkpoint follows the replacement.
        EXPECT_EQ(checkpoint == count ? fresh : old, ReadFileBytes(path));
        ExpectAtMostATemporaryFile(dir.path());
        // What a crash leaves behind does not stand in the way of the next write.
        EXPECT_TRUE(Write(path, SampleTexts()));
        EXPECT_EQ(fresh, ReadFileBytes(path));
    }
}

TEST_F(ID3v2TagWriterCrashTest, AKillAtAnyMomentLeavesTheOldOrTheWholeNewFile) {
    const Bytes old = OldFile(600); // about 60 copy blocks with their pauses
    const Bytes fresh = NewFile(old);
    for (int attempt = 0; attempt < 12; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        TempDir dir;
        const std::string path = dir.Write("a.mp3", old);
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(Write(path, SampleTexts()) ? 0 : 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(attempt * 11));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const Bytes after = ReadFileBytes(path);
        EXPECT_TRUE(after == old || after == fresh);
        ExpectAtMostATemporaryFile(dir.path());
    }
}

TEST_F(ID3v2TagWriterCrashTest, AFileErrorAtAnyCheckpointIsReportedAndLeavesNothingBehind) {
    const Bytes old = OldFile(12);
    const unsigned count = CheckpointCount(old);
    // The last checkpoint follows the replacement, where no file error can strike any more.
    for (unsigned checkpoint = 1; checkpoint < count; ++checkpoint) {
        SCOPED_TRACE("failed at checkpoint " + std::to_string(checkpoint));
        TempDir dir;
        const std::string path = dir.Write("a.mp3", old);
        ScopedCheckpointHook hook([&](unsigned reached) {
            if (reached == checkpoint)
                throw platform::FileError(EIO, path, "Writing");
        });
        MessageBoxCapture boxes;
        EXPECT_FALSE(Write(path, SampleTexts()));
        EXPECT_EQ(old, ReadFileBytes(path));
        EXPECT_EQ(std::vector<std::string>{"a.mp3"}, FolderEntries(dir.path()));
        ASSERT_EQ(1u, boxes.shown().size());
        EXPECT_EQ(u"Error!", boxes.shown()[0].caption);
        EXPECT_EQ(u"Input/output error", boxes.shown()[0].text);
        EXPECT_EQ(unsigned{platform::MB_OK | platform::MB_ICONERROR}, boxes.shown()[0].flags);
    }
}

// A file system of its own, too small for a second copy of the file.
class SmallFileSystem {
  public:
    explicit SmallFileSystem(const std::string& folder) : folder_(folder) {
        std::filesystem::create_directory(folder_);
        mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=256k") == 0;
        error_ = errno;
    }
    ~SmallFileSystem() {
        if (mounted_)
            ::umount2(folder_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    int error() const { return error_; }

  private:
    std::string folder_;
    bool mounted_ = false;
    int error_ = 0;
};

TEST_F(ID3v2TagWriterCrashTest, AFullDiskLeavesTheOriginalAndNoTemporaryFile) {
    TempDir dir;
    SmallFileSystem disk(dir.path() + "/disk");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here: " << std::strerror(disk.error());
    const Bytes old = OldFile(400); // about 170 KB: the second copy does not fit
    const std::string path = dir.path() + "/disk/a.mp3";
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(nullptr, file);
        ASSERT_EQ(old.size(), std::fwrite(old.data(), 1, old.size(), file));
        ASSERT_EQ(0, std::fclose(file));
    }
    MessageBoxCapture boxes;
    EXPECT_FALSE(Write(path, SampleTexts()));
    EXPECT_EQ(old, ReadFileBytes(path));
    EXPECT_EQ(std::vector<std::string>{"a.mp3"}, FolderEntries(dir.path() + "/disk"));
    ASSERT_EQ(1u, boxes.shown().size());
    EXPECT_EQ(u"No space left on device", boxes.shown()[0].text);
}

} // namespace
