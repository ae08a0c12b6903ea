#pragma once
#include <cstdint>
#include <string>

namespace control {

// The results of one analysis, as the control offers them to its hosts.
struct AnalysisRecord {
    std::u16string FilePath;
    std::u16string LastError;
    std::u16string FileSize;
    std::u16string FileName;
    std::u16string Title;
    std::u16string Artist;
    std::u16string Album;
    std::u16string Genre;
    std::u16string Year;
    std::u16string Comment;
    std::u16string TrackNum;
    std::u16string SamplingRate;
    std::u16string Codec;
    std::u16string Channels;
    std::u16string Bitrate;
    std::u16string AdditionalInfo;
    std::u16string Length;
    int16_t Result = 0;
    // Code page for tag text stored without Unicode; 0 is the locale's ANSI code page.
    uint32_t CodePage = 0;

    // Empties every result and the error; keeps FilePath and CodePage.
    void ResetResults();
};

} // namespace control
