#include "image/data_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "image/document.h"

namespace rt62 {

namespace fs = std::filesystem;

namespace {

// Holds a C stream and closes it on every path out.
struct File {
    std::FILE* f = nullptr;
    File(const std::string& path, const char* mode) : f(std::fopen(path.c_str(), mode)) {}
    ~File() {
        if (f) std::fclose(f);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    explicit operator bool() const { return f != nullptr; }
    bool Close() {
        std::FILE* g = f;
        f = nullptr;
        return g && std::fclose(g) == 0;
    }
};

// A free name beside target for the new contents, so the rename that follows stays in one folder.
std::string TempNameBeside(const std::string& target) {
    for (int i = 0; i < 1000; ++i) {
        std::string candidate = target + ".tmp" + (i ? std::to_string(i) : std::string());
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
    }
    return {};
}

bool HasWriteBit(fs::perms p) {
    return (p & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) !=
           fs::perms::none;
}

} // namespace

DataFileBytes MakeDataFileBytes(const RadioImage& image, const FileTrailerBytes& trailer) {
    DataFileBytes out{};
    std::copy(image.begin(), image.end(), out.begin());
    std::copy(trailer.begin(), trailer.end(), out.begin() + kImageSize);
    return out;
}

WriteStatus WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path.empty()) return WriteStatus::CannotCreate;

    // Write through a link to the file it names, so the link survives the rename.
    std::error_code ec;
    std::string target = path;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        fs::path real = fs::weakly_canonical(path, ec);
        if (ec) return WriteStatus::CannotCreate;
        target = real.string();
    }
    // An existing target must be writable in place, as a plain rewrite would need; the rename below
    // would otherwise replace files that refuse writing.
    fs::file_status st = fs::status(target, ec);
    bool exists = !ec && fs::exists(st);
    if (exists) {
        if (fs::is_directory(st) || !HasWriteBit(st.permissions())) return WriteStatus::CannotCreate;
        File probe(target, "ab");
        if (!probe) return WriteStatus::CannotCreate;
    }

    std::string temp = TempNameBeside(target);
    if (temp.empty()) return WriteStatus::CannotCreate;
    File f(temp, "wb");
    if (!f) return WriteStatus::CannotCreate;

    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f.f) == bytes.size() && std::fflush(f.f) == 0;
    ok = f.Close() && ok;
    if (ok && exists) fs::permissions(temp, st.permissions(), fs::perm_options::replace, ec);
    if (ok) {
        fs::rename(temp, target, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(temp, ec);
        return WriteStatus::WriteFailed;
    }
    return WriteStatus::Ok;
}

bool WriteDataFile(Prompter& prompter, const std::string& path, std::span<const std::uint8_t> bytes) {
    switch (WriteFileBytes(path, bytes)) {
    case WriteStatus::Ok:
        return true;
    case WriteStatus::CannotCreate:
        ShowMessage1(prompter, kStrCreateFailed, Buttons::Ok, Icon::Stop, path);
        return false;
    case WriteStatus::WriteFailed:
        break;
    }
    ShowMessage(prompter, kStrWriteFailed, Buttons::Ok, Icon::Stop);
    return false;
}

ReadOutcome ReadFileBytes(const std::string& path, std::size_t maxBytes) {
    ReadOutcome out;
    std::error_code ec;
    if (path.empty() || fs::is_directory(path, ec)) return out;
    File f(path, "rb");
    if (!f) return out;
    out.bytes.resize(maxBytes);
    std::size_t n = std::fread(out.bytes.data(), 1, maxBytes, f.f);
    out.bytes.resize(n);
    out.status = (n == 0 && maxBytes > 0) ? ReadStatus::CannotRead : ReadStatus::Ok;
    return out;
}

} // namespace rt62
