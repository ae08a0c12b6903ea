#pragma once
#include <optional>
#include <string>
#include <vector>

namespace viewer {

// Page Up, Page Down, Home and End of the information dialog: the neighbours of the shown file
// among the supported files of its folder.
class FolderBrowser {
  public:
    enum class Key { PageUp, PageDown, Home, End };

    // The file to show instead of filePath, nothing when the key leads nowhere: fewer than two
    // supported files, the end of the list, or the target is the shown file itself.
    static std::optional<std::string> Target(const std::string& filePath, Key key);
    // Folder part + name of every supported file in the folder ("" is the current folder),
    // sorted without regard to letter case.
    static std::vector<std::string> SupportedFiles(const std::string& folder);
    static bool IsSupported(const std::string& path);
};

} // namespace viewer
