#include "platform/ProgramPath.h"
#include "shared-ui/ElfSectionReader.h"
#include "shared-ui/GetVersionText.h"
#include "shared-ui/VersionResource.h"
#include "tests/support/TestSupport.h"

#include <elf.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

using sharedui::ElfSectionReader;
using sharedui::GetVersionTextOf;
using sharedui::VersionResource;
using testsupport::Bytes;

namespace {

template <typename T> void Put(Bytes& out, const T& value) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof value);
}

// A minimal 64-bit ELF file: the header, the content of one named section, the section name
// table and the section header table (null entry, the section, the name table).
struct ElfImage {
    Bytes bytes;
    size_t headerTable = 0;

    ElfImage(const std::string& sectionName, const std::string& content) {
        bytes.resize(sizeof(Elf64_Ehdr));
        size_t contentOffset = bytes.size();
        bytes.insert(bytes.end(), content.begin(), content.end());
        std::string names = std::string("\0", 1) + sectionName + '\0' + ".shstrtab" + '\0';
        size_t namesOffset = bytes.size();
        bytes.insert(bytes.end(), names.begin(), names.end());
        headerTable = bytes.size();
        Put(bytes, Elf64_Shdr{});
        Put(bytes, Section(1, contentOffset, content.size(), SHT_PROGBITS));
        Put(bytes, Section(2 + sectionName.size(), namesOffset, names.size(), SHT_STRTAB));
        Elf64_Ehdr header{};
        std::memcpy(header.e_ident, ELFMAG, SELFMAG);
        header.e_ident[EI_CLASS] = ELFCLASS64;
        header.e_ident[EI_DATA] = ELFDATA2LSB;
        header.e_ident[EI_VERSION] = EV_CURRENT;
        header.e_shoff = headerTable;
        header.e_shentsize = sizeof(Elf64_Shdr);
        header.e_shnum = 3;
        header.e_shstrndx = 2;
        std::memcpy(bytes.data(), &header, sizeof header);
    }

    static Elf64_Shdr Section(size_t name, size_t offset, size_t size, uint32_t type) {
        Elf64_Shdr section{};
        section.sh_name = static_cast<uint32_t>(name);
        section.sh_type = type;
        section.sh_offset = offset;
        section.sh_size = size;
        return section;
    }

    // Overwrites a field of the header entry of the content section.
    template <typename T> void PatchSection(size_t fieldOffset, T value) {
        std::memcpy(bytes.data() + headerTable + sizeof(Elf64_Shdr) + fieldOffset, &value,
                    sizeof value);
    }
};

const std::string Block = "SONOVERSION 1\n"
                          "Translation 0409 04E4\n"
                          "StringFileInfo 040904e4\n"
                          "FileVersion=2.5.1\n";

} // namespace

TEST(VersionTextTest, TheProgramReadsItsOwnBuiltInVersion) {
    EXPECT_EQ(QStringLiteral("1.0.3"), sharedui::GetVersionText());
}

TEST(VersionTextTest, ReadsTheSectionOfABuiltFile) {
    testsupport::TempDir dir;
    ElfImage image(".sono_version", Block);
    EXPECT_EQ(QStringLiteral("2.5.1"), GetVersionTextOf(dir.Write("program", image.bytes)));
    EXPECT_EQ(Block, ElfSectionReader::Read(dir.path() + "/program", ".sono_version").value());
    EXPECT_FALSE(ElfSectionReader::Read(dir.path() + "/program", ".sono_other"));
}

TEST(VersionTextTest, FilesWithoutAVersionGiveAnEmptyText) {
    testsupport::TempDir dir;
    ElfImage otherSection(".data", Block);
    ElfImage truncated(".sono_version", Block);
    truncated.bytes.resize(truncated.headerTable + 10);
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"no section", otherSection.bytes},
        {"cut in the header table", truncated.bytes},
        {"not an ELF file", Bytes{'#', '!', '/', 'b', 'i', 'n'}},
        {"empty", Bytes{}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QString(), GetVersionTextOf(dir.Write("program", c.bytes))) << c.name;
    EXPECT_EQ(QString(), GetVersionTextOf(dir.path() + "/missing"));
    EXPECT_EQ(QString(), GetVersionTextOf(dir.path()));
}

TEST(VersionTextTest, SectionOffsetsAndSizesBeyondTheFileAreRefused) {
    testsupport::TempDir dir;
    struct Case {
        const char* name;
        size_t field;
        uint64_t value;
    } cases[] = {
        {"offset past the end", offsetof(Elf64_Shdr, sh_offset), 1u << 30},
        {"size past the end", offsetof(Elf64_Shdr, sh_size), 1u << 20},
        {"offset wraps around", offsetof(Elf64_Shdr, sh_offset), ~uint64_t{0} - 4},
        {"size wraps around", offsetof(Elf64_Shdr, sh_size), ~uint64_t{0}},
    };
    for (const Case& c : cases) {
        ElfImage image(".sono_version", Block);
        image.PatchSection(c.field, c.value);
        EXPECT_FALSE(ElfSectionReader::Read(dir.Write("program", image.bytes), ".sono_version"))
            << c.name;
    }
    ElfImage huge(".sono_version", Block);
    reinterpret_cast<Elf64_Ehdr*>(huge.bytes.data())->e_shnum = 0xFFFF;
    EXPECT_FALSE(ElfSectionReader::Read(dir.Write("program", huge.bytes), ".sono_version"));
    ElfImage badNames(".sono_version", Block);
    reinterpret_cast<Elf64_Ehdr*>(badNames.bytes.data())->e_shstrndx = 9;
    EXPECT_FALSE(ElfSectionReader::Read(dir.Write("program", badNames.bytes), ".sono_version"));
}

TEST(VersionTextTest, TheFirstTranslationNamesTheStringTable) {
    auto resource = VersionResource::Parse("SONOVERSION 1\n"
                                           "Translation 0407 04B0 0409 04E4\n"
                                           "StringFileInfo 040904E4\n"
                                           "FileVersion=1.0.3\n"
                                           "StringFileInfo 040704b0\n"
                                           "FileVersion=1.0.3 (de)\n");
    ASSERT_TRUE(resource);
    ASSERT_EQ(2u, resource->Translations().size());
    EXPECT_EQ(0x0407, resource->Translations()[0].language);
    EXPECT_EQ(0x04B0, resource->Translations()[0].codePage);
    EXPECT_EQ("1.0.3 (de)", resource->QueryString("040704B0", "FileVersion").value());
    EXPECT_EQ("1.0.3", resource->QueryString("040904e4", "FileVersion").value());
    EXPECT_FALSE(resource->QueryString("040904e4", "ProductName"));

    testsupport::TempDir dir;
    ElfImage image(".sono_version", "SONOVERSION 1\nTranslation 0407 04B0\n"
                                    "StringFileInfo 040704b0\nFileVersion=3.1\n");
    EXPECT_EQ(QStringLiteral("3.1"), GetVersionTextOf(dir.Write("program", image.bytes)));
}

TEST(VersionTextTest, BlocksWithoutSignatureOrTranslationAreNoVersion) {
    EXPECT_FALSE(VersionResource::Parse("Translation 0409 04E4\nStringFileInfo 040904e4\n"
                                        "FileVersion=1.0\n"));
    testsupport::TempDir dir;
    ElfImage noTranslation(".sono_version", "SONOVERSION 1\nStringFileInfo 040904e4\n"
                                            "FileVersion=1.0\n");
    EXPECT_EQ(QString(), GetVersionTextOf(dir.Write("program", noTranslation.bytes)));
}
