#pragma once

namespace control {

// The value behind the ShowMessageBox property: one flag for the whole loaded module, shared by
// every control instance, tested by the driver and every parser before showing a box.
bool ShowMessageBoxEnabled();
void SetShowMessageBoxEnabled(bool enabled);

} // namespace control
