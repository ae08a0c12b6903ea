// The control object itself, called through its interfaces as a host calls it.
#include "control/CSonoprobeCtrlApp.h"
#include "control/CSonoprobeCtrlCtrl.h"
#include "control/SonoprobeCtrlIds.h"
#include "platform/CodePage.h"
#include "platform/ComPtr.h"
#include "platform/MemoryStream.h"
#include "platform/ScopedVariant.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <vector>

using namespace platform;
using namespace control;
using testsupport::U8;

namespace {

const std::string Samples = std::string(SONO_SOURCE_DIR) + "/samples/";

VARIANT Text(const std::u16string& text) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = AllocAutomationString(text);
    return value;
}

VARIANT Typed(VARTYPE type, int32_t bits) {
    VARIANT value;
    VariantInit(&value);
    value.vt = type;
    if (type == VT_BOOL || type == VT_I2)
        value.iVal = static_cast<int16_t>(bits);
    else
        value.lVal = bits;
    return value;
}

// A host's view of one control: calls by DISPID with arguments given first to last.
class Host {
  public:
    Host() { EXPECT_EQ(S_OK, CSonoprobeCtrlCtrl::Create(IID_IDispatch, control.ReceiveVoid())); }

    HRESULT Invoke(DISPID id, uint16_t flags, std::vector<VARIANT> arguments, VARIANT* result) {
        std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
        DISPID putName = DISPID_PROPERTYPUT;
        DISPPARAMS parameters{reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
        if (flags == DISPATCH_PROPERTYPUT) {
            parameters.rgdispidNamedArgs = &putName;
            parameters.cNamedArgs = 1;
        }
        ClearExcepInfo(&exception);
        argumentError = 99;
        HRESULT status = control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                                         result, &exception, &argumentError);
        for (VARIANT& argument : reversed)
            VariantClear(&argument);
        return status;
    }
    HRESULT Put(DISPID id, VARIANT value) {
        return Invoke(id, DISPATCH_PROPERTYPUT, {value}, nullptr);
    }
    HRESULT PutPath(const std::string& path) {
        return Put(DISPID_FilePath, Text(Utf8ToUtf16(path)));
    }
    std::u16string Call(DISPID id) {
        ScopedVariant result;
        EXPECT_EQ(S_OK, Invoke(id, DISPATCH_METHOD, {}, result.get()));
        EXPECT_EQ(VT_BSTR, result->vt);
        return AutomationStringText(result->bstrVal);
    }
    int16_t Result() {
        ScopedVariant result;
        EXPECT_EQ(S_OK, Invoke(DISPID_GetResult, DISPATCH_METHOD, {}, result.get()));
        return result->iVal;
    }
    bool ShowMessageBox() {
        ScopedVariant result;
        EXPECT_EQ(S_OK, Invoke(DISPID_ShowMessageBox, DISPATCH_PROPERTYGET, {}, result.get()));
        EXPECT_EQ(VT_BOOL, result->vt);
        return result->boolVal == VARIANT_TRUE;
    }
    template <typename Interface> ComPtr<Interface> As(REFIID iid) {
        ComPtr<Interface> other;
        EXPECT_EQ(S_OK, control.As(iid, other));
        return other;
    }
    ~Host() { ClearExcepInfo(&exception); }

    ComPtr<IDispatch> control;
    EXCEPINFO exception{};
    uint32_t argumentError = 0;
};

// Restores the module-wide ShowMessageBox value that the test changes.
class ShowMessageBoxGuard {
  public:
    ~ShowMessageBoxGuard() {
        Host host;
        host.Put(DISPID_ShowMessageBox, Typed(VT_BOOL, VARIANT_TRUE));
    }
};

// The result strings in DISPID order, 3 to 18.
std::vector<std::u16string> AllTexts(Host& host) {
    std::vector<std::u16string> texts;
    for (DISPID id = DISPID_GetFileName; id <= DISPID_GetLastError; ++id)
        texts.push_back(host.Call(id));
    return texts;
}

} // namespace

