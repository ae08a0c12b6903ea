#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// An INI file ("[section]" and "key=value" lines) as text, changed line by line so that
// comments, order, spacing and line ends of everything else stay as they were. Section and
// key names compare without case; values lose surrounding blanks and one pair of matching
// quotes when read, as the system's reader does.
class IniFile {
  public:
    static IniFile Parse(std::string_view text);
    std::string ToText() const;

    std::optional<std::u16string> Get(std::u16string_view section, std::u16string_view key) const;
    // Replaces the key's value, or adds the key (and the section) when missing. False, with
    // nothing changed, for names or values a line cannot hold (line breaks, "=" in a key,
    // "]" in a section, empty names).
    bool Set(std::u16string_view section, std::u16string_view key, std::u16string_view value);

  private:
    struct Entry {
        std::u16string key;
        std::u16string value;
    };
    static std::optional<std::u16string> SectionName(std::string_view line);
    static std::optional<Entry> KeyEntry(std::string_view line);
    static bool SameName(std::u16string_view a, std::u16string_view b);
    // The line index range [first, last) of the section's body; nothing when it is absent.
    std::optional<std::pair<size_t, size_t>> FindSection(std::u16string_view section) const;
    std::string LineEnd() const;

    std::vector<std::string> lines_; // without their "\n"; a "\r" stays with its line
    bool endsWithNewline_ = false;
    bool byteOrderMark_ = false; // files saved by Windows editors often start with one
};

} // namespace platform
