#pragma once
#include <optional>
#include <string>

namespace sharedui {

// Reads one named section out of an ELF file of this machine's byte order (32 or 64 bit). Every
// offset and size the file states is checked against the file's length before it is used.
class ElfSectionReader {
  public:
    // The section's bytes; nothing when the file cannot be read, is no such ELF file, or has no
    // section of that name with content.
    static std::optional<std::string> Read(const std::string& path, const std::string& sectionName);
};

} // namespace sharedui
