#pragma once
#include "control/AnalysisRecord.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace viewer {

// An error the control raised during a call (a file error or a refused conversion).
class ControlCallError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The viewer's binding to the analysis control: one member per control member it uses.
class CSonoprobeCtrl {
public:
    void SetCodePage(uint32_t codePage);
    // Runs the analysis; throws ControlCallError when the control raised an error.
    void SetFilePath(const std::u16string& path);
    std::u16string GetFileName();
    std::u16string GetFileSize();
    std::u16string GetFileTitle();
    std::u16string GetArtist();
    std::u16string GetAlbum();
    std::u16string GetGenre();
    std::u16string GetYear();
    std::u16string GetComment();
    std::u16string GetTrackNum();
    std::u16string GetSamplingRate();
    std::u16string GetCodec();
    std::u16string GetChannels();
    std::u16string GetBitrate();
    std::u16string GetAdditionalInfo();
    std::u16string GetLength();

private:
    control::AnalysisRecord record_;
};

} // namespace viewer
