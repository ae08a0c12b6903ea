#pragma once
#include "control/AnalysisRecord.h"
#include "platform/InputFile.h"

#include <cstdint>
#include <string>

namespace control {

// Reads an ID3v2 tag at the start of the file, or else an ID3v1 tag at its end, into the seven
// tag fields of the record. id3v2Size receives the whole ID3v2 tag length with its 10-byte
// header (0 without one). Returns the ID3v2 body size (0 without a tag) plus 128 when the file
// ends in an ID3v1 tag.
int32_t ReadID3Tags(platform::InputFile& file, uint64_t& id3v2Size, AnalysisRecord& record);

// Reads an APE tag at the end of the file (before an ID3v1 tag, if any) into the tag fields.
// Returns the tag's size field, 0 when there is none (the fields are then untouched).
uint32_t ReadAPETag(platform::InputFile& file, AnalysisRecord& record);

} // namespace control
