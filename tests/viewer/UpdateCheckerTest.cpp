#include "viewer/update/UpdateChecker.h"
#include "platform/CodePage.h"
#include "platform/Profile.h"
#include "tests/support/TestSupport.h"
#include "tests/viewer/UpdateTestServer.h"
#include "viewer/ViewerSettings.h"
#include "viewer/update/UpdateWindow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using platform::Utf8ToUtf16;
using testsupport::MessageBoxCapture;
using testsupport::U8;
using testsupport::UpdateTestServer;

namespace {

const std::u16string Question = u"New version of Sonoprobe is ready. Download and install it?";
const std::u16string LastVersion = u"The last version of Sonoprobe is installed.";
const std::u16string InfoError = u"Check for update - error!";
const std::u16string SetupError = u"Error downloading update!";

// The viewer's window as the check sees it: posted calls wait in a queue until the test runs
// them, as window messages wait for the dialog's message loop.
class FakeWindow : public viewer::UpdateWindow {
  public:
    void PostToWindow(std::function<void()> call) override {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(call));
        }
        posted_.notify_all();
    }
    void ShowWait(bool waitWindow) override { waits.push_back(waitWindow); }
    void HideWait() override { ++hides; }
    void CloseViewer() override { closed = true; }

    // Waits for the next posted call and runs it; false when none arrives.
    bool RunNext() {
        std::function<void()> call;
        {
            std::unique_lock lock(mutex_);
            if (!posted_.wait_for(lock, std::chrono::seconds(60), [&] { return !queue_.empty(); }))
                return false;
            call = std::move(queue_.front());
            queue_.pop_front();
        }
        call();
        return true;
    }
    // Runs posted calls until the queue is empty, as the message loop would.
    void RunAll() {
        while (Pending() > 0)
            RunNext();
    }
    size_t Pending() {
        std::lock_guard lock(mutex_);
        return queue_.size();
    }

    std::vector<bool> waits;
    int hides = 0;
    bool closed = false;

  private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> queue_;
};

struct Box {
    std::u16string caption, text;
};

std::vector<Box> Boxes(const MessageBoxCapture& capture) {
    std::vector<Box> boxes;
    for (const auto& shown : capture.shown())
        boxes.push_back({shown.caption, shown.text});
    return boxes;
}

std::string Describe(const std::vector<Box>& boxes) {
    std::string text;
    for (const Box& box : boxes)
        text += "[" + U8(box.caption) + ": " + U8(box.text) + "] ";
    return text;
}

std::string Raw(const std::string& head, const std::string& body = "") {
    return head + "Connection: close\r\n\r\n" + body;
}

// A port on 127.0.0.1 that nothing listens on.
int ClosedPort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}

class UpdateCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Nothing here may leave the machine, whatever proxy the environment names.
        setenv("no_proxy", "*", 1);
        setenv("NO_PROXY", "*", 1);
        viewer::ViewerSettings::SetIniPath(config_.path() + "/Sonoprobe.ini");
        previousTmp_ = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        setenv("TMPDIR", tmp_.path().c_str(), 1);
    }
    void TearDown() override {
        viewer::ViewerSettings::SetIniPath("");
        if (previousTmp_.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", previousTmp_.c_str(), 1);
    }

    void SetAddresses(const std::string& information, const std::string& installer = "") {
        platform::WritePrivateProfileString(u"Settings", u"Update Inf", Utf8ToUtf16(information),
                                            platform::WinIniPath());
        platform::WritePrivateProfileString(u"Settings", u"Update EXE", Utf8ToUtf16(installer),
                                            platform::WinIniPath());
    }

    // Runs a whole check, manual or automatic, and returns the message boxes it showed.
    std::vector<Box> RunCheck(bool manual, int answer = platform::IDNO) {
        MessageBoxCapture capture(answer);
        viewer::UpdateChecker checker(window_, u"1.0.3");
        if (manual) {
            EXPECT_TRUE(checker.CheckNow());
        } else {
            EXPECT_TRUE(checker.StartAutomaticCheck());
            EXPECT_TRUE(window_.RunNext());
        }
        window_.RunAll();
        return Boxes(capture);
    }

    std::vector<std::string> TemporaryEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(tmp_.path()))
            names.push_back(entry.path().string());
        return names;
    }

    testsupport::ScopedConfigHome config_;
    testsupport::TempDir tmp_;
    std::string previousTmp_;
    UpdateTestServer server_;
    FakeWindow window_;
};

