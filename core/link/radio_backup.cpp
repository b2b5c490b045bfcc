#include "core/link/radio_backup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <system_error>

#include "core/image/data_file.h"
#include "core/image/fields.h"
#include "core/image/file_system.h"
#include "core/image/native_path.h"

namespace rt62 {

namespace fs = std::filesystem;

namespace {

constexpr const char* kExtension = ".r62";

bool IsDigits(const std::string& s, std::size_t from, std::size_t count) {
    if (s.size() < from + count) return false;
    return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(from),
                       s.begin() + static_cast<std::ptrdiff_t>(from + count),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// "YYYYMMDD-HHMMSS-" ... ".r62": only such files are ever removed by the pruning.
bool IsBackupName(const std::string& name) {
    const std::string ext = kExtension;
    return name.size() > 16 + ext.size() && IsDigits(name, 0, 8) && name[8] == '-' && IsDigits(name, 9, 6) &&
           name[15] == '-' && name.compare(name.size() - ext.size(), ext.size(), ext) == 0;
}


// A name in folder that no file has yet: the plain name, then "-2", "-3", ... before the extension.
std::string FreePath(const fs::path& folder, const std::string& name) {
    const std::string stem = name.substr(0, name.size() - std::string(kExtension).size());
    for (int i = 1; i < 1000; ++i) {
        const std::string candidate = i == 1 ? name : stem + "-" + std::to_string(i) + kExtension;
        std::error_code ec;
        const fs::path p = folder / PathFromUtf8(candidate);
        if (!fs::exists(fs::symlink_status(p, ec))) return Utf8FromPath(p);
    }
    return {};
}

void Prune(const std::string& folder, const std::string& keepPath, int keep) {
    std::vector<std::string> all = ListBackups(folder);
    // The file just written stays whatever its name says (a clock set back would make it the oldest).
    std::erase(all, keepPath);
    const std::size_t room = keep > 0 ? static_cast<std::size_t>(keep - 1) : 0;
    if (all.size() <= room) return;
    for (std::size_t i = 0; i < all.size() - room; ++i) {
        std::error_code ec;
        fs::remove(PathFromUtf8(all[i]), ec); // a backup that will not go is only an extra file, not a failure
    }
}

} // namespace

std::string DefaultBackupFolder() {
    // Values are kept per call so the lookup can hand out stable UTF-8 pointers.
    static thread_local std::string value;
    return DefaultBackupFolder([](const char* name) -> const char* {
        if (!EnvironmentHas(name)) return nullptr;
        value = EnvironmentUtf8(name);
        return value.c_str();
    });
}

std::string DefaultBackupFolder(const EnvLookup& env) {
    const std::string data = files::UserDataFolder(env);
    if (data.empty()) return {};
    return Utf8FromPath(PathFromUtf8(data) / "RT62MWin" / "backups");
}

std::string BackupFileName(const std::tm& t, const RadioImage& image) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", (t.tm_year + 1900) % 10000, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    std::string serial = ReadSerialNumber(image);
    for (char& c : serial) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!plain) c = '_';
    }
    std::string name(stamp);
    name += '-';
    // Appended, not assigned from a literal: the cross compiler warns about a copy that cannot happen.
    if (serial.empty())
        name += '_';
    else
        name += serial;
    name += kExtension;
    return name;
}

namespace {

BackupOutcome WriteBackupFile(const std::string& folder, const RadioImage& image,
                              const FileTrailerBytes& trailer, std::time_t when, int keep) {
    BackupOutcome out;
    out.path = folder;
    if (folder.empty()) {
        out.status = BackupStatus::FolderFailed;
        return out;
    }
    std::error_code ec;
    const fs::path folderPath = PathFromUtf8(folder);
    fs::create_directories(folderPath, ec);
    if (!fs::is_directory(folderPath, ec)) {
        out.status = BackupStatus::FolderFailed;
        return out;
    }
    const std::string path = FreePath(folderPath, BackupFileName(LocalTime(when), image));
    if (path.empty()) {
        out.status = BackupStatus::WriteFailed;
        out.path = Utf8FromPath(folderPath / PathFromUtf8(BackupFileName(LocalTime(when), image)));
        return out;
    }
    out.path = path;
    const DataFileBytes bytes = MakeDataFileBytes(image, trailer);
    if (WriteFileBytes(path, bytes) != WriteStatus::Ok) {
        out.status = BackupStatus::WriteFailed;
        return out;
    }
    out.status = BackupStatus::Written;
    Prune(folder, path, keep);
    return out;
}

} // namespace

BackupOutcome WriteRadioBackup(const std::string& folder, const RadioImage& image,
                               const FileTrailerBytes& trailer, std::time_t when, int keep) {
    // The path conversions of std::filesystem may throw; a backup failure is only ever a value.
    try {
        return WriteBackupFile(folder, image, trailer, when, keep);
    } catch (const std::exception&) {
        return {BackupStatus::WriteFailed, folder};
    }
}

std::vector<std::string> ListBackups(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> found; // name, path
    std::error_code ec;
    for (fs::directory_iterator it(PathFromUtf8(folder), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc)) continue;
        // A name the narrow encoding cannot hold (Windows) throws; no backup has such a name.
        try {
            const std::string name = Utf8FromPath(it->path().filename());
            if (IsBackupName(name)) found.emplace_back(name, Utf8FromPath(it->path()));
        } catch (const std::exception&) {
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> out;
    out.reserve(found.size());
    for (auto& f : found)
        out.push_back(std::move(f.second));
    return out;
}

bool BackUpRadioImage(Prompter& prompter, const BackupSettings& settings, const RadioImage& image,
                      std::time_t when, std::string* writtenPath) {
    if (writtenPath) writtenPath->clear();
    if (!settings.enabled) return true;
    const std::string folder = settings.folder.empty() ? DefaultBackupFolder() : settings.folder;
    const BackupOutcome outcome = WriteRadioBackup(folder, image, settings.trailer, when);
    if (outcome.status == BackupStatus::Written) {
        if (writtenPath) *writtenPath = outcome.path;
        return true;
    }
    const int id =
        outcome.status == BackupStatus::FolderFailed ? kStrBackupFolderFailed : kStrBackupWriteFailed;
    return ShowMessage1(prompter, id, Buttons::YesNo, Icon::Exclamation, outcome.path) == Answer::Yes;
}

} // namespace rt62
