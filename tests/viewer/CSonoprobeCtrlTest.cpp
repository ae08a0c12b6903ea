// The viewer's binding: each member is one dispatch call by DISPID, and LoadAudioFile fills
// every field from the control.
#include "viewer/CSonoprobeCtrl.h"
#include "control/SonoprobeCtrlIds.h"
#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"
#include "viewer/ComponentRegistration.h"
#include "viewer/FileLoader.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace platform;
using testsupport::U8;
using viewer::CSonoprobeCtrl;

namespace {

const std::string BinFolder = std::string(SONO_BIN_DIR) + "/";
const std::string Samples = std::string(SONO_SOURCE_DIR) + "/samples/";

// A control that records every call and answers from a script.
class RecordingControl final : public IDispatch {
  public:
    struct Call {
        DISPID id;
        uint16_t flags;
        std::vector<std::u16string> arguments; // first to last, as text
        std::vector<VARTYPE> types;
        bool namedPut;
    };
    std::vector<Call> calls;
    // Fills the result or fails the call; by default a string naming the DISPID.
    std::function<HRESULT(DISPID, VARIANT*, EXCEPINFO*)> answer = [](DISPID id, VARIANT* result,
                                                                     EXCEPINFO*) {
        if (result) {
            result->vt = VT_BSTR;
            result->bstrVal = AllocAutomationString(u"text " + Utf8ToUtf16(std::to_string(id)));
        }
        return S_OK;
    };

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    uint32_t AddRef() override { return ++references_; }
    uint32_t Release() override {
        uint32_t left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT GetTypeInfoCount(uint32_t* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(uint32_t, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, const char16_t* const*, uint32_t, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, uint16_t flags, DISPPARAMS* parameters, VARIANT* result,
                   EXCEPINFO* exception, uint32_t*) override {
        Call call{id,
                  flags,
                  {},
                  {},
                  parameters->cNamedArgs == 1 &&
                      parameters->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT};
        for (uint32_t i = parameters->cArgs; i-- > 0;) {
            VARIANT text;
            VariantInit(&text);
            VariantChangeType(&text, &parameters->rgvarg[i], 0, VT_BSTR);
            call.arguments.push_back(AutomationStringText(text.bstrVal));
            call.types.push_back(parameters->rgvarg[i].vt);
            VariantClear(&text);
        }
        calls.push_back(call);
        return answer(id, result, exception);
    }

  private:
    uint32_t references_ = 1;
};

struct Bound {
    RecordingControl* control = new RecordingControl;
    CSonoprobeCtrl binding;
    Bound() : binding(Adopt(control)) {}
    static ComPtr<IDispatch> Adopt(RecordingControl* control) {
        ComPtr<IDispatch> pointer;
        *pointer.Receive() = control;
        return pointer;
    }
};

} // namespace

TEST(CSonoprobeCtrl, EachMemberIsOneDispatchCallByDispid) {
    Bound bound;
    CSonoprobeCtrl& control = bound.binding;
    control.SetCodePage(1251);
    control.SetFilePath(u"/music/a.mp3");
    const std::vector<std::function<std::u16string()>> getters = {
        [&] { return control.GetFileName(); },  [&] { return control.GetFileSize(); },
        [&] { return control.GetFileTitle(); }, [&] { return control.GetArtist(); },
        [&] { return control.GetAlbum(); },     [&] { return control.GetGenre(); },
        [&] { return control.GetYear(); },      [&] { return control.GetComment(); },
        [&] { return control.GetTrackNum(); },  [&] { return control.GetSamplingRate(); },
        [&] { return control.GetCodec(); },     [&] { return control.GetChannels(); },
        [&] { return control.GetBitrate(); },   [&] { return control.GetAdditionalInfo(); },
        [&] { return control.GetLength(); },
    };
    for (size_t i = 0; i < getters.size(); ++i)
        EXPECT_EQ(u"text " + Utf8ToUtf16(std::to_string(3 + i)), getters[i]());

    const auto& calls = bound.control->calls;
    ASSERT_EQ(17u, calls.size());
    EXPECT_EQ(control::DISPID_CodePage, calls[0].id);
    EXPECT_EQ(DISPATCH_PROPERTYPUT, calls[0].flags);
    EXPECT_TRUE(calls[0].namedPut);
    EXPECT_EQ((std::vector<VARTYPE>{VT_UI4}), calls[0].types);
    EXPECT_EQ(u"1251", calls[0].arguments[0]);
    EXPECT_EQ(control::DISPID_FilePath, calls[1].id);
    EXPECT_EQ((std::vector<std::u16string>{u"/music/a.mp3"}), calls[1].arguments);
    for (size_t i = 2; i < calls.size(); ++i) {
        EXPECT_EQ(static_cast<DISPID>(i + 1), calls[i].id);
        EXPECT_EQ(DISPATCH_METHOD, calls[i].flags);
        EXPECT_TRUE(calls[i].arguments.empty());
    }
}

TEST(CSonoprobeCtrl, WriteID3v2TagsPassesItsArgumentsInOrder) {
    Bound bound;
    bound.control->answer = [](DISPID, VARIANT* result, EXCEPINFO*) {
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
        return S_OK;
    };
    EXPECT_TRUE(bound.binding.WriteID3v2Tags(u"/m/a.mp3", u"T", u"Ar", u"Al", u"2001", u"Rock",
                                             u"C", u"07", false));
    ASSERT_EQ(1u, bound.control->calls.size());
    const auto& call = bound.control->calls[0];
    EXPECT_EQ(control::DISPID_WriteID3v2Tags, call.id);
    EXPECT_EQ((std::vector<std::u16string>{u"/m/a.mp3", u"T", u"Ar", u"Al", u"2001", u"Rock", u"C",
                                           u"07", u"0"}),
              call.arguments);
    EXPECT_EQ(VT_BOOL, call.types.back());
}

TEST(CSonoprobeCtrl, AnErrorOfTheControlBecomesACallErrorWithItsDescription) {
    Bound bound;
    bound.control->answer = [](DISPID, VARIANT*, EXCEPINFO* exception) {
        exception->scode = HResultFromErrno(5);
        exception->bstrDescription = SysAllocString(u"Read failed for 'x.wav'");
        return DISP_E_EXCEPTION;
    };
    try {
        bound.binding.SetFilePath(u"x.wav");
        FAIL() << "no error";
    } catch (const viewer::ControlCallError& error) {
        EXPECT_EQ(HResultFromErrno(5), error.code());
        EXPECT_STREQ("Read failed for 'x.wav'", error.what());
    }
    bound.control->answer = [](DISPID, VARIANT*, EXCEPINFO*) { return DISP_E_MEMBERNOTFOUND; };
    EXPECT_THROW(bound.binding.GetCodec(), viewer::ControlCallError);

    CSonoprobeCtrl none{ComPtr<IDispatch>()};
    EXPECT_FALSE(none.IsCreated());
    EXPECT_THROW(none.SetCodePage(0), viewer::ControlCallError);
}

TEST(LoadAudioFile, FillsEveryFieldAndASecondFileLeavesNothingOfTheFirst) {
    testsupport::ScopedConfigHome home;
    testsupport::MessageBoxCapture boxes;
    viewer::ComponentRegistration registration(BinFolder);
    ComPtr<IDispatch> created;
    ASSERT_EQ(S_OK, registration.CreateControl(created));
    CSonoprobeCtrl control(created);

    viewer::AudioFileFields fields;
    // Quotes around and inside the path are removed.
    fields.FilePath = Utf8ToUtf16("\"" + Samples + "tagged\"-cbr.mp3\"");
    ASSERT_EQ(viewer::LoadResult::Loaded, viewer::LoadAudioFile(control, fields));
    EXPECT_EQ(u"tagged-cbr.mp3", fields.FileName);
    EXPECT_EQ(u"Sample Tone", fields.Title);
    EXPECT_EQ(u"Samples", fields.Album);
    EXPECT_TRUE(viewer::EditTagsAllowed(fields.Codec));

    fields.FilePath = Utf8ToUtf16(Samples + "tone.ogg");
    viewer::LoadAudioFile(control, fields);
    EXPECT_EQ(u"tone.ogg", fields.FileName);
    EXPECT_EQ(u"", fields.Title);
    EXPECT_EQ(u"", fields.Album);
    EXPECT_EQ(u"", fields.Year);
    EXPECT_FALSE(viewer::EditTagsAllowed(fields.Codec));
    EXPECT_TRUE(boxes.shown().empty());
    registration.UnregisterAtExit();
}

TEST(LoadAudioFile, AControlThatCannotBeReachedEmptiesTheFieldsAndSaysSoOnce) {
    testsupport::MessageBoxCapture boxes;
    CSonoprobeCtrl none{ComPtr<IDispatch>()};
    viewer::AudioFileFields fields;
    fields.FilePath = u"/music/a.mp3";
    fields.Title = u"old title";
    EXPECT_EQ(viewer::LoadResult::Loaded, viewer::LoadAudioFile(none, fields));
    EXPECT_EQ(u"", fields.Title);
    EXPECT_EQ(u"/music/a.mp3", fields.FilePath);
    EXPECT_EQ(1u, boxes.shown().size());
}
