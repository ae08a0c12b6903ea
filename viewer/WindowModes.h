#pragma once
#include "viewer/CMyCommandLineInfo.h"

namespace viewer {

// Window mode and text-only mode: the modes that need a display.
int RunWindowModes(int argc, char** argv, const CMyCommandLineInfo& commandLine);

// The window module beside the program, and the entry point it exports: console mode never
// loads the window system's libraries.
inline constexpr const char* WindowModuleName = "libSonoprobeWindow.so";
inline constexpr const char* WindowModuleEntry = "SonoprobeRunWindowModes";
using WindowModuleEntryFunction = int (*)(int argc, char** argv,
                                          const CMyCommandLineInfo* commandLine);

} // namespace viewer
