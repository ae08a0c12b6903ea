// Several processes hammer one hive: writers lose nothing, readers only ever see whole hives,
// and writers killed at random moments never leave a damaged one.
#include "platform/CodePage.h"
#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "tests/platform/ScopedEnvironment.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using platform::Hive;
using platform::RegistryHive;
using platform::RegistryValue;
namespace Registry = platform::Registry;
using testsupport::ScopedConfigHome;
using testsupport::ScopedEnvironment;

namespace {

std::u16string U16(const std::string& text) {
    return platform::Utf8ToUtf16(text);
}

// Each writer cycles through a few value names of its own key, so that the hive stays small
// and thousands of replaces stay quick, while every write leaves its own value.
constexpr int Slots = 10;

std::u16string WriterKey(const std::string& group, int writer) {
    return U16("Software\\Orvane\\Load\\" + group + "\\Writer" + std::to_string(writer));
}

std::u16string ValueName(int write) {
    return U16("v" + std::to_string(write));
}

uint32_t ValueOf(int writer, int write) {
    return static_cast<uint32_t>(writer * 100000 + write);
}

// Lock contention, not disk flushes, is what these tests are about: keep the hives in memory
// when the machine offers a memory file system, so that thousands of synced replaces stay quick.
const char* FastTemporaryFolder() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0
               ? "/dev/shm"
               : std::getenv("TMPDIR");
}

std::string ReadText(const std::string& path) {
    testsupport::Bytes bytes = testsupport::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Makes writes 0, 1, 2, ... to its own key and reports each one that SetValue confirmed as a
// 4-byte number on `acknowledged` (when not -1). Runs in a child process; never returns.
[[noreturn]] void RunWriter(const std::string& group, int writer, int writes, int start,
                            int acknowledged) {
    char go;
    (void)!read(start, &go, 1); // returns when the parent closes its end: all start together
    bool ok = true;
    for (int w = 0; w < writes; ++w) {
        bool written = Registry::SetValue(Hive::CurrentUser, WriterKey(group, writer),
                                          ValueName(w % Slots), ValueOf(writer, w));
        if (written && acknowledged >= 0)
            ok = write(acknowledged, &w, sizeof w) == static_cast<ssize_t>(sizeof w) && ok;
        ok = written && ok;
    }
    _exit(ok ? 0 : 1);
}

// What one look at the hive file found.
struct Snapshot {
    bool whole = false;    // parsed without a skipped line, ends with a line feed
    std::vector<int> done; // per writer: how many of its writes the hive shows
    bool exact = true;     // every writer's values are exactly those of its first `done` writes
};

// The writes a writer's values show, or -1 when they are not those of any prefix of its writes.
int WritesShown(const RegistryHive& hive, const std::u16string& key, int writer) {
    int last = -1;
    for (int slot = 0; slot < Slots; ++slot)
        if (const auto* value = hive.Find(key, ValueName(slot)))
            if (const auto* number = std::get_if<uint32_t>(value))
                last = std::max(last, static_cast<int>(*number) - writer * 100000);
    int done = last + 1;
    for (int slot = 0; slot < Slots; ++slot) {
        const RegistryValue* value = hive.Find(key, ValueName(slot));
        // The latest write below `done` that went to this slot, if any.
        int expected = slot < done ? done - 1 - (done - 1 - slot) % Slots : -1;
        bool right = expected < 0 ? value == nullptr
                                  : value && *value == RegistryValue(ValueOf(writer, expected));
        if (!right)
            return -1;
    }
    return hive.ValueNames(key).size() == static_cast<size_t>(std::min(done, Slots)) ? done : -1;
}

Snapshot Look(const std::string& text, const std::string& group, int writers) {
    Snapshot snapshot;
    RegistryHive hive = RegistryHive::Parse(text);
    snapshot.whole = hive.DamagedLines() == 0 && (text.empty() || text.back() == '\n');
    for (int p = 0; p < writers; ++p) {
        int done = WritesShown(hive, WriterKey(group, p), p);
        snapshot.exact = snapshot.exact && done >= 0;
        snapshot.done.push_back(done);
    }
    return snapshot;
}

// Forks a writer that starts when the parent closes its end of `start`. With
// `acknowledgement`, the read end of the writer's acknowledgement pipe is left there.
pid_t StartWriter(const std::string& group, int writer, int writes, const int start[2],
                  int* acknowledgement) {
    int ack[2] = {-1, -1};
    if (acknowledgement && pipe(ack) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        close(start[1]);
        if (ack[0] >= 0)
            close(ack[0]);
        RunWriter(group, writer, writes, start[0], ack[1]);
    }
    if (acknowledgement) {
        close(ack[1]);
        *acknowledgement = ack[0];
    }
    return pid;
}

std::vector<int> ReadAcknowledged(int fd) {
    std::vector<int> writes;
    int w = 0;
    while (read(fd, &w, sizeof w) == static_cast<ssize_t>(sizeof w))
        writes.push_back(w);
    close(fd);
    return writes;
}

} // namespace

