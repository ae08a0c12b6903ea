#include "control/ModuleState.h"

namespace control {
namespace {
bool showMessageBox = true;
}

bool ShowMessageBoxEnabled() { return showMessageBox; }
void SetShowMessageBoxEnabled(bool enabled) { showMessageBox = enabled; }

} // namespace control
