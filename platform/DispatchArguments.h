#pragma once
#include "platform/ComVariant.h"
#include "platform/TypeDescription.h"

#include <vector>

namespace platform {

// The arguments of one dispatch call, converted to the types the member declares, first
// parameter first. Values of the declared type pass unchanged (a VT_BOOL keeps its raw bits).
class DispatchArguments {
  public:
    DispatchArguments() = default;
    ~DispatchArguments();
    DispatchArguments(const DispatchArguments&) = delete;
    DispatchArguments& operator=(const DispatchArguments&) = delete;

    // DISP_E_BADPARAMCOUNT for a wrong number of arguments, DISP_E_NONAMEDARGS for named
    // arguments to a method, DISP_E_PARAMNOTFOUND for a put without its value, or the
    // conversion's error with argumentError set to the argument's index in the call.
    HRESULT Bind(const TypeMember& member, const DISPPARAMS* parameters, uint32_t* argumentError);

    size_t size() const { return values_.size(); }
    const VARIANT& operator[](size_t index) const { return values_[index]; }

  private:
    std::vector<VARIANT> values_;
};

} // namespace platform
