#pragma once
#include "tests/support/TestSupport.h"

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// The 128-byte ID3v1 tag that ends a file: title, artist, album, year, comment, genre number.
Bytes Id3v1Tag(const std::string& title, const std::string& artist, const std::string& album,
               const std::string& year = "", uint8_t genre = 255);

// An APE tag (version 2000) with header and footer, holding UTF-8 text items in the given order.
Bytes ApeTag(const std::vector<std::pair<std::string, std::string>>& items);

} // namespace testsupport
