#include "core/image/native_path.h"

// The environment, the command line and the console differ by system: file_system_posix.cpp and
// file_system_win32.cpp hold those.

namespace rt62 {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace rt62
