#include "core/image/native_path.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace rt62 {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

#ifdef _WIN32

std::wstring WideFromUtf8(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Utf8FromWide(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                            nullptr);
    return out;
}

std::string EnvironmentUtf8(const char* name) {
    const wchar_t* value = _wgetenv(WideFromUtf8(name).c_str());
    return value ? Utf8FromWide(value) : std::string();
}

bool EnvironmentHas(const char* name) {
    return _wgetenv(WideFromUtf8(name).c_str()) != nullptr;
}

std::vector<std::string> ArgumentsUtf8(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> out;
    if (wide && count == argc) {
        for (int i = 1; i < count; ++i)
            out.push_back(Utf8FromWide(wide[i]));
    } else {
        out.assign(argv + (argc > 0 ? 1 : 0), argv + argc);
    }
    if (wide) LocalFree(wide);
    return out;
}

void UseUtf8Console() {
    SetConsoleOutputCP(CP_UTF8);
}

#else

std::string EnvironmentUtf8(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool EnvironmentHas(const char* name) {
    return std::getenv(name) != nullptr;
}

std::vector<std::string> ArgumentsUtf8(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void UseUtf8Console() {}

#endif

} // namespace rt62
