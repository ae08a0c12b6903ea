#include "control/CSonoprobeCtrlCtrl.h"

#include "control/ID3v2TagWriter.h"

#include "control/AnalysisDriver.h"
#include "control/CSonoprobeCtrlApp.h"
#include "control/ModuleState.h"
#include "control/SonoprobeCtrlIds.h"
#include "control/SonoprobeTypeLib.h"
#include "platform/CodePage.h"
#include "platform/FileError.h"
#include "platform/TableTypeInfo.h"

#include <cstring>
#include <new>

namespace control {
namespace {

using namespace platform;

const TypeDescription& Interface() {
    return SonoprobeTypeLib::DispatchInterface();
}

std::u16string TextOf(const VARIANT& value) {
    return AutomationStringText(value.bstrVal);
}

// Fails the call with an error of the control's own, described in `exception`.
HRESULT RaiseError(HRESULT code, const std::u16string& description, EXCEPINFO* exception) {
    if (exception) {
        std::memset(exception, 0, sizeof *exception);
        exception->scode = code;
        exception->bstrSource = SysAllocString(ControlProgId);
        exception->bstrDescription = AllocAutomationString(description);
    }
    return DISP_E_EXCEPTION;
}

HRESULT ReturnText(const std::u16string& text, VARIANT* result) {
    if (!result)
        return S_OK;
    BSTR copy = AllocAutomationString(text);
    if (!copy)
        return E_OUTOFMEMORY;
    result->vt = VT_BSTR;
    result->bstrVal = copy;
    return S_OK;
}

void ReturnBool(bool value, VARIANT* result) {
    if (result) {
        result->vt = VT_BOOL;
        result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
}

} // namespace

CSonoprobeCtrlCtrl::CSonoprobeCtrlCtrl() {
    CSonoprobeCtrlApp::Instance().ObjectCreated();
}

CSonoprobeCtrlCtrl::~CSonoprobeCtrlCtrl() {
    CSonoprobeCtrlApp::Instance().ObjectDestroyed();
}

HRESULT CSonoprobeCtrlCtrl::Create(REFIID iid, void** object) {
    auto* control = new (std::nothrow) CSonoprobeCtrlCtrl;
    if (!control)
        return E_OUTOFMEMORY;
    HRESULT status = control->QueryInterface(iid, object);
    control->Release();
    return status;
}

HRESULT CSonoprobeCtrlCtrl::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID__DSonoprobeCtrl)
        *object = static_cast<IDispatch*>(this);
    else if (iid == IID_IPersistStreamInit)
        *object = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_ISpecifyPropertyPages)
        *object = static_cast<ISpecifyPropertyPages*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

uint32_t CSonoprobeCtrlCtrl::AddRef() {
    return ++references_;
}

