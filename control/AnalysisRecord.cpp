#include "control/AnalysisRecord.h"

namespace control {

void AnalysisRecord::ResetResults() {
    for (std::u16string* field :
         {&Length, &Year, &Genre, &Album, &Artist, &Title, &FileSize, &FileName, &AdditionalInfo,
          &Bitrate, &Channels, &Codec, &SamplingRate, &TrackNum, &Comment, &LastError})
        field->clear();
    Result = 0;
}

} // namespace control
