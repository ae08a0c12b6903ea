// libSonoprobeCtrl.so as its clients see it: registered and unregistered by dispcall, created
// by ProgID or class identifier through the registry, called late-bound.
#include "control/SonoprobeCtrlIds.h"
#include "platform/CodePage.h"
#include "platform/ComActivation.h"
#include "platform/ComPtr.h"
#include "platform/DynamicLibrary.h"
#include "platform/Registry.h"
#include "platform/ScopedVariant.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace platform;
using testsupport::U8;

namespace {

const std::string BinDir = SONO_BIN_DIR;
const std::string Library = BinDir + "/libSonoprobeCtrl.so";
const std::string Samples = std::string(SONO_SOURCE_DIR) + "/samples/";
const std::u16string ClassKeyText = ClassKey(control::CLSID_SonoprobeCtrl);

class ComponentLibraryTest : public ::testing::Test {
  protected:
    testsupport::ScopedConfigHome home;
    testsupport::TempDir dir;

    // Runs dispcall; returns its exit status, standard output and standard error.
    int Dispcall(const std::string& arguments, std::string* out = nullptr,
                 std::string* err = nullptr) {
        const std::string errFile = dir.path() + "/dispcall.err";
        int status = testsupport::RunCommand(
            "'" + BinDir + "/dispcall' " + arguments + " 2>'" + errFile + "'", out);
        if (err) {
            testsupport::Bytes bytes = testsupport::ReadFileBytes(errFile);
            err->assign(bytes.begin(), bytes.end());
        }
        return status;
    }

    std::u16string Value(const std::u16string& key, const std::u16string& name = u"") {
        auto value = Registry::GetValue(Hive::ClassesRoot, key, name);
        return value && std::holds_alternative<std::u16string>(*value)
                   ? std::get<std::u16string>(*value)
                   : u"<none>";
    }
};

} // namespace

