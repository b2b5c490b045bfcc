#include "core/image/data_file.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "core/image/document.h"
#include "core/image/native_path.h"

namespace rt62 {

namespace fs = std::filesystem;

namespace {

constexpr int kStrOldContentsKept = 4001; // "The old contents of %1 were kept in %2"

#ifdef _WIN32
using StatBuf = struct _stat64;
int StatPath(const std::string& p, StatBuf& st) {
    return ::_wstat64(WideFromUtf8(p).c_str(), &st);
}
int StatFd(int fd, StatBuf& st) {
    return ::_fstat64(fd, &st);
}
bool IsRegular(const StatBuf& st) {
    return (st.st_mode & _S_IFMT) == _S_IFREG;
}
bool IsDirectory(const StatBuf& st) {
    return (st.st_mode & _S_IFMT) == _S_IFDIR;
}
int OpenRead(const std::string& p) {
    return ::_wopen(WideFromUtf8(p).c_str(), _O_RDONLY | _O_BINARY);
}
int CloseFd(int fd) {
    return ::_close(fd);
}
long long ReadFd(int fd, void* buf, std::size_t n) {
    return ::_read(fd, buf, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
}
long long WriteFd(int fd, const void* buf, std::size_t n) {
    return ::_write(fd, buf, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
}
int SyncFd(int fd) {
    return ::_commit(fd);
}
#else
using StatBuf = struct stat;
int StatPath(const std::string& p, StatBuf& st) {
    return ::stat(p.c_str(), &st);
}
int StatFd(int fd, StatBuf& st) {
    return ::fstat(fd, &st);
}
bool IsRegular(const StatBuf& st) {
    return S_ISREG(st.st_mode);
}
bool IsDirectory(const StatBuf& st) {
    return S_ISDIR(st.st_mode);
}
// O_NONBLOCK: should the path be swapped for a FIFO after the type check, the open still returns.
int OpenRead(const std::string& p) {
    return ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}
int CloseFd(int fd) {
    return ::close(fd);
}
long long ReadFd(int fd, void* buf, std::size_t n) {
    return ::read(fd, buf, n);
}
long long WriteFd(int fd, const void* buf, std::size_t n) {
    return ::write(fd, buf, n);
}
#endif

// Closes a descriptor on every path out.
struct Fd {
    int fd = -1;
    explicit Fd(int d = -1) : fd(d) {}
    ~Fd() {
        if (fd >= 0) CloseFd(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    bool Close() {
        int d = fd;
        fd = -1;
        return d >= 0 && CloseFd(d) == 0;
    }
};

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        long long w = WriteFd(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<std::size_t>(w);
    }
    return true;
}

// Opens path for reading only when it is a regular file. The type is looked at before the open
// (opening a serial device has effects of its own, a FIFO would block) and again after it.
int OpenRegularForReading(const std::string& path, StatBuf& st) {
    if (path.empty() || StatPath(path, st) != 0 || !IsRegular(st)) return -1;
    int fd = OpenRead(path);
    if (fd < 0) return -1;
    if (StatFd(fd, st) != 0 || !IsRegular(st)) {
        CloseFd(fd);
        return -1;
    }
#ifndef _WIN32
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
#endif
    return fd;
}

// Six random letters and digits: a temporary name nobody else can have guessed or own already.
std::string RandomSuffix() {
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static thread_local std::mt19937_64 gen{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kChars) - 2);
    std::string s(6, 'x');
    for (char& c : s)
        c = kChars[pick(gen)];
    return s;
}

// Creates a new file under a unique name "<stem>XXXXXX" (never an existing file). mode is the
// mode asked of the system (the umask applies). Returns the descriptor; name receives the path.
int CreateUnique(const std::string& stem, int mode, std::string& name) {
    for (int i = 0; i < 100; ++i) {
        name = stem + RandomSuffix();
#ifdef _WIN32
        (void)mode;
        int fd = ::_wopen(WideFromUtf8(name).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                        static_cast<mode_t>(mode));
#endif
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// The file a path finally names: links are followed one by one (also a link to a file that does
// not exist yet, which then is created where the link points). Empty after a loop of links.
std::string ResolveLinks(const std::string& path) {
    fs::path p = PathFromUtf8(path);
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) return Utf8FromPath(p);
        fs::path target = fs::read_symlink(p, ec);
        if (ec) return {};
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return {};
}

std::string FolderOf(const std::string& target) {
    fs::path parent = PathFromUtf8(target).parent_path();
    return parent.empty() ? std::string(".") : Utf8FromPath(parent);
}

// Refusals common to the check and the write: type, permission, a folder to create the file in.
// st is filled when the target exists.
WriteStatus Precheck(const std::string& target, bool& exists, StatBuf& st) {
    exists = false;
    if (target.empty()) return WriteStatus::CannotCreate;
    if (StatPath(target, st) == 0) {
        exists = true;
        if (!IsRegular(st)) return WriteStatus::NotRegular;
#ifdef _WIN32
        if ((st.st_mode & _S_IWRITE) == 0) return WriteStatus::ReadOnly;
#else
        // No write bit at all is the file's read-only attribute, which holds for root too.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target.c_str(), W_OK) != 0)
            return WriteStatus::ReadOnly;
#endif
        return WriteStatus::Ok;
    }
    if (errno != ENOENT) return WriteStatus::CannotCreate;
    StatBuf dir{};
    const std::string folder = FolderOf(target);
    if (StatPath(folder, dir) != 0 || !IsDirectory(dir)) return WriteStatus::CannotCreate;
#ifndef _WIN32
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return WriteStatus::CannotCreate;
#endif
    return WriteStatus::Ok;
}

#ifndef _WIN32

void SyncFolder(const std::string& folder) {
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd >= 0) ::fsync(dir.fd); // some file systems refuse it; the rename itself is done
}

bool ReadAllAt(int fd, std::vector<std::uint8_t>& out) {
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

bool ReplaceContents(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t w = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<std::size_t>(w);
    }
    return ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

// The file keeps its inode (so its links, owner, group, mode and attributes), but is written over:
// the old contents go to a copy in the temporary folder first and come back on failure.
WriteStatus WriteInPlace(const std::string& target, std::span<const std::uint8_t> bytes,
                         std::string* keptCopy) {
    Fd file(::open(target.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    StatBuf st{};
    if (file.fd < 0)
        return errno == EACCES || errno == EROFS ? WriteStatus::ReadOnly : WriteStatus::CannotCreate;
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return WriteStatus::NotRegular;
    std::vector<std::uint8_t> old;
    if (!ReadAllAt(file.fd, old)) return WriteStatus::WriteFailed;

    std::error_code ec;
    const fs::path tmpDir = fs::temp_directory_path(ec);
    if (ec) return WriteStatus::WriteFailed;
    std::string copyPath;
    {
        Fd copy(CreateUnique(Utf8FromPath(tmpDir / PathFromUtf8(Utf8FromPath(PathFromUtf8(target).filename()) + ".old-")), 0600,
                             copyPath));
        if (copy.fd < 0) return WriteStatus::WriteFailed;
        bool ok = WriteAll(copy.fd, old) && ::fsync(copy.fd) == 0;
        ok = copy.Close() && ok;
        if (!ok) {
            ::unlink(copyPath.c_str());
            return WriteStatus::WriteFailed;
        }
    }

    if (ReplaceContents(file.fd, bytes)) {
        ::unlink(copyPath.c_str());
        return WriteStatus::Ok;
    }
    if (ReplaceContents(file.fd, old)) {
        ::unlink(copyPath.c_str());
        return WriteStatus::WriteFailed;
    }
    if (keptCopy) *keptCopy = copyPath;
    return WriteStatus::RestoreFailed;
}

#endif

} // namespace

DataFileBytes MakeDataFileBytes(const RadioImage& image, const FileTrailerBytes& trailer) {
    DataFileBytes out{};
    std::copy(image.begin(), image.end(), out.begin());
    std::copy(trailer.begin(), trailer.end(), out.begin() + kImageSize);
    return out;
}

WriteStatus CheckWritable(const std::string& path) {
    if (path.empty()) return WriteStatus::CannotCreate;
    const std::string target = ResolveLinks(path);
    bool exists = false;
    StatBuf st{};
    return Precheck(target, exists, st);
}

WriteStatus WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes,
                           std::string* keptCopy) {
    if (path.empty()) return WriteStatus::CannotCreate;
    const std::string target = ResolveLinks(path);
    bool exists = false;
    StatBuf st{};
    if (WriteStatus pre = Precheck(target, exists, st); pre != WriteStatus::Ok) return pre;

    const std::string folder = FolderOf(target);
    std::string hidden = Utf8FromPath(PathFromUtf8(target).filename());
    hidden.insert(hidden.begin(), '.');
    hidden.push_back('.');
    const std::string stem = Utf8FromPath(PathFromUtf8(folder) / PathFromUtf8(hidden));

#ifdef _WIN32
    (void)keptCopy;
    std::string temp;
    Fd f(CreateUnique(stem, 0, temp));
    if (f.fd < 0) return exists ? WriteStatus::WriteFailed : WriteStatus::CannotCreate;
    bool ok = WriteAll(f.fd, bytes) && SyncFd(f.fd) == 0;
    ok = f.Close() && ok;
    ok = ok &&
         MoveFileExW(WideFromUtf8(temp).c_str(), WideFromUtf8(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        DeleteFileW(WideFromUtf8(temp).c_str());
        return WriteStatus::WriteFailed;
    }
    return WriteStatus::Ok;
#else
    // A rename would give the other names of the file the old contents.
    if (exists && st.st_nlink > 1) return WriteInPlace(target, bytes, keptCopy);

    std::string temp;
    Fd f(CreateUnique(stem, exists ? 0600 : 0666, temp));
    if (f.fd < 0) {
        // A folder that may not be written, with a file that may: rewrite the file itself.
        if (exists && (errno == EACCES || errno == EPERM)) return WriteInPlace(target, bytes, keptCopy);
        return exists ? WriteStatus::WriteFailed : WriteStatus::CannotCreate;
    }
    auto discard = [&](WriteStatus status) {
        f.Close();
        ::unlink(temp.c_str());
        return status;
    };
    if (exists) {
        // Owner and group first: changing them clears set-id bits, which the mode below then restores.
        StatBuf now{};
        if (::fstat(f.fd, &now) != 0) return discard(WriteStatus::WriteFailed);
        if ((now.st_uid != st.st_uid || now.st_gid != st.st_gid) &&
            ::fchown(f.fd, st.st_uid, st.st_gid) != 0) {
            discard(WriteStatus::WriteFailed);
            return WriteInPlace(target, bytes, keptCopy);
        }
        if (::fchmod(f.fd, st.st_mode & 07777) != 0) return discard(WriteStatus::WriteFailed);
    }
    if (!WriteAll(f.fd, bytes) || ::fsync(f.fd) != 0) return discard(WriteStatus::WriteFailed);
    if (!f.Close()) {
        ::unlink(temp.c_str());
        return WriteStatus::WriteFailed;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return WriteStatus::WriteFailed;
    }
    SyncFolder(folder);
    return WriteStatus::Ok;
#endif
}

void ShowWriteFailure(Prompter& prompter, WriteStatus status, const std::string& path,
                      const std::string& keptCopy) {
    switch (status) {
    case WriteStatus::Ok:
        return;
    case WriteStatus::CannotCreate:
    case WriteStatus::NotRegular:
        ShowMessage1(prompter, kStrCreateFailed, Buttons::Ok, Icon::Stop, path);
        return;
    case WriteStatus::ReadOnly:
        ShowMessage1(prompter, kStrReadOnly, Buttons::Ok, Icon::Stop, path);
        return;
    case WriteStatus::WriteFailed:
        ShowMessage(prompter, kStrWriteFailed, Buttons::Ok, Icon::Stop);
        return;
    case WriteStatus::RestoreFailed:
        ShowMessage(prompter, kStrWriteFailed, Buttons::Ok, Icon::Stop);
        ShowMessage2(prompter, kStrOldContentsKept, Buttons::Ok, Icon::Exclamation, path, keptCopy);
        return;
    }
}

bool WriteDataFile(Prompter& prompter, const std::string& path, std::span<const std::uint8_t> bytes) {
    std::string keptCopy;
    const WriteStatus status = WriteFileBytes(path, bytes, &keptCopy);
    ShowWriteFailure(prompter, status, path, keptCopy);
    return status == WriteStatus::Ok;
}

bool CheckDataFileWritable(Prompter& prompter, const std::string& path) {
    const WriteStatus status = CheckWritable(path);
    ShowWriteFailure(prompter, status, path);
    return status == WriteStatus::Ok;
}

std::optional<std::uintmax_t> RegularFileSize(const std::string& path) {
    StatBuf st{};
    Fd f(OpenRegularForReading(path, st));
    if (f.fd < 0) return std::nullopt;
    return static_cast<std::uintmax_t>(st.st_size);
}

ReadOutcome ReadDescriptorBytes(int fd, std::size_t maxBytes) {
#ifdef _WIN32
    ::_setmode(fd, _O_BINARY);
#endif
    ReadOutcome out;
    out.status = ReadStatus::CannotRead;
    out.bytes.resize(maxBytes);
    std::size_t got = 0;
    while (got < maxBytes) {
        long long r = ReadFd(fd, out.bytes.data() + got, maxBytes - got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            out.bytes.clear();
            return out;
        }
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    out.bytes.resize(got);
    out.status = ReadStatus::Ok;
    return out;
}

bool WriteDescriptorBytes(int fd, std::span<const std::uint8_t> bytes) {
#ifdef _WIN32
    ::_setmode(fd, _O_BINARY); // bytes as they are: no CR added before each LF
#endif
    return WriteAll(fd, bytes);
}

std::string NativeLineEnds(std::string text) {
#ifdef _WIN32
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
#else
    return text;
#endif
}

bool AppendFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    StatBuf st{};
    if (path.empty() || (StatPath(path, st) == 0 && !IsRegular(st))) return false;
#ifdef _WIN32
    Fd f(::_wopen(WideFromUtf8(path).c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE));
#else
    Fd f(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOCTTY | O_CLOEXEC | O_NONBLOCK, 0644));
#endif
    if (f.fd < 0 || StatFd(f.fd, st) != 0 || !IsRegular(st)) return false;
    if (!WriteAll(f.fd, bytes)) return false;
#ifdef _WIN32
    if (::_commit(f.fd) != 0) return false;
#else
    if (::fsync(f.fd) != 0) return false;
#endif
    return f.Close();
}

ReadOutcome ReadFileBytes(const std::string& path, std::size_t maxBytes) {
    StatBuf st{};
    Fd f(OpenRegularForReading(path, st));
    if (f.fd < 0) return {};
    ReadOutcome out = ReadDescriptorBytes(f.fd, maxBytes);
    if (out.status == ReadStatus::Ok && out.bytes.empty() && maxBytes > 0)
        out.status = ReadStatus::CannotRead;
    return out;
}

} // namespace rt62