TEST(SonoprobeCtrlCtrl, EveryMemberAnswersWithTheTypeOfTheTypeLibrary) {
    testsupport::MessageBoxCapture boxes;
    Host host;
    ASSERT_EQ(S_OK, host.PutPath(Samples + "tagged-cbr.mp3"));
    std::vector<std::u16string> texts = AllTexts(host);
    EXPECT_EQ(u"tagged-cbr.mp3", texts[0]);
    EXPECT_EQ(u"0.01 Mb ( 8,935 bytes )", texts[1]);
    EXPECT_EQ(u"Sample Tone", texts[2]);
    EXPECT_EQ(u"Orvane Test Orchestra", texts[3]);
    EXPECT_EQ(u"MPA", texts[DISPID_GetCodec - DISPID_GetFileName].substr(0, 3));
    EXPECT_EQ(u"", texts.back()) << "no error";
    EXPECT_EQ(0, host.Result());

    struct Case {
        DISPID id;
        uint16_t flags;
        VARTYPE type;
    } cases[] = {
        {DISPID_ShowMessageBox, DISPATCH_PROPERTYGET, VT_BOOL},
        {DISPID_CodePage, DISPATCH_PROPERTYGET, VT_UI4},
        {DISPID_GetResult, DISPATCH_METHOD, VT_I2},
        // Callers that cannot tell a method from a property use both flags.
        {DISPID_GetLength, DISPATCH_METHOD | DISPATCH_PROPERTYGET, VT_BSTR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        ScopedVariant result;
        EXPECT_EQ(S_OK, host.Invoke(c.id, c.flags, {}, result.get()));
        EXPECT_EQ(c.type, result->vt);
    }
    std::vector<VARIANT> tagArguments;
    for (int i = 0; i < 8; ++i)
        tagArguments.push_back(Text(u"x"));
    tagArguments.push_back(Typed(VT_BOOL, VARIANT_TRUE));
    ScopedVariant written;
    EXPECT_EQ(S_OK,
              host.Invoke(DISPID_WriteID3v2Tags, DISPATCH_METHOD, tagArguments, written.get()));
    EXPECT_EQ(VT_BOOL, written->vt);
}

TEST(SonoprobeCtrlCtrl, NamesOfTheTypeLibraryLeadToTheirDispids) {
    Host host;
    struct Case {
        const char16_t* name;
        DISPID id;
    } cases[] = {
        {u"_FilePath", 0},        {u"FilePath", 1},           {u"showmessagebox", 2},
        {u"GetFileName", 3},      {u"GetFileSize", 4},        {u"GetFileTitle", 5},
        {u"GetArtist", 6},        {u"GetAlbum", 7},           {u"GetGenre", 8},
        {u"GetYear", 9},          {u"GetComment", 10},        {u"GetTrackNum", 11},
        {u"GetSamplingRate", 12}, {u"GetCodec", 13},          {u"GetChannels", 14},
        {u"GetBitrate", 15},      {u"GETADDITIONALINFO", 16}, {u"GetLength", 17},
        {u"GetLastError", 18},    {u"GetResult", 19},         {u"WriteID3v2Tags", 20},
        {u"CodePage", 21},
    };
    for (const Case& c : cases) {
        DISPID id = -5;
        EXPECT_EQ(S_OK, host.control->GetIDsOfNames(IID_NULL, &c.name, 1, 0, &id)) << U8(c.name);
        EXPECT_EQ(c.id, id) << U8(c.name);
    }
    const char16_t* withParameters[] = {u"WriteID3v2Tags", u"sFile", u"sTrackNum", u"bUseUnicode"};
    DISPID ids[4];
    ASSERT_EQ(S_OK, host.control->GetIDsOfNames(IID_NULL, withParameters, 4, 0, ids));
    EXPECT_EQ((std::vector<DISPID>{20, 0, 7, 8}), std::vector<DISPID>(ids, ids + 4));

    const char16_t* unknown = u"GetDuration";
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, host.control->GetIDsOfNames(IID_NULL, &unknown, 1, 0, &id));
    EXPECT_EQ(DISPID_UNKNOWN, id);
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              host.control->GetIDsOfNames(IID_IDispatch, &unknown, 1, 0, &id));
}

