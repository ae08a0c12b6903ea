#include "viewer/CSonoprobeCtrl.h"

#include "control/AnalysisDriver.h"

namespace viewer {

void CSonoprobeCtrl::SetCodePage(uint32_t codePage) { record_.CodePage = codePage; }

void CSonoprobeCtrl::SetFilePath(const std::u16string& path) {
    record_.ResetResults();
    record_.FilePath = path;
    try {
        record_.Result = control::AnalyseFile(record_);
    } catch (const std::exception& error) {
        throw ControlCallError(error.what());
    }
}

std::u16string CSonoprobeCtrl::GetFileName() { return record_.FileName; }
std::u16string CSonoprobeCtrl::GetFileSize() { return record_.FileSize; }
std::u16string CSonoprobeCtrl::GetFileTitle() { return record_.Title; }
std::u16string CSonoprobeCtrl::GetArtist() { return record_.Artist; }
std::u16string CSonoprobeCtrl::GetAlbum() { return record_.Album; }
std::u16string CSonoprobeCtrl::GetGenre() { return record_.Genre; }
std::u16string CSonoprobeCtrl::GetYear() { return record_.Year; }
std::u16string CSonoprobeCtrl::GetComment() { return record_.Comment; }
std::u16string CSonoprobeCtrl::GetTrackNum() { return record_.TrackNum; }
std::u16string CSonoprobeCtrl::GetSamplingRate() { return record_.SamplingRate; }
std::u16string CSonoprobeCtrl::GetCodec() { return record_.Codec; }
std::u16string CSonoprobeCtrl::GetChannels() { return record_.Channels; }
std::u16string CSonoprobeCtrl::GetBitrate() { return record_.Bitrate; }
std::u16string CSonoprobeCtrl::GetAdditionalInfo() { return record_.AdditionalInfo; }
std::u16string CSonoprobeCtrl::GetLength() { return record_.Length; }

} // namespace viewer
