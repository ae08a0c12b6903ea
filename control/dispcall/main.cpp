// dispcall: drives a registered automation component from the command line, and registers or
// unregisters a component library the way the system's registration tool does.
#include "control/dispcall/DispatchClient.h"
#include "platform/CodePage.h"
#include "platform/ComActivation.h"
#include "platform/DynamicLibrary.h"

#include <clocale>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr const char* Usage =
    "Usage: dispcall OBJECT OPERATION...\n"
    "       dispcall --register LIBRARY\n"
    "       dispcall --unregister LIBRARY\n"
    "OBJECT is a ProgID or a class identifier {...}. Operations run in order:\n"
    "  get NAME             print a property\n"
    "  put NAME VALUE       set a property\n"
    "  call NAME ARGS...    call a method with as many arguments as it declares; print its "
    "result\n"
    "Values are typed from the type library: text, integers, and BOOL as true or false (a\n"
    "number is passed as the raw 16-bit value). A failed call prints the result code and its\n"
    "description on standard error and ends with status 1.\n";

// A file in the current folder must not be looked up on the library search path.
std::string LibraryPath(const std::string& name) {
    struct stat info {};
    if (name.find('/') == std::string::npos && ::stat(name.c_str(), &info) == 0)
        return "./" + name;
    return name;
}

int CallRegistrationEntry(const std::string& library, const char* entry) {
    platform::DynamicLibrary loaded(LibraryPath(library));
    if (!loaded.IsLoaded()) {
        std::fprintf(stderr, "dispcall: cannot load %s: %s\n", library.c_str(),
                     loaded.Error().c_str());
        return 1;
    }
    auto function = loaded.Find<platform::DllRegisterServerFunction>(entry);
    if (!function) {
        std::fprintf(stderr, "dispcall: %s has no %s\n", library.c_str(), entry);
        return 1;
    }
    platform::HRESULT status = function();
    // Objects of the library may outlive this scope in a sanitizer's leak report.
    loaded.KeepLoaded();
    if (platform::FAILED(status)) {
        std::fprintf(stderr, "dispcall: %s: %s %s\n", entry, platform::HResultHex(status).c_str(),
                     platform::ToLocaleCharset(platform::HResultText(status)).c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_CTYPE, ""); // the character set only: numbers keep the C locale's point
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 2 && arguments[0] == "--register")
        return CallRegistrationEntry(arguments[1], "DllRegisterServer");
    if (arguments.size() == 2 && arguments[0] == "--unregister")
        return CallRegistrationEntry(arguments[1], "DllUnregisterServer");
    if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (arguments.empty() || arguments[0].starts_with("-")) {
        std::fputs(Usage, stderr);
        return 2;
    }
    dispcall::DispatchClient client(stdout, stderr);
    if (!client.Create(arguments[0]))
        return 1;
    return client.Run(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
}
