// Copies of every image read from the radio, kept as data files in a backups folder, so that what a
// radio held before an Upload replaced the document or a Download overwrote the radio can be opened again.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "core/image/file_system.h"
#include "core/image/prompter.h"
#include "core/image/radio_image.h"

namespace rt62 {

// How many backups a folder keeps; older ones are removed when a new one is written.
inline constexpr int kBackupKeepCount = 100;

// Messages of the backups. Both ask whether the transfer may go on without the backup.
enum BackupString {
    kStrBackupFolderFailed = 4210, // "Problem creating the backups folder\r\nFolder = %1\r\n..."
    kStrBackupWriteFailed = 4211, // "Problem writing the backup of the radio's data\r\nFile Name = %1\r\n..."
};

// Reads an environment variable (nullptr when unset); replaceable so the folder rules can be tested.
using EnvLookup = files::EnvLookup;

// $XDG_DATA_HOME/RT62MWin/backups (a relative XDG_DATA_HOME is ignored), else
// $HOME/.local/share/RT62MWin/backups; on Windows %LOCALAPPDATA%\RT62MWin\backups. Empty when none is known.
std::string DefaultBackupFolder();
std::string DefaultBackupFolder(const EnvLookup& env);

// "YYYYMMDD-HHMMSS-SERIAL.r62" with the image's serial number; characters that do not belong in a
// file name become '_'.
std::string BackupFileName(const std::tm& localTime, const RadioImage& image);

enum class BackupStatus {
    Written,
    FolderFailed, // the folder is missing and cannot be made (or is not a folder)
    WriteFailed,  // the file could not be written
};

struct BackupOutcome {
    BackupStatus status = BackupStatus::WriteFailed;
    std::string path; // the file written, or what failed (the folder or the file)
};

// Writes image and trailer as a new data file in folder (made when missing), then removes the oldest
// backups there so that at most keep remain. An existing file is never replaced: a second backup in the
// same second gets "-2", "-3", ... before the extension. Files that are not named like backups are
// never touched.
BackupOutcome WriteRadioBackup(const std::string& folder, const RadioImage& image,
                               const FileTrailerBytes& trailer, std::time_t when,
                               int keep = kBackupKeepCount);

// The backups in folder by name (which is their age), oldest first; full paths.
std::vector<std::string> ListBackups(const std::string& folder);

struct BackupSettings {
    bool enabled = true;
    std::string folder;         // empty: DefaultBackupFolder()
    FileTrailerBytes trailer{}; // the Default Split the backup file carries
};

// The step a transfer runs on an image read from the radio before it does anything else with it:
// the backup, and when that fails the question (4210 or 4211) whether to go on. true: go on.
// writtenPath (when given) receives the backup's path, or stays empty when none was written.
bool BackUpRadioImage(Prompter& prompter, const BackupSettings& settings, const RadioImage& image,
                      std::time_t when, std::string* writtenPath = nullptr);

// The local time of when, on every platform.
using files::LocalTime;

} // namespace rt62
