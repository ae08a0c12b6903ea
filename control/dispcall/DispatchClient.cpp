#include "control/dispcall/DispatchClient.h"

#include "platform/CodePage.h"
#include "platform/ComActivation.h"
#include "platform/ScopedVariant.h"

namespace dispcall {
namespace {

using namespace platform;

constexpr int CallFailed = 1;
constexpr int BadOperations = 2;

std::string Text(const std::u16string& text) {
    return ToLocaleCharset(text);
}

HRESULT ClassIdOf(const std::string& name, CLSID& clsid) {
    const std::u16string wide = Utf8ToUtf16(name);
    if (!wide.empty() && wide.front() == u'{')
        return CLSIDFromString(wide, &clsid);
    return CLSIDFromProgID(wide, &clsid);
}

INVOKEKIND KindOf(const std::string& operation) {
    if (operation == "get")
        return INVOKE_PROPERTYGET;
    if (operation == "put")
        return INVOKE_PROPERTYPUT;
    return INVOKE_FUNC;
}

} // namespace

bool DispatchClient::Create(const std::string& name) {
    CLSID clsid{};
    HRESULT status = ClassIdOf(name, clsid);
    if (SUCCEEDED(status))
        status = CoCreateInstance(clsid, nullptr, IID_IDispatch, object_.ReceiveVoid());
    uint32_t count = 0;
    if (SUCCEEDED(status) && SUCCEEDED(object_->GetTypeInfoCount(&count)) && count > 0)
        status = object_->GetTypeInfo(0, LOCALE_USER_DEFAULT, typeInfo_.Receive());
    if (FAILED(status)) {
        ReportFailure(name, status, u"");
        return false;
    }
    if (!typeInfo_) {
        std::fprintf(errors_, "dispcall: %s offers no type information\n", name.c_str());
        return false;
    }
    return true;
}

int DispatchClient::Run(const std::vector<std::string>& operations) {
    size_t next = 0;
    while (next < operations.size()) {
        int status = RunOne(operations, next);
        if (status != 0)
            return status;
    }
    return 0;
}

int DispatchClient::RunOne(const std::vector<std::string>& operations, size_t& next) {
    const std::string& operation = operations[next];
    if ((operation != "get" && operation != "put" && operation != "call") ||
        next + 1 >= operations.size()) {
        std::fprintf(errors_, "dispcall: expected get NAME, put NAME VALUE or call NAME at '%s'\n",
                     operation.c_str());
        return BadOperations;
    }
    const std::string& name = operations[next + 1];
    next += 2;
    Member member;
    if (!FindMember(name, KindOf(operation), member))
        return member.id == DISPID_UNKNOWN ? CallFailed : BadOperations;
    if (next + member.function.cParams > operations.size()) {
        std::fprintf(errors_, "dispcall: %s %s needs %u argument(s)\n", operation.c_str(),
                     name.c_str(), member.function.cParams);
        return BadOperations;
    }
    std::vector<VARIANT> arguments(member.function.cParams);
    bool built = true;
    // The call lists its arguments last first.
    for (size_t i = 0; i < arguments.size(); ++i) {
        VariantInit(&arguments[arguments.size() - 1 - i]);
        built = built && BuildArgument(operations[next + i], member.function.paramTypes[i],
                                       arguments[arguments.size() - 1 - i]);
    }
    next += arguments.size();
    const uint16_t flags = operation == "get"   ? DISPATCH_PROPERTYGET
                           : operation == "put" ? DISPATCH_PROPERTYPUT
                                                : DISPATCH_METHOD;
    bool succeeded = built && Invoke(operation + " " + name, member, flags, arguments);
    for (VARIANT& argument : arguments)
        VariantClear(&argument);
    if (!built)
        return BadOperations;
    return succeeded ? 0 : CallFailed;
}

bool DispatchClient::FindMember(const std::string& name, INVOKEKIND kind, Member& member) {
    const std::u16string wide = Utf8ToUtf16(name);
    const char16_t* names[] = {wide.c_str()};
    HRESULT status = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member.id);
    if (FAILED(status)) {
        member.id = DISPID_UNKNOWN;
        ReportFailure(name, status, u"");
        return false;
    }
    TYPEATTR attributes{};
    typeInfo_->GetTypeAttr(&attributes);
    for (uint32_t i = 0; i < attributes.cFuncs; ++i) {
        FUNCDESC function{};
        if (SUCCEEDED(typeInfo_->GetFuncDesc(i, &function)) && function.memid == member.id &&
            function.invkind == kind) {
            member.function = function;
            return true;
        }
    }
    std::fprintf(errors_, "dispcall: %s cannot be used that way\n", name.c_str());
    return false;
}

bool DispatchClient::BuildArgument(const std::string& text, VARTYPE type, VARIANT& value) {
    HRESULT status = S_OK;
    if (type == VT_BOOL && text != "true" && text != "false") {
        // A number passes its raw bits, as a C++ caller may; only true is all bits set.
        ScopedVariant number;
        number.get()->vt = VT_BSTR;
        number.get()->bstrVal = AllocAutomationString(Utf8ToUtf16(text));
        status = VariantChangeType(number.get(), number.get(), 0, VT_I2);
        if (SUCCEEDED(status)) {
            value.vt = VT_BOOL;
            value.boolVal = number->iVal;
        }
    } else {
        value.vt = VT_BSTR;
        value.bstrVal = AllocAutomationString(Utf8ToUtf16(text));
        status = VariantChangeType(&value, &value, 0, type);
    }
    if (FAILED(status))
        std::fprintf(errors_, "dispcall: '%s' is not a value of the member's type: %s\n",
                     text.c_str(), Text(HResultText(status)).c_str());
    return SUCCEEDED(status);
}

bool DispatchClient::Invoke(const std::string& what, const Member& member, uint16_t flags,
                            std::vector<VARIANT>& arguments) {
    DISPID putName = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{arguments.data(), nullptr, static_cast<uint32_t>(arguments.size()), 0};
    if (flags == DISPATCH_PROPERTYPUT) {
        parameters.rgdispidNamedArgs = &putName;
        parameters.cNamedArgs = 1;
    }
    ScopedVariant result;
    EXCEPINFO exception{};
    uint32_t argumentError = 0;
    HRESULT status = object_->Invoke(member.id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                                     result.get(), &exception, &argumentError);
    if (status == DISP_E_EXCEPTION) {
        ReportFailure(what, exception.scode, AutomationStringText(exception.bstrDescription));
        ClearExcepInfo(&exception);
        return false;
    }
    if (FAILED(status)) {
        ReportFailure(what, status, u"");
        return false;
    }
    PrintResult(*result);
    return true;
}

void DispatchClient::PrintResult(const VARIANT& result) {
    if (result.vt == VT_EMPTY)
        return;
    std::string text;
    if (result.vt == VT_BOOL) {
        text = result.boolVal ? "true" : "false";
    } else {
        ScopedVariant converted;
        if (SUCCEEDED(VariantChangeType(converted.get(), &result, 0, VT_BSTR)))
            text = Text(AutomationStringText(converted->bstrVal));
    }
    std::fprintf(output_, "%s\n", text.c_str());
}

void DispatchClient::ReportFailure(const std::string& what, HRESULT status,
                                   const std::u16string& description) {
    const std::u16string text = description.empty() ? HResultText(status) : description;
    std::fprintf(errors_, "dispcall: %s: %s %s\n", what.c_str(), HResultHex(status).c_str(),
                 Text(text).c_str());
}

} // namespace dispcall
