#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Puts a program's version block into the section GetVersionText reads back from the program's
// file. The block is UTF-8 text:
//   SONOVERSION 1
//   Translation 0409 04E4            (language and code page pairs, in order)
//   StringFileInfo 040904e4          (opens the string table of one translation)
//   FileVersion=1.0.3                (name=value lines of that table)
#define SONO_VERSION_RESOURCE(text)                                                                \
    [[gnu::used, gnu::section(".sono_version")]] extern const char SonoVersionResource[] = text;

namespace sharedui {

// A parsed version block.
class VersionResource {
  public:
    struct Translation {
        uint16_t language;
        uint16_t codePage;
    };

    // Nothing when the text does not begin with the block's signature line.
    static std::optional<VersionResource> Parse(std::string_view text);

    const std::vector<Translation>& Translations() const { return translations_; }
    // A value of the string table named by eight hexadecimal digits (letter case ignored).
    std::optional<std::string> QueryString(const std::string& table, const std::string& name) const;

  private:
    void ParseLine(std::string_view line, std::string& currentTable);

    std::vector<Translation> translations_;
    std::map<std::string, std::map<std::string, std::string>> tables_;
};

} // namespace sharedui
