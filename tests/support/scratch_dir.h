// Scratch folders for the core and command-line tests: each one new and this process's own, so that
// test runs side by side (two build folders, a developer's run beside CI's) never meet.
#pragma once

#include <cerrno>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <stdlib.h>
#endif

namespace rt62::test {

// Makes a new folder "<prefix>XXXXXX" in the system's temporary folder that no other process has;
// prefix is UTF-8. Throws when none can be made, which fails the test.
inline std::filesystem::path MakeScratchDir(const std::string& prefix) {
    namespace fs = std::filesystem;
    const fs::path base = fs::temp_directory_path();
#ifdef _WIN32
    // No mkdtemp here: a random name, taken only when the folder did not exist before.
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i)
            name += kChars[random() % (sizeof kChars - 1)];
        const fs::path dir = base / fs::path(std::u8string(name.begin(), name.end()));
        if (fs::create_directory(dir)) return dir;
    }
    throw fs::filesystem_error("no new scratch folder", base, std::make_error_code(std::errc::file_exists));
#else
    std::string pattern = (base / (prefix + "XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        throw fs::filesystem_error("mkdtemp", base, std::error_code(errno, std::generic_category()));
    return pattern;
#endif
}

// Removes a scratch folder with everything in it; read-only files too, which Windows keeps otherwise.
inline void RemoveScratchDir(const std::filesystem::path& dir) {
    namespace fs = std::filesystem;
    if (dir.empty()) return;
    std::error_code ec, ignored;
    // Each folder is opened up before the walk goes into it; links are left alone, not their targets.
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (!it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir, ignored);
}

// A scratch folder for as long as the object lives.
struct ScratchFolder {
    std::filesystem::path path;
    explicit ScratchFolder(const std::string& prefix) : path(MakeScratchDir(prefix)) {}
    ~ScratchFolder() { RemoveScratchDir(path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};

} // namespace rt62::test
