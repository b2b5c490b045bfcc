// The languages the user's system asks for, most wanted first: the platform seam of language choice,
// system_language_posix.cpp and system_language_win32.cpp (CMake builds the one that fits).
#pragma once

#include <string>
#include <vector>

namespace rt62 {

// Linux and other POSIX systems: the entries of LANGUAGE (a colon-separated list), then the first set of
// LC_ALL, LC_MESSAGES and LANG. Windows: the user's preferred display languages ("fr-FR", "en-US").
// MatchLanguage picks from these.
std::vector<std::string> SystemLanguages();

} // namespace rt62