TEST(SonoprobeCtrlCtrl, ReadingFilePathOrTheDefaultValueFailsAndChangesNothing) {
    testsupport::MessageBoxCapture boxes;
    Host host;
    ASSERT_EQ(S_OK, host.PutPath(Samples + "tone.flac"));
    for (DISPID id : {DISPID_FilePath, DISPID_FilePathValue}) {
        SCOPED_TRACE(id);
        ScopedVariant result;
        EXPECT_EQ(DISP_E_EXCEPTION, host.Invoke(id, DISPATCH_PROPERTYGET, {}, result.get()));
        EXPECT_EQ(CTL_E_GETNOTSUPPORTED, host.exception.scode);
        EXPECT_EQ(u"Property is write-only", AutomationStringText(host.exception.bstrDescription));
        EXPECT_EQ(VT_EMPTY, result->vt);
        EXPECT_EQ(u"tone.flac", host.Call(DISPID_GetFileName));
    }
}

TEST(SonoprobeCtrlCtrl, PuttingTheDefaultValueRunsTheAnalysis) {
    testsupport::MessageBoxCapture boxes;
    Host host;
    // Quotes are removed before the file is opened.
    ASSERT_EQ(S_OK,
              host.Put(DISPID_FilePathValue, Text(Utf8ToUtf16("\"" + Samples + "tone.wv\""))));
    EXPECT_EQ(u"tone.wv", host.Call(DISPID_GetFileName));
    EXPECT_EQ(0, host.Result());
    EXPECT_NE(u"", host.Call(DISPID_GetSamplingRate));
}

TEST(SonoprobeCtrlCtrl, EachGetReturnsAFreshStringThatTheCallerFrees) {
    testsupport::MessageBoxCapture boxes;
    Host host;
    ASSERT_EQ(S_OK, host.PutPath(Samples + "tagged-cbr.mp3"));
    for (DISPID id = DISPID_GetFileName; id <= DISPID_GetLastError; ++id) {
        SCOPED_TRACE(id);
        ScopedVariant first;
        ScopedVariant second;
        ASSERT_EQ(S_OK, host.Invoke(id, DISPATCH_METHOD, {}, first.get()));
        const std::u16string text = AutomationStringText(first->bstrVal);
        // The caller may do what it likes with its copy.
        for (uint32_t i = 0; i < SysStringLen(first->bstrVal); ++i)
            first->bstrVal[i] = u'#';
        ASSERT_EQ(S_OK, host.Invoke(id, DISPATCH_METHOD, {}, second.get()));
        EXPECT_EQ(U8(text), U8(AutomationStringText(second->bstrVal)));
        if (!text.empty()) {
            EXPECT_NE(first->bstrVal, second->bstrVal);
        }
        // A caller that wants no result gets none and loses nothing.
        EXPECT_EQ(S_OK, host.Invoke(id, DISPATCH_METHOD, {}, nullptr));
    }
}

TEST(SonoprobeCtrlCtrl, ASecondAnalysisLeavesNothingOfTheFirst) {
    testsupport::MessageBoxCapture boxes;
    testsupport::TempDir dir;
    Host host;
    ASSERT_EQ(S_OK, host.PutPath(Samples + "tagged-cbr.mp3"));
    ASSERT_EQ(S_OK, host.PutPath(dir.path() + "/gone.mp3"));
    std::vector<std::u16string> expected(16);
    expected[0] = u"gone.mp3";
    expected[15] = u"Cannot open file gone.mp3!";
    EXPECT_EQ(expected, AllTexts(host));
    EXPECT_EQ(2, host.Result());

    ASSERT_EQ(S_OK, host.PutPath(Samples + "mono-22050.wav"));
    std::vector<std::u16string> texts = AllTexts(host);
    EXPECT_EQ(u"", texts[2]) << "no title of the tagged file";
    EXPECT_EQ(u"", texts[15]) << "no error of the missing file";
    EXPECT_EQ(0, host.Result());
}

