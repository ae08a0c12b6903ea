#pragma once
#include "viewer/AudioFileFields.h"

#include <string>

namespace viewer {

// The plain-text report of one file: labelled lines, each ended by the line delimiter.
void BuildTextReport(const AudioFileFields& fields, const std::u16string& fieldDelimiter,
                     const std::u16string& lineDelimiter, std::u16string& report);

// The console delimiters from the registry profile.
std::u16string LineDelimiter();
std::u16string FieldDelimiter();

// Pairs of hexadecimal digits to characters; a pair that is not hexadecimal stands for "?".
std::u16string DecodeHexCharacters(const std::u16string& hex);

} // namespace viewer
