#pragma once
#include <QString>
#include <string>

namespace sharedui {

// The running program's FileVersion string from the version block built into its file (see
// SONO_VERSION_RESOURCE); empty when anything fails.
QString GetVersionText();
// The same for any program file.
QString GetVersionTextOf(const std::string& programPath);

} // namespace sharedui
