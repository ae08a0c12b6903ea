#include "shared-ui/GetVersionText.h"

#include "platform/ProgramPath.h"
#include "shared-ui/ElfSectionReader.h"
#include "shared-ui/VersionResource.h"

#include <cstdio>

namespace sharedui {

QString GetVersionText() {
    return GetVersionTextOf(platform::ProgramPath());
}

QString GetVersionTextOf(const std::string& programPath) {
    std::optional<std::string> block = ElfSectionReader::Read(programPath, ".sono_version");
    if (!block)
        return QString();
    std::optional<VersionResource> resource = VersionResource::Parse(*block);
    if (!resource || resource->Translations().empty())
        return QString();
    // The string table of the first translation: language and code page as eight hex digits.
    const VersionResource::Translation& first = resource->Translations().front();
    char table[9];
    std::snprintf(table, sizeof table, "%04x%04x", first.language, first.codePage);
    std::optional<std::string> version = resource->QueryString(table, "FileVersion");
    return version ? QString::fromStdString(*version) : QString();
}

} // namespace sharedui