uint32_t CSonoprobeCtrlCtrl::Release() {
    uint32_t left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT CSonoprobeCtrlCtrl::GetTypeInfoCount(uint32_t* count) {
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT CSonoprobeCtrlCtrl::GetTypeInfo(uint32_t index, LCID, ITypeInfo** info) {
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    return TableTypeInfo::Create(Interface(), info);
}

HRESULT CSonoprobeCtrlCtrl::GetIDsOfNames(REFIID iid, const char16_t* const* names, uint32_t count,
                                          LCID, DISPID* ids) {
    if (!(iid == IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    return LookUpNames(Interface(), names, count, ids);
}

HRESULT CSonoprobeCtrlCtrl::Invoke(DISPID id, REFIID iid, LCID, uint16_t flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   uint32_t* argumentError) {
    if (!(iid == IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    const TypeMember* member = FindMember(Interface(), id, flags);
    if (!member)
        return DISP_E_MEMBERNOTFOUND;
    DispatchArguments arguments;
    HRESULT status = arguments.Bind(*member, parameters, argumentError);
    if (FAILED(status))
        return status;
    if (result)
        VariantInit(result);
    // Errors of the analysis are not handled inside the control: they end the call.
    try {
        return CallMember(*member, arguments, result, exception);
    } catch (const FileError& error) {
        return RaiseError(HResultFromErrno(error.errorNumber()), Utf8ToUtf16(error.what()),
                          exception);
    } catch (const ConversionError& error) {
        return RaiseError(E_INVALIDARG, Utf8ToUtf16(error.what()), exception);
    } catch (const std::bad_alloc&) {
        return RaiseError(E_OUTOFMEMORY, HResultText(E_OUTOFMEMORY), exception);
    } catch (const std::exception& error) {
        return RaiseError(E_FAIL, Utf8ToUtf16(error.what()), exception);
    }
}

HRESULT CSonoprobeCtrlCtrl::CallMember(const TypeMember& member, const DispatchArguments& arguments,
                                       VARIANT* result, EXCEPINFO* exception) {
    switch (member.kind) {
    case INVOKE_PROPERTYGET:
        return GetProperty(member.id, result, exception);
    case INVOKE_PROPERTYPUT:
        PutProperty(member.id, arguments[0]);
        return S_OK;
    default:
        return CallMethod(member.id, arguments, result);
    }
}

HRESULT CSonoprobeCtrlCtrl::GetProperty(DISPID id, VARIANT* result, EXCEPINFO* exception) {
    switch (id) {
    case DISPID_ShowMessageBox:
        ReturnBool(ShowMessageBoxEnabled(), result);
        return S_OK;
    case DISPID_CodePage:
        if (result) {
            result->vt = VT_UI4;
            result->ulVal = record_.CodePage;
        }
        return S_OK;
    default:
        // FilePath and the default value are write-only.
        return RaiseError(CTL_E_GETNOTSUPPORTED, HResultText(CTL_E_GETNOTSUPPORTED), exception);
    }
}

void CSonoprobeCtrlCtrl::PutProperty(DISPID id, const VARIANT& value) {
    switch (id) {
    case DISPID_ShowMessageBox:
        // Only the automation true value switches the boxes on; 1 switches them off.
        SetShowMessageBoxEnabled(value.boolVal == VARIANT_TRUE);
        break;
    case DISPID_CodePage:
        record_.CodePage = value.ulVal;
        modified_ = true;
        break;
    default:
        SetFilePath(TextOf(value));
        break;
    }
}

HRESULT CSonoprobeCtrlCtrl::CallMethod(DISPID id, const DispatchArguments& arguments,
                                       VARIANT* result) {
    if (id == DISPID_GetResult) {
        if (result) {
            result->vt = VT_I2;
            result->iVal = record_.Result;
        }
        return S_OK;
    }
    if (id == DISPID_WriteID3v2Tags) {
        ReturnBool(WriteID3v2Tags(arguments), result);
        return S_OK;
    }
    const std::u16string* text = ResultText(id);
    return text ? ReturnText(*text, result) : DISP_E_MEMBERNOTFOUND;
}

const std::u16string* CSonoprobeCtrlCtrl::ResultText(DISPID id) const {
    switch (id) {
    case DISPID_GetFileName:
        return &record_.FileName;
    case DISPID_GetFileSize:
        return &record_.FileSize;
    case DISPID_GetFileTitle:
        return &record_.Title;
    case DISPID_GetArtist:
        return &record_.Artist;
    case DISPID_GetAlbum:
        return &record_.Album;
    case DISPID_GetGenre:
        return &record_.Genre;
    case DISPID_GetYear:
        return &record_.Year;
    case DISPID_GetComment:
        return &record_.Comment;
    case DISPID_GetTrackNum:
        return &record_.TrackNum;
    case DISPID_GetSamplingRate:
        return &record_.SamplingRate;
    case DISPID_GetCodec:
        return &record_.Codec;
    case DISPID_GetChannels:
        return &record_.Channels;
    case DISPID_GetBitrate:
        return &record_.Bitrate;
    case DISPID_GetAdditionalInfo:
        return &record_.AdditionalInfo;
    case DISPID_GetLength:
        return &record_.Length;
    case DISPID_GetLastError:
        return &record_.LastError;
    default:
        return nullptr;
    }
}

void CSonoprobeCtrlCtrl::OnResetState() {
    record_.ResetResults();
}

void CSonoprobeCtrlCtrl::SetFilePath(const std::u16string& path) {
    OnResetState();
    record_.FilePath = path;
    record_.Result = AnalyseFile(record_);
    modified_ = true;
}

bool CSonoprobeCtrlCtrl::WriteID3v2Tags(const DispatchArguments& arguments) {
    // sFile, sTitle, sArtist, sAlbum, sYear, sGenre, sComment, sTrackNum, bUseUnicode.
    return control::WriteID3v2Tags(TextOf(arguments[0]), TextOf(arguments[1]), TextOf(arguments[2]),
                                   TextOf(arguments[3]), TextOf(arguments[4]), TextOf(arguments[5]),
                                   TextOf(arguments[6]), TextOf(arguments[7]),
                                   arguments[8].boolVal != VARIANT_FALSE, record_.CodePage);
}

HRESULT CSonoprobeCtrlCtrl::GetClassID(CLSID* clsid) {
    if (!clsid)
        return E_POINTER;
    *clsid = CLSID_SonoprobeCtrl;
    return S_OK;
}

HRESULT CSonoprobeCtrlCtrl::IsDirty() {
    return modified_ ? S_OK : S_FALSE;
}

HRESULT CSonoprobeCtrlCtrl::Load(IStream* stream) {
    if (!stream)
        return E_POINTER;
    uint8_t bytes[PersistedControlState::StreamSize];
    uint32_t read = 0;
    HRESULT status = stream->Read(bytes, sizeof bytes, &read);
    if (FAILED(status) || read != sizeof bytes)
        return STG_E_READFAULT;
    std::optional<PersistedControlState> state = PersistedControlState::FromBytes(bytes, read);
    if (!state)
        return E_FAIL;
    persisted_ = *state;
    modified_ = false;
    return S_OK;
}

HRESULT CSonoprobeCtrlCtrl::Save(IStream* stream, bool clearDirty) {
    if (!stream)
        return E_POINTER;
    const auto bytes = persisted_.ToBytes();
    uint32_t written = 0;
    HRESULT status = stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()), &written);
    if (FAILED(status) || written != bytes.size())
        return STG_E_WRITEFAULT;
    if (clearDirty)
        modified_ = false;
    return S_OK;
}

HRESULT CSonoprobeCtrlCtrl::GetSizeMax(uint64_t* size) {
    if (!size)
        return E_POINTER;
    *size = PersistedControlState::StreamSize;
    return S_OK;
}

HRESULT CSonoprobeCtrlCtrl::InitNew() {
    OnResetState();
    persisted_ = PersistedControlState{};
    modified_ = false;
    return S_OK;
}

HRESULT CSonoprobeCtrlCtrl::GetPages(CAUUID* pages) {
    if (!pages)
        return E_POINTER;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->cElems = 1;
    pages->pElems[0] = CLSID_SonoprobeCtrlPropPage;
    return S_OK;
}

} // namespace control