TEST_F(UpdateCheckTest, ManualCheckReportsEveryOutcome) {
    std::string head200 = "HTTP/1.1 200 OK\r\n";
    server_.Serve("/equal.inf", UpdateTestServer::Response(200, "1.0.3"));
    server_.Serve("/older.inf", UpdateTestServer::Response(200, "1.0.2"));
    server_.Serve("/crlf.inf", UpdateTestServer::Response(200, "1.0.3\r\n"));
    server_.Serve("/ten.inf", UpdateTestServer::Response(200, "1.0.10"));
    server_.Serve("/newer.inf", UpdateTestServer::Response(200, "1.0.4"));
    server_.Serve("/minor.inf", UpdateTestServer::Response(200, "1.1"));
    server_.Serve("/missing.inf", UpdateTestServer::Response(404, "gone"));
    server_.Serve("/busy.inf", UpdateTestServer::Response(503, ""));
    server_.Serve("/secret.inf", UpdateTestServer::Response(401, ""));
    server_.Serve("/broken.inf", UpdateTestServer::Response(500, "oops"));
    server_.Serve("/nolength.inf", Raw(head200, "1.0.4"));
    server_.Serve("/zero.inf", Raw(head200 + "Content-Length: 0\r\n"));
    // Cut off after "1.0": read as a version it would be newer than 1.0.3.
    server_.Serve("/short.inf", Raw(head200 + "Content-Length: 5\r\n", "1.0"));
    server_.Serve("/301.inf", Raw("HTTP/1.1 301 Moved Permanently\r\nContent-Length: 0\r\n"));
    server_.Serve("/302.inf", Raw("HTTP/1.1 302 Found\r\nContent-Length: 0\r\n"
                                  "Location: " +
                                  server_.Url("/equal.inf") + "\r\n"));
    server_.Serve("/303.inf", Raw("HTTP/1.1 303 See Other\r\nContent-Length: 0\r\n"
                                  "location: newer.inf\r\n"));
    server_.Serve("/to-ftp.inf", Raw("HTTP/1.1 302 Found\r\nContent-Length: 0\r\n"
                                     "Location: ftp://127.0.0.1/x.inf\r\n"));

    struct Case {
        std::string address;
        std::u16string caption, text;
    } cases[] = {
        {"/equal.inf", u"Update", LastVersion},
        {"/older.inf", u"Update", LastVersion},
        {"/crlf.inf", u"Update", LastVersion},
        {"/ten.inf", u"Update", LastVersion},
        {"/newer.inf", u"Check for update", Question},
        {"/minor.inf", u"Check for update", Question},
        {"/missing.inf", InfoError, u"File </missing.inf> not found on the server 127.0.0.1!"},
        {"/busy.inf", InfoError, u"Error: Server overloaded! Please try later..."},
        {"/secret.inf", InfoError, u"Access denied: Invalid password!"},
        {"/broken.inf", InfoError,
         u"Error downloading file\n<" + Utf8ToUtf16(server_.Url("/broken.inf")) + u">!"},
        {"/nolength.inf", InfoError, u"File </nolength.inf> on server has zero size!"},
        {"/zero.inf", InfoError, u"File </zero.inf> on server has zero size!"},
        {"/short.inf", InfoError,
         u"Error downloading file\n<" + Utf8ToUtf16(server_.Url("/short.inf")) + u">!"},
        {"/301.inf", InfoError, u"Error: Site redirects with no new location"},
        {"/302.inf", u"Update", LastVersion},
        {"/303.inf", u"Check for update", Question}, // relative target, header name in lower case
        {"/to-ftp.inf", InfoError, u"URL <ftp://127.0.0.1/x.inf> is not valid!"},
        {"no address", InfoError, u"URL <no address> is not valid!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        SetAddresses(c.address[0] == '/' ? server_.Url(c.address) : c.address);
        std::vector<Box> boxes = RunCheck(true);
        ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
        EXPECT_EQ(U8(c.caption), U8(boxes[0].caption));
        EXPECT_EQ(U8(c.text), U8(boxes[0].text));
    }
    EXPECT_EQ(std::vector<bool>(std::size(cases), false), window_.waits);
    EXPECT_EQ(static_cast<int>(std::size(cases)), window_.hides);
}

TEST_F(UpdateCheckTest, RedirectChainEndsAfterTenSteps) {
    for (int i = 0; i < 10; ++i)
        server_.Serve("/hop" + std::to_string(i),
                      Raw("HTTP/1.1 302 Found\r\nContent-Length: 0\r\nLocation: /hop" +
                          std::to_string(i + 1) + "\r\n"));
    server_.Serve("/hop10", UpdateTestServer::Response(200, "1.0.3"));
    server_.Serve("/loop", Raw("HTTP/1.1 301 Moved\r\nContent-Length: 0\r\nLocation: /loop\r\n"));

    SetAddresses(server_.Url("/hop0"));
    std::vector<Box> boxes = RunCheck(true);
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    EXPECT_EQ(U8(LastVersion), U8(boxes[0].text));

    SetAddresses(server_.Url("/loop"));
    boxes = RunCheck(true);
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    EXPECT_EQ("Error: Site redirects with no new location", U8(boxes[0].text));
    EXPECT_EQ(11, server_.Hits("/loop"));
}

TEST_F(UpdateCheckTest, AutomaticCheckIsSilentUnlessNewer) {
    server_.Serve("/equal.inf", UpdateTestServer::Response(200, "1.0.3"));
    server_.Serve("/newer.inf", UpdateTestServer::Response(200, "1.0.4"));
    server_.Serve("/missing.inf", UpdateTestServer::Response(404, ""));
    server_.Serve("/zero.inf", UpdateTestServer::Response(200, ""));
    std::string unreachable = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x.inf";
    struct Case {
        std::string address;
        bool asks;
    } cases[] = {
        {server_.Url("/equal.inf"), false}, {server_.Url("/missing.inf"), false},
        {server_.Url("/zero.inf"), false},  {unreachable, false},
        {server_.Url("/newer.inf"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        SetAddresses(c.address);
        std::vector<Box> boxes = RunCheck(false);
        ASSERT_EQ(c.asks ? 1u : 0u, boxes.size()) << Describe(boxes);
        if (c.asks) {
            EXPECT_EQ(U8(Question), U8(boxes[0].text));
        }
    }
    EXPECT_TRUE(window_.waits.empty());
}

TEST_F(UpdateCheckTest, UnreachableServerReportedOnlyToManualCheck) {
    SetAddresses("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x.inf");
    std::vector<Box> boxes = RunCheck(true);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(U8(InfoError), U8(boxes[0].caption));
    EXPECT_FALSE(boxes[0].text.empty());
}

TEST_F(UpdateCheckTest, HttpsAddressIsSpokenWithTls) {
    // The plain HTTP server cannot answer a TLS handshake: the check must fail, not fall back.
    server_.Serve("/equal.inf", UpdateTestServer::Response(200, "1.0.3"));
    std::string address = server_.Url("/equal.inf");
    SetAddresses("https" + address.substr(4));
    std::vector<Box> boxes = RunCheck(true);
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    EXPECT_EQ(U8(InfoError), U8(boxes[0].caption));
    EXPECT_EQ(0, server_.Hits("/equal.inf"));
}

TEST_F(UpdateCheckTest, ManualCheckRefusedWhileAutomaticRuns) {
    server_.Serve("/slow.inf", UpdateTestServer::Response(200, "1.0.3"));
    server_.Hold("/slow.inf");
    SetAddresses(server_.Url("/slow.inf"));
    MessageBoxCapture capture(platform::IDNO);
    viewer::UpdateChecker checker(window_, u"1.0.3");
    ASSERT_TRUE(checker.StartAutomaticCheck());
    EXPECT_FALSE(checker.CheckNow());
    EXPECT_FALSE(checker.StartAutomaticCheck());
    EXPECT_TRUE(window_.waits.empty());
    server_.Release();
    ASSERT_TRUE(window_.RunNext());
    EXPECT_TRUE(capture.shown().empty());
    EXPECT_EQ(1, server_.Hits("/slow.inf"));

    // Once the automatic result is handled, the menu works again and reports its own outcome.
    EXPECT_TRUE(checker.CheckNow());
    window_.RunAll();
    ASSERT_EQ(1u, capture.shown().size());
    EXPECT_EQ(U8(LastVersion), U8(capture.shown()[0].text));
}

TEST_F(UpdateCheckTest, ClosingTheWindowEndsAnAutomaticCheck) {
    server_.Serve("/slow.inf", UpdateTestServer::Response(200, "1.0.4"));
    server_.Hold("/slow.inf");
    SetAddresses(server_.Url("/slow.inf"));
    MessageBoxCapture capture(platform::IDYES);
    {
        viewer::UpdateChecker checker(window_, u"1.0.3");
        ASSERT_TRUE(checker.StartAutomaticCheck());
        while (server_.Hits("/slow.inf") == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // A result queued before the checker went away must do nothing when it arrives.
    window_.RunAll();
    EXPECT_TRUE(capture.shown().empty());
    EXPECT_FALSE(window_.closed);
}

TEST_F(UpdateCheckTest, AutoCheckSetting) {
    server_.Serve("/equal.inf", UpdateTestServer::Response(200, "1.0.3"));
    SetAddresses(server_.Url("/equal.inf"));
    viewer::UpdateChecker checker(window_, u"1.0.3");

    viewer::ViewerSettings::WriteIntSetting(u"AutoCheckUpdate", 2);
    EXPECT_FALSE(viewer::UpdateChecker::AutoCheckEnabled());
    EXPECT_FALSE(checker.StartAutomaticCheckIfEnabled());
    EXPECT_FALSE(viewer::UpdateChecker::ToggleAutoCheck()); // it was not 0: written 0
    EXPECT_EQ(0, viewer::ViewerSettings::ReadIntSetting(u"AutoCheckUpdate", -1));
    EXPECT_TRUE(viewer::UpdateChecker::ToggleAutoCheck());
    EXPECT_EQ(1, viewer::ViewerSettings::ReadIntSetting(u"AutoCheckUpdate", -1));
    EXPECT_EQ(0, server_.Hits("/equal.inf"));

    ASSERT_TRUE(checker.StartAutomaticCheckIfEnabled());
    ASSERT_TRUE(window_.RunNext());
    EXPECT_EQ(1, server_.Hits("/equal.inf"));
}

// The mark appears only once complete: the test reads it as soon as it exists.
std::string Script(const std::string& mark) {
    return "#!/bin/sh\nprintf '%s' \"$0\" > '" + mark + ".part' && mv '" + mark + ".part' '" +
           mark + "'\n";
}

bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 1200 && !std::filesystem::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return std::filesystem::exists(path);
}

TEST_F(UpdateCheckTest, InstallerDownloadedStartedAndViewerClosed) {
    testsupport::TempDir marks;
    std::string mark = marks.path() + "/installer-ran";
    server_.Serve("/Sonoprobe.inf", UpdateTestServer::Response(200, "1.0.4"));
    server_.Serve("/moved.exe", Raw("HTTP/1.1 303 See Other\r\nContent-Length: 0\r\n"
                                    "Location: /SonoprobeSetup.exe\r\n"));
    server_.Serve("/SonoprobeSetup.exe", UpdateTestServer::Response(200, Script(mark)));
    SetAddresses(server_.Url("/Sonoprobe.inf"), server_.Url("/moved.exe"));

    std::vector<Box> boxes = RunCheck(true, platform::IDYES);
    ASSERT_EQ(1u, boxes.size()) << Describe(boxes);
    EXPECT_EQ(U8(Question), U8(boxes[0].text));
    EXPECT_EQ((std::vector<bool>{false, true}), window_.waits);
    EXPECT_EQ(2, window_.hides);
    EXPECT_TRUE(window_.closed);

    std::u16string deleteSetup = viewer::ViewerSettings::ReadStringSetting(u"DeleteSetup", u"");
    ASSERT_GE(deleteSetup.size(), 2u);
    ASSERT_EQ(u'"', deleteSetup.front());
    ASSERT_EQ(u'"', deleteSetup.back());
    std::string installer = U8(deleteSetup.substr(1, deleteSetup.size() - 2));
    std::filesystem::path folder = std::filesystem::path(installer).parent_path();
    EXPECT_EQ(std::filesystem::path(tmp_.path()), folder.parent_path());
    EXPECT_EQ("SonoprobeSetup.exe", std::filesystem::path(installer).filename());

    ASSERT_TRUE(WaitForFile(mark));
    testsupport::Bytes ran = testsupport::ReadFileBytes(mark);
    EXPECT_EQ(installer, std::string(ran.begin(), ran.end())); // started as itself, no shell
    waitpid(-1, nullptr, 0);

    struct stat info {};
    ASSERT_EQ(0, stat(folder.c_str(), &info));
    EXPECT_EQ(0700u, info.st_mode & 07777);
    ASSERT_EQ(0, stat(installer.c_str(), &info));
    EXPECT_EQ(0700u, info.st_mode & 07777);
    EXPECT_EQ(static_cast<off_t>(Script(mark).size()), info.st_size);
}

TEST_F(UpdateCheckTest, InstallerThatCannotStartKeepsTheViewerOpen) {
    server_.Serve("/Sonoprobe.inf", UpdateTestServer::Response(200, "1.0.4"));
    server_.Serve("/SonoprobeSetup.exe", UpdateTestServer::Response(200, "no program at all\n"));
    SetAddresses(server_.Url("/Sonoprobe.inf"), server_.Url("/SonoprobeSetup.exe"));
    std::vector<Box> boxes = RunCheck(false, platform::IDYES);
    ASSERT_EQ(2u, boxes.size()) << Describe(boxes);
    EXPECT_EQ("Error!", U8(boxes[1].caption));
    EXPECT_EQ(0u, U8(boxes[1].text).find("Cannot start <" + tmp_.path() + "/")) << Describe(boxes);
    EXPECT_FALSE(window_.closed);
}

TEST_F(UpdateCheckTest, FailedInstallerDownloadLeavesNothing) {
    std::string head200 = "HTTP/1.1 200 OK\r\n";
    server_.Serve("/Sonoprobe.inf", UpdateTestServer::Response(200, "1.0.4"));
    server_.Serve("/short.exe", Raw(head200 + "Content-Length: 1000\r\n", "#!/bin/sh\n"));
    server_.Serve("/huge.exe", Raw(head200 + "Content-Length: 536870913\r\n", "#!/bin/sh\n"));
    server_.Serve("/nolength.exe", Raw(head200, "#!/bin/sh\n"));
    server_.Serve("/missing.exe", UpdateTestServer::Response(404, ""));
    struct Case {
        std::string path;
        std::u16string text;
    } cases[] = {
        {"/short.exe",
         u"Error downloading file\n<" + Utf8ToUtf16(server_.Url("/short.exe")) + u">!"},
        {"/huge.exe", u"Error downloading file\n<" + Utf8ToUtf16(server_.Url("/huge.exe")) + u">!"},
        {"/nolength.exe", u"File </nolength.exe> on server has zero size!"},
        {"/missing.exe", u"File </missing.exe> not found on the server 127.0.0.1!"},
    };
    for (const Case& c : cases) {
        for (bool manual : {true, false}) {
            SCOPED_TRACE(c.path + (manual ? " manual" : " automatic"));
            SetAddresses(server_.Url("/Sonoprobe.inf"), server_.Url(c.path));
            std::vector<Box> boxes = RunCheck(manual, platform::IDYES);
            ASSERT_EQ(manual ? 2u : 1u, boxes.size()) << Describe(boxes);
            EXPECT_EQ(U8(Question), U8(boxes[0].text));
            if (manual) {
                EXPECT_EQ(U8(SetupError), U8(boxes[1].caption));
                EXPECT_EQ(U8(c.text), U8(boxes[1].text));
            }
            EXPECT_TRUE(TemporaryEntries().empty());
        }
    }
    EXPECT_FALSE(window_.closed);
    EXPECT_EQ(u"", viewer::ViewerSettings::ReadStringSetting(u"DeleteSetup", u""));
}

TEST_F(UpdateCheckTest, InstallerFileThatCannotBeCreatedIsAlwaysReported) {
    server_.Serve("/Sonoprobe.inf", UpdateTestServer::Response(200, "1.0.4"));
    server_.Serve("/SonoprobeSetup.exe", UpdateTestServer::Response(200, "#!/bin/sh\n"));
    SetAddresses(server_.Url("/Sonoprobe.inf"), server_.Url("/SonoprobeSetup.exe"));
    std::string absent = tmp_.path() + "/absent";
    setenv("TMPDIR", absent.c_str(), 1);
    for (bool manual : {true, false}) {
        SCOPED_TRACE(manual ? "manual" : "automatic");
        std::vector<Box> boxes = RunCheck(manual, platform::IDYES);
        ASSERT_EQ(2u, boxes.size()) << Describe(boxes);
        EXPECT_EQ("Error!", U8(boxes[1].caption));
        std::string text = U8(boxes[1].text);
        EXPECT_EQ(0u, text.find("Cannot create new file <" + absent + "/")) << text;
        EXPECT_NE(std::string::npos, text.find("/SonoprobeSetup.exe>!")) << text;
    }
    EXPECT_FALSE(window_.closed);
}

} // namespace
