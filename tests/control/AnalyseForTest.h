#pragma once
#include "control/AnalysisDriver.h"
#include "platform/CodePage.h"

#include <string>

namespace controltest {

// One complete analysis of the file at the path, as the control runs it.
inline control::AnalysisRecord Analyse(const std::string& path) {
    control::AnalysisRecord record;
    record.FilePath = platform::Utf8ToUtf16(path);
    record.Result = control::AnalyseFile(record);
    return record;
}

} // namespace controltest
