#pragma once
#include "platform/InputFile.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace fuzz {

// Once per process: message boxes that a parser shows go nowhere instead of to stderr.
void SilenceMessageBoxes();

// Serves the bytes as the content of a file with the given name.
void OpenMemoryFile(platform::InputFile& file, const uint8_t* data, size_t size,
                    const std::string& name);

// Runs one analysis step. A file error (a seek before the start, say) and a refused text
// conversion are the documented ways for an analysis to end early, so they are no finding;
// every other exception escapes and the fuzzer reports it.
void RunAllowingFileErrors(const std::function<void()>& step);

// A private folder for files that must exist on disk, created on first use (in /dev/shm when
// there is one) and removed when the process ends.
const std::string& ScratchFolder();

} // namespace fuzz