TEST(SonoprobeCtrlCtrl, ShowMessageBoxStoresTrueOnlyForTheAutomationTrueValue) {
    ShowMessageBoxGuard restore;
    testsupport::MessageBoxCapture boxes;
    testsupport::TempDir dir;
    Host host;
    Host other;
    struct Case {
        const char* what;
        VARIANT value;
        bool stored;
    } cases[] = {
        {"automation true", Typed(VT_BOOL, VARIANT_TRUE), true},
        {"raw 1", Typed(VT_BOOL, 1), false},
        {"raw 0x7FFF", Typed(VT_BOOL, 0x7FFF), false},
        {"false", Typed(VT_BOOL, VARIANT_FALSE), false},
        // Other types are converted first, and a converted true is the automation true.
        {"the number 1", Typed(VT_I4, 1), true},
        {"the text false", Text(u"false"), false},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(S_OK, host.Put(DISPID_ShowMessageBox, c.value));
        EXPECT_EQ(c.stored, host.ShowMessageBox());
        EXPECT_EQ(c.stored, other.ShowMessageBox()) << "one value for the whole module";
        size_t before = boxes.shown().size();
        ASSERT_EQ(S_OK, host.PutPath(dir.path() + "/missing.wav"));
        EXPECT_EQ(c.stored ? before + 1 : before, boxes.shown().size());
    }
    ASSERT_FALSE(boxes.shown().empty());
    EXPECT_EQ(u"Error!", boxes.shown().back().caption);
    EXPECT_EQ(u"Cannot open file missing.wav!", boxes.shown().back().text);
}

TEST(SonoprobeCtrlCtrl, CodePageIsStoredUnvalidatedAndMarksTheControlModified) {
    Host host;
    auto persistence = host.As<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_EQ(S_OK, persistence->InitNew());
    EXPECT_EQ(S_FALSE, persistence->IsDirty());
    for (uint32_t codePage : {1251u, 0xFFFFFFFFu, 12345u}) {
        VARIANT value = Typed(VT_UI4, 0);
        value.ulVal = codePage;
        ASSERT_EQ(S_OK, host.Put(DISPID_CodePage, value));
        ScopedVariant back;
        ASSERT_EQ(S_OK, host.Invoke(DISPID_CodePage, DISPATCH_PROPERTYGET, {}, back.get()));
        EXPECT_EQ(codePage, back->ulVal);
    }
    EXPECT_EQ(S_OK, persistence->IsDirty());
    auto stream = MemoryStream::Create();
    ASSERT_EQ(S_OK, persistence->Save(stream.Get(), true));
    EXPECT_EQ(S_FALSE, persistence->IsDirty());
    // Out of range for the unsigned property: refused by the call, not stored.
    EXPECT_EQ(DISP_E_OVERFLOW, host.Put(DISPID_CodePage, Typed(VT_I4, -1)));
    EXPECT_EQ(0u, host.argumentError);
    EXPECT_EQ(S_FALSE, persistence->IsDirty());
}

