#include "core/image/data_file.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#include "core/image/document.h"
#include "core/image/file_system.h"
#include "core/image/native_path.h"

namespace rt62 {

namespace fs = std::filesystem;

namespace {

constexpr int kStrOldContentsKept = 4001; // "The old contents of %1 were kept in %2"

using files::Kind;
using files::Status;

// Closes a descriptor on every path out.
struct Fd {
    int fd = -1;
    explicit Fd(int d = -1) : fd(d) {}
    ~Fd() {
        if (fd >= 0) files::Close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    bool Close() {
        int d = fd;
        fd = -1;
        return d >= 0 && files::Close(d);
    }
};

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        long long w = files::Write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<std::size_t>(w);
    }
    return true;
}

// Opens path for reading only when it is a regular file. The type is looked at before the open
// (opening a serial device has effects of its own, a FIFO would block) and again after it.
int OpenRegularForReading(const std::string& path, Status& st) {
    if (path.empty() || !files::Stat(path, st) || st.kind != Kind::Regular) return -1;
    int fd = files::OpenForReading(path);
    if (fd < 0) return -1;
    if (!files::StatOpen(fd, st) || st.kind != Kind::Regular) {
        files::Close(fd);
        return -1;
    }
    files::ReadBlocking(fd);
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
int CreateUnique(const std::string& stem, unsigned mode, std::string& name) {
    for (int i = 0; i < 100; ++i) {
        name = stem + RandomSuffix();
        int fd = files::CreateExclusive(name, mode);
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
WriteStatus Precheck(const std::string& target, bool& exists, Status& st) {
    exists = false;
    if (target.empty()) return WriteStatus::CannotCreate;
    if (files::Stat(target, st)) {
        exists = true;
        if (st.kind != Kind::Regular) return WriteStatus::NotRegular;
        if (!files::MayWrite(target, st)) return WriteStatus::ReadOnly;
        return WriteStatus::Ok;
    }
    if (errno != ENOENT) return WriteStatus::CannotCreate;
    Status dir{};
    const std::string folder = FolderOf(target);
    if (!files::Stat(folder, dir) || dir.kind != Kind::Directory) return WriteStatus::CannotCreate;
    if (!files::MayCreateIn(folder)) return WriteStatus::CannotCreate;
    return WriteStatus::Ok;
}

// The file keeps its identity (so its links, owner, group, mode and attributes), but is written
// over: the old contents go to a copy in the temporary folder first and come back on failure.
WriteStatus WriteInPlace(const std::string& target, std::span<const std::uint8_t> bytes,
                         std::string* keptCopy) {
    Fd file(files::OpenForUpdate(target));
    Status st{};
    if (file.fd < 0)
        return errno == EACCES || errno == EROFS ? WriteStatus::ReadOnly : WriteStatus::CannotCreate;
    if (!files::StatOpen(file.fd, st) || st.kind != Kind::Regular) return WriteStatus::NotRegular;
    std::vector<std::uint8_t> old;
    if (!files::ReadWhole(file.fd, old)) return WriteStatus::WriteFailed;

    std::error_code ec;
    const fs::path tmpDir = fs::temp_directory_path(ec);
    if (ec) return WriteStatus::WriteFailed;
    std::string copyPath;
    {
        Fd copy(CreateUnique(
            Utf8FromPath(tmpDir / PathFromUtf8(Utf8FromPath(PathFromUtf8(target).filename()) + ".old-")),
            0600, copyPath));
        if (copy.fd < 0) return WriteStatus::WriteFailed;
        bool ok = WriteAll(copy.fd, old) && files::Sync(copy.fd);
        ok = copy.Close() && ok;
        if (!ok) {
            files::Remove(copyPath);
            return WriteStatus::WriteFailed;
        }
    }

    if (files::Overwrite(file.fd, bytes)) {
        files::Remove(copyPath);
        return WriteStatus::Ok;
    }
    if (files::Overwrite(file.fd, old)) {
        files::Remove(copyPath);
        return WriteStatus::WriteFailed;
    }
    if (keptCopy) *keptCopy = copyPath;
    return WriteStatus::RestoreFailed;
}

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
    Status st{};
    return Precheck(target, exists, st);
}

WriteStatus WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes,
                           std::string* keptCopy) {
    if (path.empty()) return WriteStatus::CannotCreate;
    const std::string target = ResolveLinks(path);
    bool exists = false;
    Status st{};
    if (WriteStatus pre = Precheck(target, exists, st); pre != WriteStatus::Ok) return pre;

    const std::string folder = FolderOf(target);
    std::string hidden = Utf8FromPath(PathFromUtf8(target).filename());
    hidden.insert(hidden.begin(), '.');
    hidden.push_back('.');
    const std::string stem = Utf8FromPath(PathFromUtf8(folder) / PathFromUtf8(hidden));

    // A rename would give the other names of the file the old contents.
    if (exists && files::HasOtherNames(st)) return WriteInPlace(target, bytes, keptCopy);

    std::string temp;
    Fd f(CreateUnique(stem, exists ? 0600 : 0666, temp));
    if (f.fd < 0) {
        // A folder that may not be written, with a file that may: rewrite the file itself.
        if (exists && (errno == EACCES || errno == EPERM) && files::CanRewriteInPlace())
            return WriteInPlace(target, bytes, keptCopy);
        return exists ? WriteStatus::WriteFailed : WriteStatus::CannotCreate;
    }
    auto discard = [&](WriteStatus status) {
        f.Close();
        files::Remove(temp);
        return status;
    };
    if (exists) {
        switch (files::KeepOwnerAndMode(f.fd, st)) {
        case files::Kept::Yes:
            break;
        case files::Kept::OwnerNot:
            // Only the file itself keeps its owner.
            discard(WriteStatus::WriteFailed);
            return WriteInPlace(target, bytes, keptCopy);
        case files::Kept::Failed:
            return discard(WriteStatus::WriteFailed);
        }
    }
    if (!WriteAll(f.fd, bytes) || !files::Sync(f.fd)) return discard(WriteStatus::WriteFailed);
    if (!f.Close()) {
        files::Remove(temp);
        return WriteStatus::WriteFailed;
    }
    if (!files::ReplaceByRename(temp, target)) {
        files::Remove(temp);
        return WriteStatus::WriteFailed;
    }
    files::SyncFolder(folder);
    return WriteStatus::Ok;
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
    Status st{};
    Fd f(OpenRegularForReading(path, st));
    if (f.fd < 0) return std::nullopt;
    return st.size;
}

ReadOutcome ReadDescriptorBytes(int fd, std::size_t maxBytes) {
    files::UseBinaryMode(fd);
    ReadOutcome out;
    out.status = ReadStatus::CannotRead;
    out.bytes.resize(maxBytes);
    std::size_t got = 0;
    while (got < maxBytes) {
        long long r = files::Read(fd, out.bytes.data() + got, maxBytes - got);
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
    files::UseBinaryMode(fd); // bytes as they are: no CR added before each LF
    return WriteAll(fd, bytes);
}

std::string NativeLineEnds(std::string text) {
    if (!files::TextLinesEndInCrLf()) return text;
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

bool AppendFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    Status st{};
    if (path.empty() || (files::Stat(path, st) && st.kind != Kind::Regular)) return false;
    Fd f(files::OpenForAppending(path));
    if (f.fd < 0 || !files::StatOpen(f.fd, st) || st.kind != Kind::Regular) return false;
    if (!WriteAll(f.fd, bytes) || !files::Sync(f.fd)) return false;
    return f.Close();
}

ReadOutcome ReadFileBytes(const std::string& path, std::size_t maxBytes) {
    Status st{};
    Fd f(OpenRegularForReading(path, st));
    if (f.fd < 0) return {};
    ReadOutcome out = ReadDescriptorBytes(f.fd, maxBytes);
    if (out.status == ReadStatus::Ok && out.bytes.empty() && maxBytes > 0)
        out.status = ReadStatus::CannotRead;
    return out;
}

} // namespace rt62
