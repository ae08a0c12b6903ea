// The entry point of libSonoprobeWindow.so, looked up by name by the program.
#include "viewer/WindowModes.h"

extern "C" [[gnu::visibility("default")]] int
SonoprobeRunWindowModes(int argc, char** argv, const viewer::CMyCommandLineInfo* commandLine) {
    return viewer::RunWindowModes(argc, argv, *commandLine);
}
