#pragma once
#include <array>
#include <string>

namespace platform {
class RegistryHive;
}

namespace viewer {

// The "Sonoprobe" verb on the supported audio files: written into the registry as the shell
// menus of the system read it, and as a freedesktop desktop entry, through which file managers
// offer the program for those files. Written on every start when missing or different (the
// program may have moved); never removed.
class ShellVerbs {
  public:
    static constexpr std::array<const char16_t*, 9> AssociatedExtensions = {
        u".ac3", u".mp3", u".dts", u".ogg", u".flac", u".wav", u".pcm", u".ape", u".wv"};
    static constexpr char DesktopEntryName[] = "orvane-sonoprobe.desktop";

    explicit ShellVerbs(std::string programPath) : programPath_(std::move(programPath)) {}

    // The program in quotes, then "%1" in quotes.
    std::u16string VerbCommand() const;
    // The registry verbs of every extension, then the desktop entry. Failures are skipped.
    void Refresh() const;

    // $XDG_DATA_HOME/applications/ (~/.local/share/applications/ when unset) and the entry's
    // name; empty when neither names an absolute folder.
    static std::string DesktopEntryPath();
    std::string DesktopEntryText() const;

  private:
    void RefreshExtension(platform::RegistryHive& model, const std::u16string& extension) const;
    void UpdateCommandKey(platform::RegistryHive& model, const std::u16string& key) const;
    void UpdateDesktopEntry() const;

    std::string programPath_;
};

} // namespace viewer
