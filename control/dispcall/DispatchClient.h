#pragma once
#include "platform/ComInterfaces.h"
#include "platform/ComPtr.h"

#include <cstdio>
#include <string>
#include <vector>

namespace dispcall {

// A late-bound automation client: it creates an object through the registry and runs
// operations on it by member name, the way a script does. Arguments are typed from the
// object's type information.
class DispatchClient {
  public:
    DispatchClient(std::FILE* output, std::FILE* errors) : output_(output), errors_(errors) {}

    // Creates the object named by a ProgID or a class identifier "{...}". False (and a message
    // on the error stream) when that fails.
    bool Create(const std::string& name);
    // Runs "get NAME", "put NAME VALUE" and "call NAME ARGUMENT..." operations in order and
    // prints each result on its own line. Stops at the first failure: 1 for a failed call, 2
    // for operations that cannot be read; 0 when all ran.
    int Run(const std::vector<std::string>& operations);

  private:
    struct Member {
        platform::DISPID id = platform::DISPID_UNKNOWN;
        platform::FUNCDESC function{};
    };

    int RunOne(const std::vector<std::string>& operations, size_t& next);
    bool FindMember(const std::string& name, platform::INVOKEKIND kind, Member& member);
    bool BuildArgument(const std::string& text, platform::VARTYPE type, platform::VARIANT& value);
    bool Invoke(const std::string& what, const Member& member, uint16_t flags,
                std::vector<platform::VARIANT>& arguments);
    void PrintResult(const platform::VARIANT& result);
    void ReportFailure(const std::string& what, platform::HRESULT status,
                       const std::u16string& description);

    std::FILE* output_;
    std::FILE* errors_;
    platform::ComPtr<platform::IDispatch> object_;
    platform::ComPtr<platform::ITypeInfo> typeInfo_;
};

} // namespace dispcall
