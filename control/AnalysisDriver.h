#pragma once
#include "control/AnalysisRecord.h"

namespace control {

// Runs one complete analysis of record.FilePath into the record and returns the result code:
// 0 analysed (or no parser for the extension), 1 rejected by the parser, 2 cannot open.
// File errors and refused conversions are not caught here; they reach the caller.
int16_t AnalyseFile(AnalysisRecord& record);

// The "%.2f Mb ( %s bytes )" size text for a length in bytes.
std::u16string FormatFileSize(uint64_t length);
// Removes leading and trailing white space.
std::u16string TrimWhiteSpace(const std::u16string& text);

} // namespace control
