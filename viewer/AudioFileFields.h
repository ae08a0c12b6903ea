#pragma once
#include <string>

namespace viewer {

// The main dialog's result fields: the path sent to the control and the fifteen strings it
// returned for it.
struct AudioFileFields {
    std::u16string FilePath;
    std::u16string FileName;
    std::u16string FileSize;
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
};

} // namespace viewer
