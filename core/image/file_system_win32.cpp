// The file calls on Windows, and the platform half of native_path.h. Every path goes through the
// wide-character calls: the narrow ones read names in the ANSI code page.
#include "core/image/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "core/image/native_path.h"

namespace rt62 {

namespace files {

namespace {

void Fill(const struct _stat64& st, Status& out) {
    const unsigned type = st.st_mode & _S_IFMT;
    out.kind = type == _S_IFREG ? Kind::Regular : type == _S_IFDIR ? Kind::Directory : Kind::Other;
    out.size = static_cast<std::uintmax_t>(st.st_size);
    out.links = static_cast<std::uintmax_t>(st.st_nlink);
    out.mode = static_cast<unsigned>(st.st_mode & 07777);
    out.owner = static_cast<unsigned>(st.st_uid);
    out.group = static_cast<unsigned>(st.st_gid);
}

} // namespace

bool Stat(const std::string& path, Status& out) {
    struct _stat64 st {};
    if (::_wstat64(WideFromUtf8(path).c_str(), &st) != 0) return false;
    Fill(st, out);
    return true;
}

bool StatOpen(int fd, Status& out) {
    struct _stat64 st {};
    if (::_fstat64(fd, &st) != 0) return false;
    Fill(st, out);
    return true;
}

bool MayWrite(const std::string&, const Status& st) {
    return (st.mode & _S_IWRITE) != 0;
}

// Whether a folder takes new files is known only by trying.
bool MayCreateIn(const std::string&) {
    return true;
}

int OpenForReading(const std::string& path) {
    return ::_wopen(WideFromUtf8(path).c_str(), _O_RDONLY | _O_BINARY);
}

void ReadBlocking(int) {}

int OpenForAppending(const std::string& path) {
    return ::_wopen(WideFromUtf8(path).c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY,
                    _S_IREAD | _S_IWRITE);
}

int CreateExclusive(const std::string& path, unsigned) {
    return ::_wopen(WideFromUtf8(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                    _S_IREAD | _S_IWRITE);
}

long long Read(int fd, void* buf, std::size_t n) {
    return ::_read(fd, buf, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
}

long long Write(int fd, const void* buf, std::size_t n) {
    return ::_write(fd, buf, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
}

bool Sync(int fd) {
    return ::_commit(fd) == 0;
}

bool Close(int fd) {
    return ::_close(fd) == 0;
}

void UseBinaryMode(int fd) {
    ::_setmode(fd, _O_BINARY);
}

bool TextLinesEndInCrLf() {
    return true;
}

bool ReplaceByRename(const std::string& from, const std::string& to) {
    return MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// MOVEFILE_WRITE_THROUGH returned only once the rename was on disk.
void SyncFolder(const std::string&) {}

bool Remove(const std::string& path) {
    return DeleteFileW(WideFromUtf8(path).c_str()) != 0;
}

// Hard links and owners are not looked after on Windows: a file is always replaced by a rename.
bool HasOtherNames(const Status&) {
    return false;
}

Kept KeepOwnerAndMode(int, const Status&) {
    return Kept::Yes;
}

bool CanRewriteInPlace() {
    return false;
}

int OpenForUpdate(const std::string&) {
    errno = ENOSYS;
    return -1;
}

bool ReadWhole(int, std::vector<std::uint8_t>& out) {
    out.clear();
    return false;
}

bool Overwrite(int, std::span<const std::uint8_t>) {
    return false;
}

std::string UserDataFolder(const EnvLookup& env) {
    const char* local = env ? env("LOCALAPPDATA") : nullptr;
    return local ? std::string(local) : std::string();
}

std::tm LocalTime(std::time_t when) {
    std::tm out{};
    localtime_s(&out, &when);
    return out;
}

} // namespace files

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

} // namespace rt62
