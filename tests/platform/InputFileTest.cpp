#include "platform/InputFile.h"
#include "platform/FileError.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <unistd.h>

using platform::FileError;
using platform::InputFile;
using testsupport::Bytes;
using testsupport::TempDir;

namespace {

Bytes RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(random());
    return bytes;
}

// Replays a random pattern of seeks and reads and compares every byte with the content.
void CheckReadsMatch(InputFile& file, const Bytes& content, unsigned seed) {
    std::mt19937 random(seed);
    const int64_t length = static_cast<int64_t>(content.size());
    Bytes buffer;
    for (int step = 0; step < 3000; ++step) {
        switch (random() % 4) {
        case 0:
            file.Seek(static_cast<int64_t>(random() % (content.size() + 100)),
                      InputFile::Origin::Begin);
            break;
        case 1:
            file.Seek(-static_cast<int64_t>(random() % std::min<int64_t>(length, 5000)),
                      InputFile::Origin::End);
            break;
        default:
            if (static_cast<int64_t>(file.GetPosition()) > 20000)
                file.Seek(-static_cast<int64_t>(random() % 20000), InputFile::Origin::Current);
            break;
        }
        // Mostly the small reads of header parsing, sometimes more than the buffer holds.
        uint32_t count = random() % 10 == 0 ? random() % 200000 : random() % 300;
        uint64_t position = file.GetPosition();
        buffer.assign(count, 0xEE);
        uint32_t got = file.Read(buffer.data(), count);
        uint64_t expected =
            position >= content.size() ? 0 : std::min<uint64_t>(count, content.size() - position);
        ASSERT_EQ(got, expected) << "step " << step << " at " << position;
        ASSERT_TRUE(std::equal(buffer.begin(), buffer.begin() + got, content.begin() + position))
            << "step " << step << " at " << position;
        ASSERT_EQ(file.GetPosition(), position + got);
    }
}

} // namespace

// Sizes around the small and the large block, where the head block and a block at the end
// overlap or meet.
TEST(InputFile, BufferedReadsMatchTheFile) {
    TempDir dir;
    for (size_t size : {1, 100, 4095, 4096, 4097, 8191, 8192, 70000, 300000}) {
        SCOPED_TRACE(size);
        Bytes content = RandomBytes(size, static_cast<unsigned>(size));
        std::string path = dir.Write("data" + std::to_string(size) + ".bin", content);
        InputFile file;
        ASSERT_TRUE(file.Open(path));
        EXPECT_EQ(file.GetLength(), content.size());
        EXPECT_EQ(file.Path(), path);
        for (unsigned seed = 1; seed <= 3; ++seed)
            CheckReadsMatch(file, content, seed);
    }
    Bytes content = RandomBytes(300000, 1);

    InputFile memory;
    memory.OpenMemory(content);
    CheckReadsMatch(memory, content, 4);
}

TEST(InputFile, SeekBeforeTheStartThrows) {
    TempDir dir;
    InputFile file;
    ASSERT_TRUE(file.Open(dir.Write("small.bin", Bytes(100, 1))));
    file.Seek(10, InputFile::Origin::Begin);
    try {
        file.Seek(-128, InputFile::Origin::End);
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.errorNumber(), EINVAL);
        EXPECT_EQ(error.path(), dir.path() + "/small.bin");
    }
    EXPECT_EQ(file.GetPosition(), 10u);
    EXPECT_THROW(file.Seek(-11, InputFile::Origin::Current), FileError);
    EXPECT_THROW(file.Seek(INT64_MAX, InputFile::Origin::End), FileError);
    EXPECT_EQ(file.Seek(0, InputFile::Origin::Begin), 0u);
    EXPECT_EQ(file.Seek(1000, InputFile::Origin::Begin), 1000u); // past the end is allowed
    uint8_t byte = 0;
    EXPECT_EQ(file.Read(&byte, 1), 0u);
}

TEST(InputFile, RefusesFoldersMissingFilesAndExclusivelyHeldFiles) {
    TempDir dir;
    InputFile file;
    EXPECT_FALSE(file.Open(dir.path()));
    EXPECT_FALSE(file.Open(dir.path() + "/missing.mp3"));
    EXPECT_FALSE(file.IsOpen());

    std::string path = dir.Write("held.mp3", Bytes(10, 2));
    int writer = open(path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(flock(writer, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(file.Open(path));
    flock(writer, LOCK_UN);
    ASSERT_TRUE(file.Open(path));
    // While it is being analysed, a writer cannot take the file for itself.
    EXPECT_NE(flock(writer, LOCK_EX | LOCK_NB), 0);
    close(writer);

    file.Close();
    uint8_t byte = 0;
    try {
        file.Read(&byte, 1);
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.errorNumber(), EBADF);
    }
}
