#pragma once
// Files made to break parsers of audio headers and tags: sizes past the end of the file or the
// tag, sizes near 2^32, counts whose product wraps, chains that barely advance, zero divisors,
// reserved table codes, long and broken texts in every encoding, 16 MiB of 0xFF, a sparse file
// of 1 GiB. Standard library only, so that a script can build the generator on its own.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct HostileFile {
    std::string name;   // the extension picks the parser
    std::string recipe; // what the file does to a parser
    uint64_t length = 0;
    // Bytes at offsets; the rest of the file is a hole that reads as zeros.
    std::vector<std::pair<uint64_t, std::vector<uint8_t>>> pieces;
};

std::vector<HostileFile> MakeHostileFiles();

// Writes the file into the folder, holes as holes, and returns its path. Throws on failure.
std::string WriteHostileFile(const std::string& folder, const HostileFile& file);

} // namespace testsupport
