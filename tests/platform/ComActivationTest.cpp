#include "platform/ComActivation.h"
#include "platform/CodePage.h"
#include "platform/ComPtr.h"
#include "platform/MemoryStream.h"
#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace platform;
using testsupport::ScopedConfigHome;

namespace {

const CLSID SampleClass{
    0x0A1B2C3D, 0x4E5F, 0x6071, {0x82, 0x93, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8, 0xF9}};

void RegisterLibrary(const std::string& path) {
    Registry::SetValue(Hive::ClassesRoot, ClassKey(SampleClass) + u"\\InprocServer32", u"",
                       Utf8ToUtf16(path));
}

HRESULT Create() {
    ComPtr<IUnknown> object;
    return CoCreateInstance(SampleClass, nullptr, IID_IUnknown, object.ReceiveVoid());
}

} // namespace

TEST(Guid, TextFormRoundTripsAndMalformedTextIsRefused) {
    EXPECT_EQ(u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}", GuidToString(SampleClass));
    EXPECT_EQ(SampleClass, GuidFromString(u"{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}"));
    for (const char16_t* malformed :
         {u"0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9", u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F}",
          u"{0A1B2C3D-4E5F-6071-8293+A4B5C6D7E8F9}", u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8FG}",
          u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}x", u""})
        EXPECT_FALSE(GuidFromString(malformed).has_value()) << testsupport::U8(malformed);
}

TEST(ComActivation, EachFailureHasItsOwnCode) {
    ScopedConfigHome home;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, Create()) << "nothing registered";

    RegisterLibrary("");
    EXPECT_EQ(REGDB_E_CLASSNOTREG, Create()) << "an empty library path";

    testsupport::TempDir dir;
    RegisterLibrary(dir.path() + "/libMissing.so");
    EXPECT_EQ(CO_E_DLLNOTFOUND, Create());

    RegisterLibrary(dir.Write("libBroken.so", std::string("not a library")));
    EXPECT_EQ(CO_E_DLLNOTFOUND, Create());

    // A real library that is no component.
    RegisterLibrary(std::string(SONO_BIN_DIR) + "/libSonoprobePlatform.so");
    EXPECT_EQ(CO_E_ERRORINDLL, Create());
}

TEST(ComActivation, ProgIdsLeadToTheirClassIdentifier) {
    ScopedConfigHome home;
    CLSID clsid{};
    EXPECT_EQ(CO_E_CLASSSTRING, CLSIDFromProgID(u"Sample.Thing.1", &clsid));
    Registry::SetValue(Hive::ClassesRoot, u"Sample.Thing.1\\CLSID", u"", GuidToString(SampleClass));
    ASSERT_EQ(S_OK, CLSIDFromProgID(u"sample.thing.1", &clsid)) << "ProgIDs ignore letter case";
    EXPECT_EQ(SampleClass, clsid);

    Registry::SetValue(Hive::ClassesRoot, u"Sample.Broken.1\\CLSID", u"", u"not a guid");
    EXPECT_EQ(CO_E_CLASSSTRING, CLSIDFromProgID(u"Sample.Broken.1", &clsid));
    EXPECT_EQ(CO_E_CLASSSTRING, CLSIDFromProgID(u"Sample.Thing.1\\CLSID", &clsid));
    EXPECT_EQ(CO_E_CLASSSTRING, CLSIDFromString(u"{nope}", &clsid));
}

TEST(ComResult, CodesReadAsSentences) {
    EXPECT_EQ(u"Class not registered", HResultText(REGDB_E_CLASSNOTREG));
    EXPECT_EQ(u"Property is write-only", HResultText(CTL_E_GETNOTSUPPORTED));
    EXPECT_EQ("0x800A018A", HResultHex(CTL_E_GETNOTSUPPORTED));
    // An errno code never reads as one of the system's codes.
    HRESULT io = HResultFromErrno(5);
    EXPECT_TRUE(FAILED(io));
    EXPECT_EQ(u"Input/output error", HResultText(io));
    EXPECT_EQ(u"Unknown error 0x80001234", HResultText(Code(0x80001234)));
}

TEST(MemoryStream, ReadsBackWhatWasWrittenAndReportsAShortRead) {
    auto stream = MemoryStream::Create();
    const uint8_t bytes[] = {1, 2, 3};
    uint32_t done = 0;
    ASSERT_EQ(S_OK, stream->Write(bytes, 3, &done));
    EXPECT_EQ(3u, done);
    uint8_t back[4] = {};
    EXPECT_EQ(S_FALSE, stream->Read(back, 4, &done));
    EXPECT_EQ(3u, done);
    EXPECT_EQ(3, back[2]);
    EXPECT_EQ(S_FALSE, stream->Read(back, 1, &done));
    EXPECT_EQ(0u, done);
    ComPtr<IStream> asStream;
    EXPECT_EQ(S_OK, stream.As(IID_IStream, asStream));
    ComPtr<IDispatch> notDispatch;
    EXPECT_EQ(E_NOINTERFACE, stream.As(IID_IDispatch, notDispatch));
}

TEST(RegistryTransact, AppliesAllChangesInOneWriteOrNone) {
    ScopedConfigHome home;
    ASSERT_TRUE(Registry::Transact(Hive::ClassesRoot, [](RegistryHive& model) {
        model.SetValue(u"A\\B", u"", std::u16string(u"one"));
        model.SetValue(u"A\\C", u"n", uint32_t{2});
        return true;
    }));
    EXPECT_EQ(RegistryValue(u"one"), Registry::GetValue(Hive::ClassesRoot, u"a\\b", u""));
    EXPECT_FALSE(Registry::Transact(Hive::ClassesRoot, [](RegistryHive& model) {
        model.DeleteKeyTree(u"A");
        return false;
    }));
    EXPECT_TRUE(Registry::KeyExists(Hive::ClassesRoot, u"A\\C"))
        << "a refused change writes nothing";
}