TEST(SonoprobeCtrlCtrl, AnErrorDuringTheAnalysisFailsTheCallWithItsDescription) {
    // A file the system refuses to read: sysfs answers EIO for this attribute.
    const char* refusing = "/sys/devices/system/cpu/power/autosuspend_delay_ms";
    if (!std::filesystem::exists(refusing))
        GTEST_SKIP() << "no file that fails to read on this system";
    testsupport::TempDir dir;
    std::filesystem::create_symlink(refusing, dir.path() + "/refusing.wav");
    Host host;
    auto persistence = host.As<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_EQ(S_OK, persistence->InitNew());
    EXPECT_EQ(DISP_E_EXCEPTION, host.PutPath(dir.path() + "/refusing.wav"));
    EXPECT_EQ(HResultFromErrno(EIO), host.exception.scode);
    EXPECT_NE(std::string::npos,
              U8(AutomationStringText(host.exception.bstrDescription)).find("refusing.wav"));
    EXPECT_EQ(u"SONOPROBECTRL.SonoprobeCtrlCtrl.1",
              AutomationStringText(host.exception.bstrSource));
    // The analysis stopped where it was: the reset result stays and nothing is tidied.
    EXPECT_EQ(0, host.Result());
    EXPECT_EQ(u"", host.Call(DISPID_GetLastError));
    EXPECT_EQ(u"refusing.wav", host.Call(DISPID_GetFileName));
    EXPECT_EQ(S_FALSE, persistence->IsDirty()) << "a failed put does not mark the control";
}

TEST(SonoprobeCtrlCtrl, PersistedStreamHoldsVersionExtentAndNoProperty) {
    Host host;
    auto persistence = host.As<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_EQ(S_OK, persistence->InitNew());
    uint64_t size = 0;
    ASSERT_EQ(S_OK, persistence->GetSizeMax(&size));
    EXPECT_EQ(16u, size);
    CLSID clsid{};
    ASSERT_EQ(S_OK, persistence->GetClassID(&clsid));
    EXPECT_EQ(CLSID_SonoprobeCtrl, clsid);

    // The hosts' dialog templates: a zero license-key length, then the stream.
    const std::vector<uint8_t> templateData = {0, 0, 0,    0,    0x00, 0x00, 0x01, 0x00, 0x23, 0x01,
                                               0, 0, 0x3E, 0x01, 0,    0,    0,    0,    0,    0};
    const std::vector<uint8_t> stream(templateData.begin() + 4, templateData.end());
    auto saved = MemoryStream::Create();
    ASSERT_EQ(S_OK, host.Put(DISPID_CodePage, Typed(VT_UI4, 1251)));
    ASSERT_EQ(S_OK, persistence->Save(saved.Get(), false));
    EXPECT_EQ(stream, saved->Bytes()) << "the default extent, and no property value";

    std::vector<uint8_t> wider = stream;
    wider[4] = 0x90;
    ASSERT_EQ(S_OK, persistence->Load(MemoryStream::Create(wider).Get()));
    auto resaved = MemoryStream::Create();
    ASSERT_EQ(S_OK, persistence->Save(resaved.Get(), true));
    EXPECT_EQ(wider, resaved->Bytes());

    EXPECT_EQ(STG_E_READFAULT, persistence->Load(MemoryStream::Create({0, 0, 1, 0, 1, 2}).Get()));
    std::vector<uint8_t> version2 = stream;
    version2[2] = 2;
    EXPECT_EQ(E_FAIL, persistence->Load(MemoryStream::Create(version2).Get()));
    auto unchanged = MemoryStream::Create();
    ASSERT_EQ(S_OK, persistence->Save(unchanged.Get(), true));
    EXPECT_EQ(wider, unchanged->Bytes()) << "a refused stream changes nothing";
}

TEST(SonoprobeCtrlCtrl, PropertyPagesAreOnePageCaptionedGeneral) {
    Host host;
    auto pages = host.As<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
    CAUUID list{};
    ASSERT_EQ(S_OK, pages->GetPages(&list));
    ASSERT_EQ(1u, list.cElems);
    EXPECT_EQ(CLSID_SonoprobeCtrlPropPage, list.pElems[0]);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, CSonoprobeCtrlApp::Instance().GetClassObject(list.pElems[0], IID_IClassFactory,
                                                                 factory.ReceiveVoid()));
    CoTaskMemFree(list.pElems);
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPropertyPage, page.ReceiveVoid()));
    PROPPAGEINFO info{};
    ASSERT_EQ(S_OK, page->GetPageInfo(&info));
    EXPECT_EQ(u"General", std::u16string(info.pszTitle));
    EXPECT_EQ(161, info.size.cx);
    EXPECT_EQ(65, info.size.cy);
    CoTaskMemFree(info.pszTitle);
    IUnknown* objects[] = {host.control.Get()};
    EXPECT_EQ(S_OK, page->SetObjects(1, objects));
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
}

