#include "platform/DispatchArguments.h"

namespace platform {
namespace {

HRESULT CheckShape(const TypeMember& member, const DISPPARAMS& parameters) {
    if (member.kind == INVOKE_PROPERTYPUT) {
        if (parameters.cNamedArgs != 1 || !parameters.rgdispidNamedArgs ||
            parameters.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_PARAMNOTFOUND;
    } else if (parameters.cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    if (parameters.cArgs != member.parameters.size())
        return DISP_E_BADPARAMCOUNT;
    if (parameters.cArgs > 0 && !parameters.rgvarg)
        return E_POINTER;
    return S_OK;
}

} // namespace

DispatchArguments::~DispatchArguments() {
    for (VARIANT& value : values_)
        VariantClear(&value);
}

HRESULT DispatchArguments::Bind(const TypeMember& member, const DISPPARAMS* parameters,
                                uint32_t* argumentError) {
    const DISPPARAMS none{nullptr, nullptr, 0, 0};
    const DISPPARAMS& call = parameters ? *parameters : none;
    HRESULT status = CheckShape(member, call);
    if (FAILED(status))
        return status;
    values_.resize(member.parameters.size());
    for (VARIANT& value : values_)
        VariantInit(&value);
    for (size_t i = 0; i < values_.size(); ++i) {
        // The call lists its arguments last first.
        const uint32_t position = call.cArgs - 1 - static_cast<uint32_t>(i);
        status =
            VariantChangeType(&values_[i], &call.rgvarg[position], 0, member.parameters[i].type);
        if (FAILED(status)) {
            if (argumentError)
                *argumentError = position;
            return status;
        }
    }
    return S_OK;
}

} // namespace platform
