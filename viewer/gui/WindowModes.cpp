#include "viewer/WindowModes.h"

#include <cstdio>

namespace viewer {

// Replaced by the Qt windows.
int RunWindowModes(int, char**, const CMyCommandLineInfo&) {
    std::fputs("Sonoprobe: window mode is not available in this build; use -a\n", stderr);
    return 1;
}

} // namespace viewer
