#include "viewer/gui/FolderBrowser.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <strings.h>

namespace viewer {
namespace {

const std::array<std::string, 9> BrowseExtensions = {".ac3", ".dts", ".mp3", ".ogg", ".flac",
                                                     ".wav", ".wv",  ".pcm", ".ape"};

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    int order = strcasecmp(a.c_str(), b.c_str());
    return order != 0 ? order < 0 : a < b;
}

std::string FolderOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::optional<std::string> Neighbour(const std::vector<std::string>& files,
                                     const std::string& filePath, bool next) {
    auto current = std::find(files.begin(), files.end(), filePath);
    if (current == files.end())
        return std::nullopt;
    if (next)
        return current + 1 == files.end() ? std::nullopt : std::optional(*(current + 1));
    return current == files.begin() ? std::nullopt : std::optional(*(current - 1));
}

} // namespace

bool FolderBrowser::IsSupported(const std::string& path) {
    return std::any_of(
        BrowseExtensions.begin(), BrowseExtensions.end(), [&](const std::string& extension) {
            return path.size() >= extension.size() &&
                   EqualsIgnoringCase(path.substr(path.size() - extension.size()), extension);
        });
}

std::vector<std::string> FolderBrowser::SupportedFiles(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        std::error_code typeError;
        std::string path = folder + entries->path().filename().string();
        if (!entries->is_directory(typeError) && IsSupported(path))
            files.push_back(path);
    }
    std::sort(files.begin(), files.end(), LessIgnoringCase);
    return files;
}

std::optional<std::string> FolderBrowser::Target(const std::string& filePath, Key key) {
    std::vector<std::string> files = SupportedFiles(FolderOf(filePath));
    if (files.size() < 2)
        return std::nullopt;
    std::optional<std::string> target;
    switch (key) {
    case Key::Home:
        target = files.front();
        break;
    case Key::End:
        target = files.back();
        break;
    case Key::PageDown:
    case Key::PageUp:
        target = Neighbour(files, filePath, key == Key::PageDown);
        break;
    }
    if (target && EqualsIgnoringCase(*target, filePath))
        return std::nullopt;
    return target;
}

} // namespace viewer