TEST(SonoprobeCtrlCtrl, TheModuleCountsObjectsAndLocksBeforeItMayUnload) {
    CSonoprobeCtrlApp& module = CSonoprobeCtrlApp::Instance();
    ASSERT_EQ(S_OK, module.CanUnloadNow());
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK,
              module.GetClassObject(CLSID_SonoprobeCtrl, IID_IClassFactory, factory.ReceiveVoid()));
    ComPtr<IUnknown> object;
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              factory->CreateInstance(factory.Get(), IID_IUnknown, object.ReceiveVoid()));
    EXPECT_EQ(E_NOINTERFACE,
              factory->CreateInstance(nullptr, IID_IClassFactory, object.ReceiveVoid()));
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, object.ReceiveVoid()));
    EXPECT_EQ(S_FALSE, module.CanUnloadNow()) << "an object is alive";
    object.Reset();
    EXPECT_EQ(S_OK, module.CanUnloadNow());
    factory->LockServer(true);
    EXPECT_EQ(S_FALSE, module.CanUnloadNow()) << "locked";
    factory->LockServer(false);
    EXPECT_EQ(S_OK, module.CanUnloadNow());

    const CLSID other{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
              module.GetClassObject(other, IID_IClassFactory, factory.ReceiveVoid()));
}

TEST(SonoprobeCtrlCtrl, CallsOfTheWrongShapeAreRefused) {
    Host host;
    ScopedVariant result;
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, host.Invoke(22, DISPATCH_METHOD, {}, result.get()));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              host.Invoke(DISPID_GetCodec, DISPATCH_PROPERTYPUT, {Text(u"x")}, nullptr));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT,
              host.Invoke(DISPID_GetCodec, DISPATCH_METHOD, {Text(u"x")}, result.get()));
    std::vector<VARIANT> tagArguments;
    for (int i = 0; i < 9; ++i)
        tagArguments.push_back(Text(u"maybe"));
    EXPECT_EQ(DISP_E_TYPEMISMATCH,
              host.Invoke(DISPID_WriteID3v2Tags, DISPATCH_METHOD, tagArguments, result.get()));
    EXPECT_EQ(0u, host.argumentError) << "the last argument comes first in the call";
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              host.control->Invoke(DISPID_GetCodec, IID_IDispatch, 0, DISPATCH_METHOD, nullptr,
                                   result.get(), nullptr, nullptr));

    uint32_t count = 0;
    ASSERT_EQ(S_OK, host.control->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(DISP_E_BADINDEX, host.control->GetTypeInfo(1, 0, info.Receive()));
    ASSERT_EQ(S_OK, host.control->GetTypeInfo(0, 0, info.Receive()));
    AutomationString name;
    AutomationString help;
    ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, name.Receive(), help.Receive()));
    EXPECT_EQ(u"_DSonoprobeCtrl", name.Text());
    EXPECT_EQ(u"Dispatch interface for Orvane Sonoprobe Control", help.Text());
    ASSERT_EQ(S_OK, info->GetDocumentation(DISPID_FilePathValue, name.Receive(), help.Receive()));
    EXPECT_EQ(u"_FilePath", name.Text());
    EXPECT_EQ(u"property FilePath", help.Text());
    ASSERT_EQ(S_OK, info->GetDocumentation(DISPID_GetResult, nullptr, help.Receive()));
    EXPECT_EQ(u"method GetResult", help.Text());
}
