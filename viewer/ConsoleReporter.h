#pragma once
#include "viewer/CSonoprobeCtrl.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace viewer {

// Console mode: a text report on the output for every file or folder that matches a pattern,
// optionally after those of all subfolders (depth first; names beginning with "." skipped).
class ConsoleReporter {
  public:
    ConsoleReporter(CSonoprobeCtrl& control, bool recursive, std::FILE* output = stdout);
    void WriteConsoleReports(const std::u16string& pattern);

    // Names in the folder that match the wildcard pattern (ASCII letters without case; "*.*"
    // matches every name), sorted by name. A pattern without wildcards names one entry.
    static std::vector<std::string> ListMatches(const std::string& folder,
                                                const std::string& namePattern);
    static bool MatchesWildcard(const std::string& name, const std::string& pattern);

  private:
    void ReportSubfolders(const std::string& pattern);
    // What the settings say for a whole pattern: read once, not once per file.
    struct PatternSettings {
        std::u16string fieldDelimiter;
        std::u16string lineDelimiter;
        uint32_t tagsCodePage;
    };
    void ReportFile(const std::u16string& path, const PatternSettings& settings);

    CSonoprobeCtrl& control_;
    bool recursive_;
    std::FILE* output_;
};

} // namespace viewer