TEST(RegistryLoad, EightWritersLoseNothingWhileReadersSeeWholeHives) {
    ScopedEnvironment fast({{"TMPDIR", FastTemporaryFolder()}});
    ScopedConfigHome home;
    constexpr int Writers = 8;
    constexpr int Writes = 500;
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < Writers; ++p) {
        children.push_back(StartWriter("Steady", p, Writes, start, nullptr));
        ASSERT_GT(children.back(), 0);
    }
    close(start[0]);
    close(start[1]);

    // The reader runs while the writers do. A lost update shows at once: each writer's values
    // must be exactly those of its first n writes, and n never goes back from one read to the
    // next.
    const std::string path = Registry::HiveFilePath(Hive::CurrentUser);
    std::vector<int> seen(Writers, 0);
    size_t reads = 0;
    size_t running = children.size();
    while (running > 0) {
        Snapshot now = Look(ReadText(path), "Steady", Writers);
        ++reads;
        EXPECT_TRUE(now.whole) << "read " << reads;
        EXPECT_TRUE(now.exact) << "read " << reads;
        for (int p = 0; p < Writers; ++p) {
            EXPECT_GE(now.done[p], seen[p]) << "writer " << p << ", read " << reads;
            seen[p] = std::max(seen[p], now.done[p]);
        }
        for (pid_t& child : children) {
            int status = 0;
            if (child > 0 && waitpid(child, &status, WNOHANG) == child) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                child = 0;
                --running;
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    EXPECT_GT(reads, 10u);

    Snapshot last = Look(ReadText(path), "Steady", Writers);
    EXPECT_TRUE(last.whole);
    EXPECT_TRUE(last.exact);
    EXPECT_EQ(last.done, std::vector<int>(Writers, Writes));
    // The public reading functions agree with the file.
    for (int p = 0; p < Writers; ++p)
        EXPECT_EQ(Registry::GetValue(Hive::CurrentUser, WriterKey("Steady", p),
                                     ValueName((Writes - 1) % Slots)),
                  RegistryValue(ValueOf(p, Writes - 1)));
}

TEST(RegistryLoad, WritersKilledAtRandomMomentsNeverLeaveADamagedHive) {
    ScopedEnvironment fast({{"TMPDIR", FastTemporaryFolder()}});
    ScopedConfigHome home;
    constexpr int Kills = 50;
    constexpr int Alive = 4;
    constexpr int Writes = 100000; // far more than a life lasts: every writer dies mid-way
    constexpr int FillerValues = 300;
    std::mt19937 random(20240611);
    const std::string path = Registry::HiveFilePath(Hive::CurrentUser);
    // A filler makes every replace take a while, so that kills often land inside one.
    ASSERT_TRUE(Registry::Transact(Hive::CurrentUser, [](RegistryHive& model) {
        for (int i = 0; i < FillerValues; ++i)
            model.SetValue(u"Software\\Orvane\\Filler", U16("f" + std::to_string(i)),
                           U16(std::string(40, 'x')));
        return true;
    }));

    // Writers run all the time; every few milliseconds a random one is killed and a new one
    // takes its place. Each writer (by its number) writes its own key.
    struct Writer {
        int number;
        pid_t pid;
        int acknowledgements;
    };
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    close(start[1]); // writers start at once
    std::vector<Writer> alive;
    int started = 0;
    auto startOne = [&] {
        Writer writer{started++, -1, -1};
        writer.pid = StartWriter("Rolling", writer.number, Writes, start, &writer.acknowledgements);
        alive.push_back(writer);
        return writer.pid > 0;
    };
    for (int i = 0; i < Alive; ++i)
        ASSERT_TRUE(startOne());

    size_t confirmedTotal = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 8000));
        size_t victim = random() % alive.size();
        Writer dead = alive[victim];
        alive.erase(alive.begin() + static_cast<std::ptrdiff_t>(victim));
        ::kill(dead.pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(dead.pid, &status, 0), dead.pid);
        std::vector<int> confirmed = ReadAcknowledged(dead.acknowledgements);
        confirmedTotal += confirmed.size();

        // Looked at while the other writers go on: whole, and nobody's writes lost.
        std::string text = ReadText(path);
        RegistryHive hive = RegistryHive::Parse(text);
        ASSERT_EQ(hive.DamagedLines(), 0u) << "kill " << kill << ":\n" << text.substr(0, 2000);
        ASSERT_TRUE(text.back() == '\n') << "kill " << kill;
        for (int number = 0; number < started; ++number)
            ASSERT_GE(WritesShown(hive, WriterKey("Rolling", number), number), 0)
                << "writer " << number << ", kill " << kill;
        // Every write the dead writer saw confirmed is there, whatever happened after it.
        if (!confirmed.empty()) {
            EXPECT_GT(WritesShown(hive, WriterKey("Rolling", dead.number), dead.number),
                      confirmed.back())
                << "kill " << kill;
        }
        EXPECT_EQ(hive.ValueNames(u"Software\\Orvane\\Filler").size(), size_t{FillerValues});
        ASSERT_TRUE(startOne());
    }
    for (const Writer& writer : alive) {
        ::kill(writer.pid, SIGKILL);
        waitpid(writer.pid, nullptr, 0);
        close(writer.acknowledgements);
    }
    close(start[0]);
    EXPECT_GT(confirmedTotal, size_t{Kills});
    // A writer killed while holding the lock did not leave it held.
    EXPECT_TRUE(Registry::SetValue(Hive::CurrentUser, u"Software\\Orvane\\After", u"", 1u));
    EXPECT_EQ(Registry::GetValue(Hive::CurrentUser, u"Software\\Orvane\\After", u""),
              RegistryValue(1u));
    size_t leftovers = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        leftovers += entry.path().extension() == ".tmp";
    RecordProperty("confirmed_writes", static_cast<int>(confirmedTotal));
    RecordProperty("temporary_files_left_by_killed_writers", static_cast<int>(leftovers));
}
