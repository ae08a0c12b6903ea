#pragma once
#include "viewer/CMyCommandLineInfo.h"

namespace viewer {

// Window mode and text-only mode: the modes that need a display.
int RunWindowModes(int argc, char** argv, const CMyCommandLineInfo& commandLine);

} // namespace viewer
