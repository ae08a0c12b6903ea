#pragma once
#include <string>

namespace platform {

// The user's locale as "language_TERRITORY" from LC_ALL, then the category variable, then
// LANG; "C" when none is set. Codeset and modifier are dropped.
std::string LocaleName(const char* categoryVariable = "LC_CTYPE");
// True for the C and POSIX locales.
bool IsPosixLocale(const std::string& localeName);

} // namespace platform
