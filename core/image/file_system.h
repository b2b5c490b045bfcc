// The system's file calls that data files, logs and backups are written and read with, as one small
// interface: file_system_posix.cpp and file_system_win32.cpp implement it (CMake builds the one that
// fits), together with the platform half of native_path.h. The rules on top live in data_file.cpp.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace rt62::files {

// Descriptors are plain ints on every system (Windows' C runtime has them too). Failed calls leave
// their reason in errno, as the system calls do (ENOENT, EEXIST, EACCES, EPERM, EROFS, EINTR).

enum class Kind { Regular, Directory, Other };

struct Status {
    Kind kind = Kind::Other;
    std::uintmax_t size = 0;
    std::uintmax_t links = 1;
    unsigned mode = 0; // the permission bits
    unsigned owner = 0, group = 0;
};

// What path names, links followed. false when there is nothing (errno ENOENT) or it cannot be looked at.
bool Stat(const std::string& path, Status& out);
// The same for an open descriptor.
bool StatOpen(int fd, Status& out);

// Whether an existing file may be written by this user. No write permission at all is the file's
// read-only attribute, which holds for an administrator too.
bool MayWrite(const std::string& path, const Status& st);
// Whether new files may be made in folder, as far as can be told before trying.
bool MayCreateIn(const std::string& folder);

// Opens a file for reading without blocking on a FIFO or a device, should one be swapped in after the
// caller looked at the type; ReadBlocking then makes later reads wait as usual.
int OpenForReading(const std::string& path);
void ReadBlocking(int fd);
// Opens a file for adding to its end; made (with the usual permissions) when missing.
int OpenForAppending(const std::string& path);
// Makes a new file, never one that exists already (errno EEXIST then). mode is asked of the system
// where it has such modes (the umask applies).
int CreateExclusive(const std::string& path, unsigned mode);

// One read or write as the system does it: the count done, 0 at the end, negative on failure.
long long Read(int fd, void* buf, std::size_t n);
long long Write(int fd, const void* buf, std::size_t n);
// Waits until what was written to fd is on disk.
bool Sync(int fd);
bool Close(int fd);
// Standard input and output carry bytes as they are (Windows' text mode would add CR before LF).
void UseBinaryMode(int fd);
// Whether this system's own texts end their lines with CR LF.
bool TextLinesEndInCrLf();

// Puts from in the place of to in one step (the old to is gone only once from is there).
bool ReplaceByRename(const std::string& from, const std::string& to);
// Puts a rename in folder on disk; some file systems refuse it, which is no failure.
void SyncFolder(const std::string& folder);
bool Remove(const std::string& path);

// A file replaced by a rename is a new file: what it must keep of the old one.
// Whether the old file has other names (hard links), which a rename would leave with the old contents.
bool HasOtherNames(const Status& old);
enum class Kept { Yes, OwnerNot, Failed };
// Gives the new file fd the owner, group and mode of old. OwnerNot when the owner cannot be given.
Kept KeepOwnerAndMode(int fd, const Status& old);

// Writing over a file in place, for when a rename would lose what it must keep (POSIX; on Windows a
// file is always replaced by a rename and these fail).
bool CanRewriteInPlace();
// Opens an existing file for reading and writing, without blocking.
int OpenForUpdate(const std::string& path);
// The whole contents of fd from its start.
bool ReadWhole(int fd, std::vector<std::uint8_t>& out);
// Makes bytes the whole contents of fd and waits until they are on disk.
bool Overwrite(int fd, std::span<const std::uint8_t> bytes);

// Reads an environment variable (nullptr when unset), replaceable so the rules can be tested.
using EnvLookup = std::function<const char*(const char*)>;
// The folder under which a user's program data stays on this machine: %LOCALAPPDATA% on Windows (not
// the roaming profile), $XDG_DATA_HOME (when absolute) or $HOME/.local/share elsewhere. Empty when
// none is known.
std::string UserDataFolder(const EnvLookup& env);

// The local time of when, for the stamps in file names and logs.
std::tm LocalTime(std::time_t when);

} // namespace rt62::files
