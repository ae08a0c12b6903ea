// The viewer's registration of the control at start, its removal at exit, and creation of the
// control while another viewer process removes the registration.
#include "viewer/ComponentRegistration.h"
#include "control/SonoprobeCtrlIds.h"
#include "platform/CodePage.h"
#include "platform/ComActivation.h"
#include "platform/Registry.h"
#include "tests/support/TestSupport.h"
#include "viewer/CSonoprobeCtrl.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace platform;
using viewer::ComponentRegistration;

namespace {

const std::string BinFolder = std::string(SONO_BIN_DIR) + "/";
const std::string Samples = std::string(SONO_SOURCE_DIR) + "/samples/";

class ComponentRegistrationTest : public ::testing::Test {
  protected:
    testsupport::ScopedConfigHome home;
    testsupport::MessageBoxCapture boxes;

    static void Dispcall(const std::string& arguments) {
        ASSERT_EQ(0, testsupport::RunCommand("'" + BinFolder + "dispcall' " + arguments));
    }
    static bool ClassKeyExists() {
        return Registry::KeyExists(Hive::ClassesRoot, ClassKey(control::CLSID_SonoprobeCtrl));
    }
};

} // namespace

TEST_F(ComponentRegistrationTest, UnregisteredControlIsRegisteredAndRemovedByTheSameProcess) {
    ComponentRegistration registration(BinFolder);
    registration.CheckRegistration();
    EXPECT_TRUE(registration.RegisteredAtStart());
    EXPECT_TRUE(ComponentRegistration::IsControlRegistered());
    EXPECT_TRUE(boxes.shown().empty());
    registration.UnregisterAtExit();
    EXPECT_FALSE(ClassKeyExists());
    EXPECT_FALSE(Registry::KeyExists(Hive::ClassesRoot, u"SONOPROBECTRL.SonoprobeCtrlCtrl.1"))
        << "the library's own unregistration ran too";
}

TEST_F(ComponentRegistrationTest, ControlRegisteredBeforehandIsLeftAlone) {
    Dispcall("--register '" + BinFolder + "libSonoprobeCtrl.so'");
    // A folder without the library: nothing is loaded from it.
    testsupport::TempDir empty;
    ComponentRegistration registration(empty.path() + "/");
    registration.CheckRegistration();
    EXPECT_FALSE(registration.RegisteredAtStart());
    EXPECT_TRUE(boxes.shown().empty());
    registration.UnregisterAtExit();
    EXPECT_TRUE(ClassKeyExists());
}

TEST_F(ComponentRegistrationTest, FailuresAreShownAndTheStartGoesOn) {
    const char* zlib = "/lib/x86_64-linux-gnu/libz.so.1";
    if (!std::filesystem::exists(zlib))
        GTEST_SKIP() << "no foreign library to stand in for the component";
    // A library of that name that is no component.
    testsupport::TempDir foreign;
    std::filesystem::copy_file(zlib, foreign.path() + "/libSonoprobeCtrl.so");
    ComponentRegistration withoutEntry(foreign.path() + "/");
    withoutEntry.CheckRegistration();

    // The component itself, with a registry that cannot be written.
    testsupport::TempDir blocked;
    setenv("XDG_CONFIG_HOME", blocked.Write("file", std::string("x")).c_str(), 1);
    ComponentRegistration unwritable(BinFolder);
    unwritable.CheckRegistration();

    ASSERT_EQ(2u, boxes.shown().size());
    EXPECT_EQ(u"Cannot find <DllRegisterServer>!", boxes.shown()[0].text);
    EXPECT_EQ(u"Cannot register Sonoprobe component!\nlibSonoprobeCtrl.so", boxes.shown()[1].text);
    for (const auto& box : boxes.shown()) {
        EXPECT_EQ(u"ERROR!", box.caption);
        EXPECT_EQ(unsigned{MB_OK | MB_ICONERROR}, box.flags);
    }
    EXPECT_FALSE(withoutEntry.RegisteredAtStart());
    EXPECT_FALSE(unwritable.RegisteredAtStart());
}

TEST_F(ComponentRegistrationTest, CreationRegistersAgainWhenAnotherProcessRemovedTheClass) {
    // Another viewer registered the control and is still running when this one starts.
    Dispcall("--register '" + BinFolder + "libSonoprobeCtrl.so'");
    ComponentRegistration registration(BinFolder);
    registration.CheckRegistration();
    ASSERT_FALSE(registration.RegisteredAtStart());
    // Then it ends and removes the registration, before this one creates its control.
    Dispcall("--unregister '" + BinFolder + "libSonoprobeCtrl.so'");
    ComPtr<IDispatch> direct;
    ASSERT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(control::CLSID_SonoprobeCtrl, nullptr,
                                                    IID_IDispatch, direct.ReceiveVoid()));

    ComPtr<IDispatch> control;
    ASSERT_EQ(S_OK, registration.CreateControl(control));
    EXPECT_TRUE(registration.RegisteredAtStart()) << "this process registered it now";
    viewer::CSonoprobeCtrl binding(control);
    binding.SetFilePath(platform::Utf8ToUtf16(Samples + "tone.ac3"));
    EXPECT_EQ(u"tone.ac3", binding.GetFileName());
    registration.UnregisterAtExit();
    EXPECT_FALSE(ClassKeyExists());
    EXPECT_TRUE(boxes.shown().empty());
}
