#include "viewer/CSonoprobeCtrl.h"

#include "control/SonoprobeCtrlIds.h"
#include "platform/CodePage.h"
#include "platform/MemoryStream.h"
#include "platform/ScopedVariant.h"
#include "viewer/ComponentRegistration.h"

#include <algorithm>

namespace viewer {
namespace {

using namespace platform;

// The initial data the main dialog's template holds for the control: the length of a license
// key (none), then the control's persisted stream: version 1.0, extent 291 x 318 HIMETRIC, no
// stock property.
constexpr uint8_t DialogInitData[20] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x23, 0x01,
                                        0x00, 0x00, 0x3E, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr size_t LicenseKeyLengthSize = 4;

VARIANT TextArgument(const std::u16string& text) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = AllocAutomationString(text);
    if (!value.bstrVal)
        throw ControlCallError(E_OUTOFMEMORY, ToLocaleCharset(HResultText(E_OUTOFMEMORY)));
    return value;
}

VARIANT BoolArgument(bool flag) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return value;
}

// The error of a failed call, in the words of the control when it described one.
ControlCallError CallError(HRESULT status, EXCEPINFO& exception) {
    if (status != DISP_E_EXCEPTION)
        return ControlCallError(status, ToLocaleCharset(HResultText(status)));
    std::u16string description = AutomationStringText(exception.bstrDescription);
    HRESULT code = exception.scode;
    ClearExcepInfo(&exception);
    return ControlCallError(code,
                            ToLocaleCharset(description.empty() ? HResultText(code) : description));
}

void ClearAll(std::vector<VARIANT>& values) {
    for (VARIANT& value : values)
        VariantClear(&value);
}

} // namespace

CSonoprobeCtrl::CSonoprobeCtrl() {
    creation_ = ComponentRegistration::ForProgram().CreateControl(control_);
    if (control_)
        LoadInitialData();
}

CSonoprobeCtrl::CSonoprobeCtrl(ComPtr<IDispatch> control) : control_(std::move(control)) {
    if (!control_)
        creation_ = E_POINTER;
}

// As the dialog manager does when it creates a control of a template: a control that cannot
// take the data is not created.
void CSonoprobeCtrl::LoadInitialData() {
    ComPtr<IPersistStreamInit> persistence;
    if (FAILED(control_.As(IID_IPersistStreamInit, persistence)))
        return;
    auto stream = MemoryStream::Create(std::vector<uint8_t>(
        std::begin(DialogInitData) + LicenseKeyLengthSize, std::end(DialogInitData)));
    creation_ = persistence->Load(stream.Get());
    if (FAILED(creation_))
        control_.Reset();
}

void CSonoprobeCtrl::Invoke(DISPID member, uint16_t flags, std::vector<VARIANT>& arguments,
                            VARIANT* result) {
    if (!control_) {
        ClearAll(arguments);
        throw ControlCallError(creation_, ToLocaleCharset(HResultText(creation_)));
    }
    // The call lists its arguments last first.
    std::reverse(arguments.begin(), arguments.end());
    DISPID putName = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{arguments.data(), nullptr, static_cast<uint32_t>(arguments.size()), 0};
    if (flags == DISPATCH_PROPERTYPUT) {
        parameters.rgdispidNamedArgs = &putName;
        parameters.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    uint32_t argumentError = 0;
    HRESULT status = control_->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                                      result, &exception, &argumentError);
    ClearAll(arguments);
    if (FAILED(status))
        throw CallError(status, exception);
}

void CSonoprobeCtrl::PutProperty(DISPID member, VARIANT value) {
    std::vector<VARIANT> arguments{value};
    Invoke(member, DISPATCH_PROPERTYPUT, arguments, nullptr);
}

std::u16string CSonoprobeCtrl::CallTextMethod(DISPID member) {
    std::vector<VARIANT> none;
    ScopedVariant result;
    Invoke(member, DISPATCH_METHOD, none, result.get());
    if (result->vt != VT_BSTR)
        throw ControlCallError(DISP_E_TYPEMISMATCH,
                               ToLocaleCharset(HResultText(DISP_E_TYPEMISMATCH)));
    return AutomationStringText(result->bstrVal);
}

void CSonoprobeCtrl::SetCodePage(uint32_t codePage) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_UI4;
    value.ulVal = codePage;
    PutProperty(control::DISPID_CodePage, value);
}

void CSonoprobeCtrl::SetFilePath(const std::u16string& path) {
    PutProperty(control::DISPID_FilePath, TextArgument(path));
}

std::u16string CSonoprobeCtrl::GetFileName() {
    return CallTextMethod(control::DISPID_GetFileName);
}
std::u16string CSonoprobeCtrl::GetFileSize() {
    return CallTextMethod(control::DISPID_GetFileSize);
}
std::u16string CSonoprobeCtrl::GetFileTitle() {
    return CallTextMethod(control::DISPID_GetFileTitle);
}
std::u16string CSonoprobeCtrl::GetArtist() {
    return CallTextMethod(control::DISPID_GetArtist);
}
std::u16string CSonoprobeCtrl::GetAlbum() {
    return CallTextMethod(control::DISPID_GetAlbum);
}
std::u16string CSonoprobeCtrl::GetGenre() {
    return CallTextMethod(control::DISPID_GetGenre);
}
std::u16string CSonoprobeCtrl::GetYear() {
    return CallTextMethod(control::DISPID_GetYear);
}
std::u16string CSonoprobeCtrl::GetComment() {
    return CallTextMethod(control::DISPID_GetComment);
}
std::u16string CSonoprobeCtrl::GetTrackNum() {
    return CallTextMethod(control::DISPID_GetTrackNum);
}
std::u16string CSonoprobeCtrl::GetSamplingRate() {
    return CallTextMethod(control::DISPID_GetSamplingRate);
}
std::u16string CSonoprobeCtrl::GetCodec() {
    return CallTextMethod(control::DISPID_GetCodec);
}
std::u16string CSonoprobeCtrl::GetChannels() {
    return CallTextMethod(control::DISPID_GetChannels);
}
std::u16string CSonoprobeCtrl::GetBitrate() {
    return CallTextMethod(control::DISPID_GetBitrate);
}
std::u16string CSonoprobeCtrl::GetAdditionalInfo() {
    return CallTextMethod(control::DISPID_GetAdditionalInfo);
}
std::u16string CSonoprobeCtrl::GetLength() {
    return CallTextMethod(control::DISPID_GetLength);
}

bool CSonoprobeCtrl::WriteID3v2Tags(const std::u16string& file, const std::u16string& title,
                                    const std::u16string& artist, const std::u16string& album,
                                    const std::u16string& year, const std::u16string& genre,
                                    const std::u16string& comment, const std::u16string& trackNum,
                                    bool useUnicode) {
    std::vector<VARIANT> arguments;
    try {
        for (const std::u16string* text :
             {&file, &title, &artist, &album, &year, &genre, &comment, &trackNum})
            arguments.push_back(TextArgument(*text));
    } catch (...) {
        ClearAll(arguments);
        throw;
    }
    arguments.push_back(BoolArgument(useUnicode));
    ScopedVariant result;
    Invoke(control::DISPID_WriteID3v2Tags, DISPATCH_METHOD, arguments, result.get());
    return result->vt == VT_BOOL && result->boolVal != VARIANT_FALSE;
}

} // namespace viewer
