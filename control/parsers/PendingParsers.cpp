// Parsers not written yet: they accept nothing. Each one leaves this file when it lands.
#include "control/parsers/ParserCommon.h"
#include "control/parsers/Parsers.h"

namespace control {

int ParseAC3(AnalysisRecord&, platform::InputFile&, std::u16string) { return 0; }
int ParseMP3(AnalysisRecord&, platform::InputFile&, std::u16string) { return 0; }
int ParseDTS(AnalysisRecord&, platform::InputFile&, std::u16string) { return 0; }
int ParseOGG(AnalysisRecord&, platform::InputFile&, std::u16string) { return 0; }
int ParseFLAC(AnalysisRecord&, platform::InputFile&, std::u16string) { return 0; }
int ParseAPE(AnalysisRecord&, platform::InputFile&, std::u16string) { return 0; }
int ParseWavPack(AnalysisRecord&, platform::InputFile&, std::u16string) { return 0; }

} // namespace control
