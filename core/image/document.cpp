#include "core/image/document.h"

#include "core/image/data_file.h"
#include "core/image/native_path.h"
#include "core/image/std_compat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

// The data folder as seen from the program's folder; the build sets it from the install layout.
#ifndef RT62M_DATA_FROM_BIN
#define RT62M_DATA_FROM_BIN "../share/rt62mwin"
#endif

namespace rt62 {

namespace fs = std::filesystem;

namespace {

constexpr double kSplitLimitMHz = 99.9;

bool SameNameIgnoringCase(const std::string& a, const char* b) {
    std::size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool HasWriteBit(fs::perms p) {
    return (p & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) !=
           fs::perms::none;
}

} // namespace

FileTrailerBytes DefaultSplitBytes(double splitMHz) {
    std::uint64_t bits = BitCast<std::uint64_t>(splitMHz);
    FileTrailerBytes out{};
    for (std::size_t i = 0; i < kTrailerSize; ++i)
        out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return out;
}

double DefaultSplitFromBytes(const FileTrailerBytes& bytes) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < kTrailerSize; ++i)
        bits |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return BitCast<double>(bits);
}

double SanitizeDefaultSplit(double splitMHz) {
    if (!std::isfinite(splitMHz)) return 0.0;
    return std::clamp(splitMHz, -kSplitLimitMHz, kSplitLimitMHz);
}

std::string FileNameOfPath(const std::string& path) {
    std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::vector<std::string> DefaultFileFolders(const std::string& programDir) {
    if (programDir.empty()) return {std::string()};
    const fs::path dir = PathFromUtf8(programDir);
    return {programDir, Utf8FromPath((dir / RT62M_DATA_FROM_BIN).lexically_normal())};
}

CRT62MDoc::CRT62MDoc(Prompter& prompter, std::string programDir)
    : prompter_(&prompter), programDir_(std::move(programDir)) {
    LoadDefaults(model_);
}

void CRT62MDoc::SetCurrentPath(std::string path) {
    path_ = path.empty() ? std::string(kNoPath) : std::move(path);
}

void CRT62MDoc::UpdateViews() {
    if (updateViews_) updateViews_();
}

void CRT62MDoc::ClearContents() {
    model_ = ImageModel{};
    fileLoaded_ = false;
    modified_ = false;
}

void CRT62MDoc::OnNewDocument() {
    ClearContents();
    path_ = kNoPath;
    LoadDocument();
}

void CRT62MDoc::LoadDocument() {
    ++loadCount_;
    model_ = ImageModel{};
    LoadDefaults(model_);
    fileLoaded_ = false;

    if (path_ != kNoPath) {
        // A file that fails the probe is skipped quietly: whoever chose it has reported the probe.
        if (ProbeFile(path_) == 0) fileLoaded_ = true;
    } else {
        bool found = false;
        for (int code : kDefaultFileSearchOrder)
            if ((found = FindDefaultFile(code))) break;
        if (!found) {
            WriteDefaultFile(kDefaultFileNames[0]);
            path_ = kNoPath;
        }
    }

    if (fileLoaded_) {
        if (ReadDataFile(path_))
            DecodeImage(model_);
        else
            fileLoaded_ = false;
    }
    UpdateViews();
}

bool CRT62MDoc::FindDefaultFile(int index) {
    if (index < 0 || index >= static_cast<int>(kDefaultFileNames.size())) {
        fileLoaded_ = false;
        return false;
    }
    for (const std::string& folder : DefaultFileFolders(programDir_)) {
        const std::string full = folder.empty() ? kDefaultFileNames[index]
                                                : Utf8FromPath(PathFromUtf8(folder) / kDefaultFileNames[index]);
        if (ProbeFile(full) != 0) continue;
        fileLoaded_ = true;
        path_ = full;
        return true;
    }
    fileLoaded_ = false;
    return false;
}

int CRT62MDoc::ProbeFile(const std::string& path) {
    std::optional<std::uintmax_t> size = RegularFileSize(path);
    if (!size) return 1;
    return *size == 0 ? 2 : 0;
}

OpenProbe CRT62MDoc::ProbeOpenFile(const std::string& path) {
    std::optional<std::uintmax_t> size = RegularFileSize(path);
    if (!size) return OpenProbe::CannotOpen;
    if (*size != kDataFileSize) return OpenProbe::WrongSize;
    return ReadFileBytes(path, 1).status == ReadStatus::Ok ? OpenProbe::Ok : OpenProbe::CannotRead;
}

bool CRT62MDoc::IsDefaultFileName(const std::string& path) {
    std::string name = FileNameOfPath(path);
    return std::any_of(kDefaultFileNames.begin(), kDefaultFileNames.end(),
                       [&](const char* d) { return SameNameIgnoringCase(name, d); });
}

bool CRT62MDoc::ReadDataFile(const std::string& path) {
    ReadOutcome read = ReadFileBytes(path, kDataFileSize);
    if (read.status == ReadStatus::CannotOpen) {
        ShowMessage1(*prompter_, kStrOpenFailed, Buttons::Ok, Icon::Stop, path);
        return false;
    }
    // A file shorter than the image leaves the document as it was.
    if (read.status != ReadStatus::Ok || read.bytes.size() < kImageSize) {
        ShowMessage1(*prompter_, kStrReadFailed, Buttons::Ok, Icon::Stop, path);
        return false;
    }
    TakeFileBytes(read.bytes);
    return true;
}

void CRT62MDoc::TakeFileBytes(std::span<const std::uint8_t> bytes) {
    std::copy_n(bytes.begin(), kImageSize, model_.image.begin());
    // A shorter tail overwrites only the bytes it has.
    FileTrailerBytes tail = DefaultSplitBytes(model_.defaultSplit);
    std::copy(bytes.begin() + kImageSize, bytes.begin() + std::min(bytes.size(), kDataFileSize),
              tail.begin());
    model_.defaultSplit = SanitizeDefaultSplit(DefaultSplitFromBytes(tail));
    openedTrailer_ = tail;
}

DataFileBytes CRT62MDoc::ExactBytes() const {
    const double opened = DefaultSplitFromBytes(openedTrailer_);
    const double shown = SanitizeDefaultSplit(opened);
    const bool clampedAsOpened = shown != opened && shown == model_.defaultSplit; // a NaN is never == itself
    return MakeDataFileBytes(model_.image, clampedAsOpened ? openedTrailer_ : TrailerBytes());
}

bool CRT62MDoc::OpenBytes(std::span<const std::uint8_t> bytes, const std::string& name) {
    if (bytes.size() != kDataFileSize) {
        ShowMessage(*prompter_, kStrBadFormat, Buttons::Ok, Icon::Stop);
        return false;
    }
    ClearContents();
    LoadDefaults(model_);
    TakeFileBytes(bytes);
    DecodeImage(model_);
    SetCurrentPath(name);
    fileLoaded_ = true;
    UpdateViews();
    return true;
}

bool CRT62MDoc::WriteDataFile(const std::string& path) {
    DataFileBytes bytes = MakeDataFileBytes(model_.image, DefaultSplitBytes(model_.defaultSplit));
    if (!rt62::WriteDataFile(*prompter_, path, bytes)) return false;
    modified_ = false;
    return true;
}

bool CRT62MDoc::IsReadOnly(const std::string& path) {
    std::error_code ec;
    fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st) || fs::is_directory(st)) return false;
    if (HasWriteBit(st.permissions())) return false;
    ShowMessage1(*prompter_, kStrReadOnly, Buttons::Ok, Icon::Stop, path);
    return true;
}

