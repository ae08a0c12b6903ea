#include "viewer/ConsoleReporter.h"

#include "platform/CodePage.h"
#include "viewer/FileLoader.h"
#include "viewer/TextReport.h"

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace viewer {
namespace {

bool HasWildcard(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string CurrentFolder() {
    std::unique_ptr<char, decltype(&free)> cwd(getcwd(nullptr, 0), &free);
    return cwd ? std::string(cwd.get()) + "/" : std::string();
}

// Splits at the last "/": the folder keeps its "/", the name is the rest.
std::pair<std::string, std::string> SplitPattern(const std::string& pattern) {
    auto slash = pattern.rfind('/');
    if (slash == std::string::npos)
        return {std::string(), pattern};
    return {pattern.substr(0, slash + 1), pattern.substr(slash + 1)};
}

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

bool IsRealFolder(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

ConsoleReporter::ConsoleReporter(CSonoprobeCtrl& control, bool recursive, std::FILE* output)
    : control_(control), recursive_(recursive), output_(output) {}

bool ConsoleReporter::MatchesWildcard(const std::string& name, const std::string& pattern) {
    if (pattern == "*.*" || pattern == "*")
        return true;
    // Iterative wildcard match with one backtrack point for the last "*".
    size_t n = 0, p = 0, starAt = std::string::npos, resumeName = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeName = n;
        } else if (starAt != std::string::npos) {
            p = starAt + 1;
            n = ++resumeName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<std::string> ConsoleReporter::ListMatches(const std::string& folder,
                                                      const std::string& namePattern) {
    std::vector<std::string> names;
    if (namePattern.empty())
        return names;
    const std::string folderPath = folder.empty() ? std::string(".") : folder;
    if (!HasWildcard(namePattern)) {
        struct stat info {};
        if (::stat((folder + namePattern).c_str(), &info) == 0)
            names.push_back(namePattern);
        return names;
    }
    std::unique_ptr<DIR, FolderCloser> dir(opendir(folderPath.c_str()));
    if (!dir)
        return names;
    while (dirent* entry = readdir(dir.get())) {
        std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (MatchesWildcard(name, namePattern))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void ConsoleReporter::ReportSubfolders(const std::string& pattern) {
    auto [folder, name] = SplitPattern(pattern);
    if (pattern.find('/') == std::string::npos)
        folder = CurrentFolder();
    for (const std::string& entry : ListMatches(folder, "*.*")) {
        if (entry[0] == '.' || !IsRealFolder(folder + entry))
            continue;
        WriteConsoleReports(platform::Utf8ToUtf16(folder + entry + "/" + name));
    }
}

void ConsoleReporter::WriteConsoleReports(const std::u16string& widePattern) {
    const std::string pattern = platform::Utf16ToUtf8(widePattern);
    if (!pattern.empty() && HasWildcard(pattern) && recursive_)
        ReportSubfolders(pattern);
    const PatternSettings settings{FieldDelimiter(), LineDelimiter(), TagsCodePageSetting()};
    auto [folder, name] = SplitPattern(pattern);
    for (const std::string& match : ListMatches(folder, name))
        ReportFile(platform::Utf8ToUtf16(folder + match), settings);
}

void ConsoleReporter::ReportFile(const std::u16string& path, const PatternSettings& settings) {
    AudioFileFields fields;
    fields.FilePath = path;
    LoadAudioFile(control_, fields, settings.tagsCodePage);
    std::u16string report;
    BuildTextReport(fields, settings.fieldDelimiter, settings.lineDelimiter, report);
    std::string text = platform::ToLocaleCharset(report) + "\n";
    // The output's own buffering (by line on a terminal) decides when reports are written: a
    // system call per file would cost as much as its analysis.
    std::fwrite(text.data(), 1, text.size(), output_);
}

} // namespace viewer
