// Parsers not written yet: they accept nothing. Each one leaves this file when it lands.
#include "control/parsers/ParserCommon.h"
#include "control/parsers/Parsers.h"

namespace control {


} // namespace control