TEST_F(ComponentLibraryTest, RegisteringTwiceSucceedsAndWritesTheEntriesOfTheClasses) {
    ASSERT_EQ(0, Dispcall("--register '" + Library + "'"));
    ASSERT_EQ(0, Dispcall("--register '" + Library + "'"));
    const std::u16string path = Utf8ToUtf16(std::filesystem::canonical(Library).string());
    const std::u16string libid = u"{59DC7E1D-7C02-40FC-88B5-DDECD68ADBE0}";
    struct Case {
        std::u16string key;
        std::u16string name;
        std::u16string value;
    } cases[] = {
        {ClassKeyText, u"", u"Orvane Sonoprobe Control"},
        {ClassKeyText + u"\\InprocServer32", u"", path},
        {ClassKeyText + u"\\InprocServer32", u"ThreadingModel", u"Apartment"},
        {ClassKeyText + u"\\ProgID", u"", u"SONOPROBECTRL.SonoprobeCtrlCtrl.1"},
        {ClassKeyText + u"\\MiscStatus\\1", u"", u"132497"},
        {ClassKeyText + u"\\TypeLib", u"", libid},
        {ClassKeyText + u"\\Version", u"", u"1.0"},
        {ClassKeyText + u"\\ToolboxBitmap32", u"", path + u", 1"},
        {u"SONOPROBECTRL.SonoprobeCtrlCtrl.1\\CLSID", u"",
         GuidToString(control::CLSID_SonoprobeCtrl)},
        {ClassKey(control::CLSID_SonoprobeCtrlPropPage), u"", u"Orvane Sonoprobe Property Page"},
        {u"SONOPROBECTRL.SonoprobeCtrlPropPage.1\\CLSID", u"",
         GuidToString(control::CLSID_SonoprobeCtrlPropPage)},
        {u"TypeLib\\" + libid + u"\\1.0", u"", u"Orvane Sonoprobe ActiveX Control module"},
        {u"TypeLib\\" + libid + u"\\1.0\\0\\linux", u"", path},
        {u"Interface\\{D5418767-244A-4268-884B-ED71AFC6DE60}", u"", u"_DSonoprobeCtrl"},
        {u"Interface\\{D5418767-244A-4268-884B-ED71AFC6DE60}\\TypeLib", u"Version", u"1.0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(U8(c.value), U8(Value(c.key, c.name))) << U8(c.key) << " " << U8(c.name);
    EXPECT_TRUE(Registry::KeyExists(Hive::ClassesRoot, ClassKeyText + u"\\Control"));
    EXPECT_TRUE(Registry::KeyExists(Hive::ClassesRoot, ClassKeyText + u"\\Insertable"));
}

TEST_F(ComponentLibraryTest, TheProgIdCreatesTheControlOnlyWhileRegistered) {
    std::string out, err;
    EXPECT_EQ(1, Dispcall("SONOPROBECTRL.SonoprobeCtrlCtrl.1 call GetResult", &out, &err));
    EXPECT_NE(std::string::npos, err.find("0x800401F3")) << err;

    ASSERT_EQ(0, Dispcall("--register '" + Library + "'"));
    EXPECT_EQ(0, Dispcall("SONOPROBECTRL.SonoprobeCtrlCtrl.1 call GetResult", &out));
    EXPECT_EQ("0\n", out);
    EXPECT_EQ(0, Dispcall("'" + U8(GuidToString(control::CLSID_SonoprobeCtrl)) +
                              "' put CodePage 1251 get CodePage",
                          &out));
    EXPECT_EQ("1251\n", out) << "the class identifier works as well";

    ASSERT_EQ(0, Dispcall("--unregister '" + Library + "'"));
    EXPECT_EQ(1, Dispcall("SONOPROBECTRL.SonoprobeCtrlCtrl.1 call GetResult", &out, &err));
    EXPECT_EQ(1, Dispcall("'" + U8(GuidToString(control::CLSID_SonoprobeCtrl)) + "' call GetResult",
                          &out, &err));
    EXPECT_NE(std::string::npos, err.find("0x80040154 Class not registered")) << err;
    for (const std::u16string& key :
         {ClassKeyText, std::u16string(u"SONOPROBECTRL.SonoprobeCtrlCtrl.1"),
          ClassKey(control::CLSID_SonoprobeCtrlPropPage),
          std::u16string(u"TypeLib\\{59DC7E1D-7C02-40FC-88B5-DDECD68ADBE0}"),
          std::u16string(u"Interface\\{D5418767-244A-4268-884B-ED71AFC6DE60}")})
        EXPECT_FALSE(Registry::KeyExists(Hive::ClassesRoot, key)) << U8(key);
    EXPECT_EQ(0, Dispcall("--unregister '" + Library + "'")) << "nothing left to remove is fine";
}

TEST_F(ComponentLibraryTest, ARegistryThatCannotBeWrittenGivesTheTypeLibraryCode) {
    // The settings folder is a file, so no hive can be created below it.
    std::string blocked = dir.Write("not-a-folder", std::string("x"));
    setenv("XDG_CONFIG_HOME", blocked.c_str(), 1);
    std::string err;
    EXPECT_EQ(1, Dispcall("--register '" + Library + "'", nullptr, &err));
    EXPECT_NE(std::string::npos, err.find("0x80040200")) << err;
    EXPECT_EQ(1, Dispcall("--register '" + dir.path() + "/libNothing.so'", nullptr, &err));
    EXPECT_NE(std::string::npos, err.find("cannot load")) << err;
}

TEST_F(ComponentLibraryTest, OnlyTheFourEntryPointsAreVisible) {
    DynamicLibrary library(Library);
    ASSERT_TRUE(library.IsLoaded()) << library.Error();
    for (const char* entry :
         {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"})
        EXPECT_NE(nullptr, library.Find<void*>(entry)) << entry;
    // The analysis inside cannot clash with a host's own copy of it.
    for (const char* hidden : {"_ZN7control11AnalyseFileERNS_14AnalysisRecordE",
                               "_ZN7control17CSonoprobeCtrlApp8InstanceEv"})
        EXPECT_EQ(nullptr, library.Find<void*>(hidden)) << hidden;
    library.KeepLoaded();
}

TEST_F(ComponentLibraryTest, DispcallRunsOperationsInOrderAndReportsFailures) {
    ASSERT_EQ(0, Dispcall("--register '" + Library + "'"));
    const std::string file = dir.path() + "/a.mp3";
    std::filesystem::copy_file(Samples + "tagged-cbr.mp3", file);
    std::string out, err;
    EXPECT_EQ(0, Dispcall("SONOPROBECTRL.SonoprobeCtrlCtrl.1 put CodePage 1251 put FilePath '" +
                              file + "' call GetFileTitle call GetResult call WriteID3v2Tags '" +
                              file + "' Title Artist Album 2001 Rock Comment 07 true",
                          &out, &err))
        << err;
    EXPECT_EQ("Sample Tone\n0\ntrue\n", out);
    // The written tag comes back through a fresh analysis.
    EXPECT_EQ(0, Dispcall("SONOPROBECTRL.SonoprobeCtrlCtrl.1 put FilePath '" + file +
                              "' call GetFileTitle call GetArtist call GetAlbum call GetYear call "
                              "GetGenre call GetComment call GetTrackNum call GetCodec",
                          &out, &err))
        << err;
    EXPECT_EQ("Title\nArtist\nAlbum\n2001\nRock\nComment\n07\nMPA-2 Layer III\n", out);

    EXPECT_EQ(0, Dispcall("SONOPROBECTRL.SonoprobeCtrlCtrl.1 put ShowMessageBox 1 get "
                          "ShowMessageBox put ShowMessageBox true get ShowMessageBox",
                          &out));
    EXPECT_EQ("false\ntrue\n", out);

    EXPECT_EQ(1, Dispcall("SONOPROBECTRL.SonoprobeCtrlCtrl.1 call GetResult get FilePath call "
                          "GetResult",
                          &out, &err));
    EXPECT_EQ("0\n", out) << "operations stop at the failed one";
    EXPECT_NE(std::string::npos, err.find("get FilePath: 0x800A018A Property is write-only"))
        << err;
    EXPECT_EQ(1, Dispcall("SONOPROBECTRL.SonoprobeCtrlCtrl.1 call GetDuration", &out, &err));
    EXPECT_NE(std::string::npos, err.find("0x80020006")) << err;
    EXPECT_EQ(2, Dispcall("SONOPROBECTRL.SonoprobeCtrlCtrl.1 call WriteID3v2Tags a b", &out));
    EXPECT_EQ(2, Dispcall("SONOPROBECTRL.SonoprobeCtrlCtrl.1 put CodePage many", &out));
    EXPECT_EQ(2, Dispcall("SONOPROBECTRL.SonoprobeCtrlCtrl.1 jump", &out));
}

TEST_F(ComponentLibraryTest, InProcessActivationGivesFreshStringsAndUnloadsWhenUnused) {
    ASSERT_EQ(0, Dispcall("--register '" + Library + "'"));
    CLSID clsid{};
    ASSERT_EQ(S_OK, CLSIDFromProgID(control::ControlProgId, &clsid));
    {
        ComPtr<IDispatch> control;
        ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, IID_IDispatch, control.ReceiveVoid()));
        VARIANT path;
        VariantInit(&path);
        path.vt = VT_BSTR;
        path.bstrVal = AllocAutomationString(Utf8ToUtf16(Samples + "tone.ogg"));
        DISPID putName = DISPID_PROPERTYPUT;
        DISPPARAMS put{&path, &putName, 1, 1};
        ASSERT_EQ(S_OK, control->Invoke(control::DISPID_FilePath, IID_NULL, 0, DISPATCH_PROPERTYPUT,
                                        &put, nullptr, nullptr, nullptr));
        VariantClear(&path);
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        for (int round = 0; round < 50; ++round) {
            ScopedVariant codec;
            ASSERT_EQ(S_OK, control->Invoke(control::DISPID_GetCodec, IID_NULL, 0, DISPATCH_METHOD,
                                            &none, codec.get(), nullptr, nullptr));
            ASSERT_EQ(u"OGG Vorbis", AutomationStringText(codec->bstrVal));
        }
        DllCanUnloadNowFunction canUnload = nullptr;
        DynamicLibrary library(Library);
        canUnload = library.Find<DllCanUnloadNowFunction>("DllCanUnloadNow");
        ASSERT_NE(nullptr, canUnload);
        EXPECT_EQ(S_FALSE, canUnload()) << "the control is alive";
        control.Reset();
        EXPECT_EQ(S_OK, canUnload());
    }
    CoFreeUnusedLibraries();
}
