#include "viewer/gui/TagCommands.h"

#include "viewer/gui/CSonoprobeDlg.h"

namespace viewer {

// The tag editor and the code page dialog are not part of this build yet: the commands change
// nothing, so there is nothing to show again.
void TagCommands::EditTags(CSonoprobeDlg&) {}

void TagCommands::SelectCodepage(CSonoprobeDlg&) {}

} // namespace viewer