bool CRT62MDoc::Save() {
    if (IsReadOnly(path_)) return false;
    if (IsDefaultFileName(path_) &&
        ShowMessage(*prompter_, kStrWriteDefault, Buttons::YesNo, Icon::Question) != Answer::Yes)
        return false;
    NormalizeImage(model_);
    if (!HasFile()) {
        ShowMessage1(*prompter_, kStrOpenFailed, Buttons::Ok, Icon::Stop, path_);
        return false;
    }
    if (!WriteDataFile(path_)) return false;
    UpdateViews();
    return true;
}

bool CRT62MDoc::SaveAs(const std::string& chosenPath) {
    // The full path is kept, however long: a cut path would name some other file.
    SetCurrentPath(chosenPath);
    return Save();
}

bool CRT62MDoc::WriteDefaultFile(const std::string& name) {
    NormalizeImage(model_);
    if (name.empty()) {
        ShowMessage1(*prompter_, kStrOpenFailed, Buttons::Ok, Icon::Stop, name);
        path_ = kNoPath;
        return false;
    }
    if (!WriteDataFile(name)) return false;
    path_ = kNoPath;
    UpdateViews();
    return true;
}

bool CRT62MDoc::AskSaveChanges(const ChooseSavePath& chooseSavePath) {
    if (!modified_) return true;
    Answer a = ShowMessage1(*prompter_, kStrSaveChanges, Buttons::YesNoCancel, Icon::Exclamation, path_);
    if (a == Answer::Cancel) return false;
    if (a == Answer::Yes) {
        // Going on after a Save As that was cancelled or failed would throw the changes away.
        std::optional<std::string> chosen = chooseSavePath ? chooseSavePath() : std::nullopt;
        if (!chosen || !SaveAs(*chosen)) return false;
    }
    modified_ = false;
    return true;
}

bool CRT62MDoc::New(const ChooseSavePath& chooseSavePath) {
    if (!AskSaveChanges(chooseSavePath)) return false;
    Reload(kNoPath);
    return true;
}

void CRT62MDoc::Reload(const std::string& path) {
    ClearContents();
    SetCurrentPath(path);
    LoadDocument();
}

void CRT62MDoc::Open(const std::string& path) {
    Reload(path);
}

bool CRT62MDoc::OpenCommand(const std::string& path, const ChooseSavePath& chooseSavePath) {
    switch (ProbeOpenFile(path)) {
    case OpenProbe::Ok:
        break;
    case OpenProbe::CannotOpen:
        ShowMessage1(*prompter_, kStrOpenFailed, Buttons::Ok, Icon::Stop, path);
        return false;
    case OpenProbe::CannotRead:
        ShowMessage1(*prompter_, kStrReadFailed, Buttons::Ok, Icon::Stop, path);
        return false;
    case OpenProbe::WrongSize:
        ShowMessage(*prompter_, kStrBadFormat, Buttons::Ok, Icon::Stop);
        return false;
    }
    if (!AskSaveChanges(chooseSavePath)) return false;
    Open(path);
    return fileLoaded_;
}

bool CRT62MDoc::LoadBandDefault(int bandStepCode) {
    path_ = kNoPath;
    if (FindDefaultFile(bandStepCode)) {
        if (ReadDataFile(path_)) {
            DecodeImage(model_);
            UpdateViews();
            return true;
        }
        path_ = kNoPath;
        fileLoaded_ = false;
    }
    if (bandStepCode >= 0 && bandStepCode < static_cast<int>(kDefaultFileNames.size()))
        WriteDefaultFile(kDefaultFileNames[bandStepCode]);
    path_ = kNoPath;
    UpdateViews();
    return false;
}

void CRT62MDoc::TakeUploadedImage(const RadioImage& image) {
    model_.image = image;
    DecodeImage(model_);
    fileLoaded_ = false;
    path_ = kNoPath;
    UpdateViews();
}

} // namespace rt62
