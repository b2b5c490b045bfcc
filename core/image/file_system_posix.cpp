// The file calls on Linux and macOS, and the platform half of native_path.h.
#include "core/image/file_system.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "core/image/native_path.h"

namespace rt62 {

namespace files {

namespace {

void Fill(const struct stat& st, Status& out) {
    out.kind = S_ISREG(st.st_mode) ? Kind::Regular : S_ISDIR(st.st_mode) ? Kind::Directory : Kind::Other;
    out.size = static_cast<std::uintmax_t>(st.st_size);
    out.links = static_cast<std::uintmax_t>(st.st_nlink);
    out.mode = static_cast<unsigned>(st.st_mode & 07777);
    out.owner = static_cast<unsigned>(st.st_uid);
    out.group = static_cast<unsigned>(st.st_gid);
}

} // namespace

bool Stat(const std::string& path, Status& out) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    Fill(st, out);
    return true;
}

bool StatOpen(int fd, Status& out) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    Fill(st, out);
    return true;
}

bool MayWrite(const std::string& path, const Status& st) {
    // No write bit at all is the file's read-only attribute, which holds for root too.
    return (st.mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.c_str(), W_OK) == 0;
}

bool MayCreateIn(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

int OpenForReading(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

void ReadBlocking(int fd) {
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

int OpenForAppending(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOCTTY | O_CLOEXEC | O_NONBLOCK, 0644);
}

int CreateExclusive(const std::string& path, unsigned mode) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                  static_cast<mode_t>(mode));
}

long long Read(int fd, void* buf, std::size_t n) {
    return ::read(fd, buf, n);
}

long long Write(int fd, const void* buf, std::size_t n) {
    return ::write(fd, buf, n);
}

bool Sync(int fd) {
    return ::fsync(fd) == 0;
}

bool Close(int fd) {
    return ::close(fd) == 0;
}

void UseBinaryMode(int) {}

bool TextLinesEndInCrLf() {
    return false;
}

bool ReplaceByRename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void SyncFolder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}

bool Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool HasOtherNames(const Status& old) {
    return old.links > 1;
}

Kept KeepOwnerAndMode(int fd, const Status& old) {
    // Owner and group first: changing them clears set-id bits, which the mode below then restores.
    struct stat now {};
    if (::fstat(fd, &now) != 0) return Kept::Failed;
    if ((now.st_uid != old.owner || now.st_gid != old.group) && ::fchown(fd, old.owner, old.group) != 0)
        return Kept::OwnerNot;
    return ::fchmod(fd, static_cast<mode_t>(old.mode & 07777)) == 0 ? Kept::Yes : Kept::Failed;
}

bool CanRewriteInPlace() {
    return true;
}

int OpenForUpdate(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

bool ReadWhole(int fd, std::vector<std::uint8_t>& out) {
    out.clear();
    std::uint8_t buf[8192];
    off_t at = 0;
    for (;;) {
        ssize_t r = ::pread(fd, buf, sizeof buf, at);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return false;
        if (r == 0) return true;
        out.insert(out.end(), buf, buf + r);
        at += r;
    }
}

bool Overwrite(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t w = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<std::size_t>(w);
    }
    return ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

std::string UserDataFolder(const EnvLookup& env) {
    auto value = [&](const char* name) {
        const char* v = env ? env(name) : nullptr;
        return v ? std::string(v) : std::string();
    };
    const std::string xdg = value("XDG_DATA_HOME");
    if (!xdg.empty() && xdg.front() == '/') return xdg;
    const std::string home = value("HOME");
    if (home.empty()) return {};
    return Utf8FromPath(PathFromUtf8(home) / ".local" / "share");
}

std::tm LocalTime(std::time_t when) {
    std::tm out{};
    localtime_r(&when, &out);
    return out;
}

} // namespace files

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

} // namespace rt62
