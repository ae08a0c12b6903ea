#pragma once
#include "control/AnalysisRecord.h"
#include "platform/InputFile.h"

#include <string>

namespace control {

// Every stream parser has this shape: it fills the record from the file (positioned at offset
// 0), uses the file name only in messages and name tests, and returns 0 when it accepted the
// file, 1 when the file is non-valid.
using ParserFunction = int (*)(AnalysisRecord& record, platform::InputFile& file,
                               std::u16string fileName);

int ParseAC3(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName);
int ParseMP3(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName);
int ParseDTS(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName);
int ParseOGG(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName);
int ParseFLAC(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName);
int ParseWAV(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName);
int ParseAPE(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName);
int ParseWavPack(AnalysisRecord& record, platform::InputFile& file, std::u16string fileName);

// The parser that the name's ending selects, or nullptr when none belongs to it.
ParserFunction SelectParser(const std::u16string& fileName);

} // namespace control
