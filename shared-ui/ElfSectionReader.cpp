#include "shared-ui/ElfSectionReader.h"

#include "platform/FileError.h"
#include "platform/InputFile.h"

#include <bit>
#include <cstring>
#include <elf.h>
#include <vector>

namespace sharedui {
namespace {

// Tables larger than this are no section header table or version block of a real program.
constexpr uint64_t MaxTableSize = 16 * 1024 * 1024;

bool ReadAt(platform::InputFile& file, uint64_t offset, uint64_t size, std::string& out) {
    uint64_t length = file.GetLength();
    if (size > MaxTableSize || offset > length || size > length - offset)
        return false;
    out.resize(size);
    file.Seek(static_cast<int64_t>(offset), platform::InputFile::Origin::Begin);
    return file.Read(out.data(), static_cast<uint32_t>(size)) == size;
}

template <typename Header> bool ReadStruct(const std::string& bytes, uint64_t offset, Header& out) {
    if (offset > bytes.size() || sizeof(Header) > bytes.size() - offset)
        return false;
    std::memcpy(&out, bytes.data() + offset, sizeof(Header));
    return true;
}

bool NameAt(const std::string& names, uint64_t offset, const std::string& wanted) {
    if (offset >= names.size())
        return false;
    size_t end = names.find('\0', offset);
    if (end == std::string::npos)
        return false;
    return names.compare(offset, end - offset, wanted) == 0;
}

template <typename Ehdr, typename Shdr> class ElfFile {
  public:
    explicit ElfFile(platform::InputFile& file) : file_(file) {}

    std::optional<std::string> Section(const std::string& name) {
        if (!ReadHeaders())
            return std::nullopt;
        std::string names;
        if (!SectionBytes(stringTableIndex_, names))
            return std::nullopt;
        for (uint64_t index = 0; index < count_; ++index) {
            Shdr header;
            if (!Header(index, header) || header.sh_type == SHT_NOBITS)
                continue;
            std::string content;
            if (NameAt(names, header.sh_name, name) && SectionBytes(index, content))
                return content;
        }
        return std::nullopt;
    }

  private:
    bool ReadHeaders() {
        std::string raw;
        Ehdr elf;
        if (!ReadAt(file_, 0, sizeof(Ehdr), raw) || !ReadStruct(raw, 0, elf))
            return false;
        if (elf.e_shoff == 0 || elf.e_shentsize < sizeof(Shdr))
            return false;
        entrySize_ = elf.e_shentsize;
        // The first entry carries the count and the name table's index when they overflow.
        std::string first;
        Shdr zero;
        if (!ReadAt(file_, elf.e_shoff, sizeof(Shdr), first) || !ReadStruct(first, 0, zero))
            return false;
        count_ = elf.e_shnum != 0 ? elf.e_shnum : zero.sh_size;
        stringTableIndex_ = elf.e_shstrndx != SHN_XINDEX ? elf.e_shstrndx : zero.sh_link;
        if (count_ == 0 || count_ > MaxTableSize / entrySize_)
            return false;
        return ReadAt(file_, elf.e_shoff, count_ * entrySize_, table_);
    }

    bool Header(uint64_t index, Shdr& out) const {
        return index < count_ && ReadStruct(table_, index * entrySize_, out);
    }

    bool SectionBytes(uint64_t index, std::string& out) {
        Shdr header;
        return Header(index, header) && ReadAt(file_, header.sh_offset, header.sh_size, out);
    }

    platform::InputFile& file_;
    std::string table_;
    uint64_t entrySize_ = 0;
    uint64_t count_ = 0;
    uint64_t stringTableIndex_ = 0;
};

bool IsOwnByteOrder(unsigned char data) {
    return data == (std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB);
}

} // namespace

std::optional<std::string> ElfSectionReader::Read(const std::string& path,
                                                  const std::string& sectionName) {
    platform::InputFile file;
    if (!file.Open(path))
        return std::nullopt;
    try {
        std::string ident;
        if (!ReadAt(file, 0, EI_NIDENT, ident) || std::memcmp(ident.data(), ELFMAG, SELFMAG) != 0 ||
            !IsOwnByteOrder(static_cast<unsigned char>(ident[EI_DATA])))
            return std::nullopt;
        if (ident[EI_CLASS] == ELFCLASS64)
            return ElfFile<Elf64_Ehdr, Elf64_Shdr>(file).Section(sectionName);
        if (ident[EI_CLASS] == ELFCLASS32)
            return ElfFile<Elf32_Ehdr, Elf32_Shdr>(file).Section(sectionName);
    } catch (const platform::FileError&) {
    }
    return std::nullopt;
}

} // namespace sharedui
