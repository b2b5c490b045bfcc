// Paths and environment texts as UTF-8 everywhere in the program. On Windows the narrow file and
// environment functions use the ANSI code page, so a folder named "Jörg" or "李" must go through the
// wide-character API; these are the only conversions, and elsewhere they are plain copies. The
// system's half is in file_system_posix.cpp and file_system_win32.cpp.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rt62 {

// A file-system path from UTF-8 text, and back.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// An environment variable's value as UTF-8; empty when it is not set.
std::string EnvironmentUtf8(const char* name);
// Whether an environment variable is set at all (even to an empty value).
bool EnvironmentHas(const char* name);

// The program's arguments (without the program name) as UTF-8. On Windows they are read again from
// the wide command line, since argv holds them in the ANSI code page.
std::vector<std::string> ArgumentsUtf8(int argc, char** argv);

#ifdef _WIN32
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
#endif

} // namespace rt62
