// The FLAC parser: STREAMINFO, the metadata block walk and the Vorbis comment walk.
#include "FuzzSupport.h"

#include "control/parsers/Parsers.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessageBoxes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    control::AnalysisRecord record;
    platform::InputFile file;
    fuzz::OpenMemoryFile(file, data, size, "a.flac");
    fuzz::RunAllowingFileErrors([&] {
        const int result = control::ParseFLAC(record, file, u"a.flac");
        if ((result == 1) != !record.LastError.empty())
            std::abort();
    });
    return 0;
}
