#include "viewer/ShellVerbs.h"

#include "platform/AtomicTextFile.h"
#include "platform/CodePage.h"
#include "platform/Registry.h"
#include "platform/RegistryHive.h"

#include <cstdlib>
#include <optional>

namespace viewer {
namespace {

using platform::Hive;

// The audio MIME types of the extensions, as shared-mime-info names them. Raw ".pcm" data has
// no type of its own.
constexpr char MimeTypes[] = "audio/ac3;audio/mpeg;audio/vnd.dts;audio/ogg;audio/x-vorbis+ogg;"
                             "audio/flac;audio/x-flac;audio/x-wav;audio/wav;audio/vnd.wave;"
                             "audio/x-ape;audio/x-wavpack;";

const std::u16string* DefaultString(const platform::RegistryHive& model,
                                    const std::u16string& key) {
    const platform::RegistryValue* value = model.Find(key, u"");
    return value ? std::get_if<std::u16string>(value) : nullptr;
}

// One argument of an Exec line: quoted, with the characters that are special inside quotes
// escaped, and "%" doubled so that it is no field code.
std::string QuotedExecArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
        if (c == '%')
            quoted += '%';
    }
    return quoted + "\"";
}

// A desktop entry's string values escape backslashes and line breaks once more.
std::string EscapedValue(const std::string& value) {
    std::string escaped;
    for (char c : value) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else if (c == '\r')
            escaped += "\\r";
        else
            escaped += c;
    }
    return escaped;
}

} // namespace

std::u16string ShellVerbs::VerbCommand() const {
    return u"\"" + platform::Utf8ToUtf16(programPath_) + u"\" \"%1\"";
}

void ShellVerbs::Refresh() const {
    // One pass over the hive; it is rewritten only when a verb changed.
    platform::Registry::Transact(Hive::ClassesRoot, [this](platform::RegistryHive& model) {
        for (const char16_t* extension : AssociatedExtensions)
            RefreshExtension(model, extension);
        return true;
    });
    UpdateDesktopEntry();
}

void ShellVerbs::RefreshExtension(platform::RegistryHive& model,
                                  const std::u16string& extension) const {
    const std::u16string* fileType = DefaultString(model, extension);
    if (fileType && !fileType->empty())
        UpdateCommandKey(model, *fileType + u"\\shell\\Sonoprobe\\command");
    UpdateCommandKey(model,
                     u"SystemFileAssociations\\" + extension + u"\\Shell\\Sonoprobe\\command");
}

void ShellVerbs::UpdateCommandKey(platform::RegistryHive& model, const std::u16string& key) const {
    const std::u16string command = VerbCommand();
    const std::u16string* current = DefaultString(model, key);
    if (!current || *current != command)
        model.SetValue(key, u"", command);
}

std::string ShellVerbs::DesktopEntryPath() {
    // Only an absolute XDG_DATA_HOME counts.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    std::string folder;
    if (dataHome && dataHome[0] == '/')
        folder = dataHome;
    else if (home && home[0] == '/')
        folder = std::string(home) + "/.local/share";
    else
        return {};
    return folder + "/applications/" + DesktopEntryName;
}

std::string ShellVerbs::DesktopEntryText() const {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Sonoprobe\n"
           "Comment=Stream headers and tags of audio files\n"
           "Exec=" +
           EscapedValue(QuotedExecArgument(programPath_)) +
           " %f\n"
           "Terminal=false\n"
           "Categories=AudioVideo;Audio;\n"
           "MimeType=" +
           MimeTypes + "\n";
}

void ShellVerbs::UpdateDesktopEntry() const {
    const std::string path = DesktopEntryPath();
    const std::string text = DesktopEntryText();
    if (path.empty() || platform::AtomicTextFile::Read(path) == text)
        return;
    platform::AtomicTextFile::Update(
        path, [&](const std::string*) { return std::optional<std::string>(text); }, 0644);
}

} // namespace viewer
