// The program's single document: the image model, its data file, the default files and the flags.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/image/data_file.h"
#include "core/image/model.h"
#include "core/image/prompter.h"
#include "core/image/radio_image.h"

namespace rt62 {

inline constexpr const char* kNoPath = "<none>";

// Default data files by BandStepCode 0-3, and the order in which a new document looks for them.
inline constexpr std::array<const char*, 4> kDefaultFileNames = {"RT62Mvhf1.r62", "RT62Mvhf2.r62",
                                                                 "RT62Muhf1.r62", "RT62Muhf2.r62"};
inline constexpr std::array<int, 4> kDefaultFileSearchOrder = {0, 2, 1, 3};

// Where the default files are looked for, in order: beside the program, then the installed data folder
// (share/rt62mwin next to the program's bin folder). An empty programDir means the working folder only.
std::vector<std::string> DefaultFileFolders(const std::string& programDir);

// Message ids of the document's messages and of its save-changes question.
enum DocumentString {
    kStrOpenFailed = 32,     // "Problem opening file\r\nFile Name = %1"
    kStrWriteFailed = 33,    // "Problem writing to file"
    kStrReadFailed = 34,     // "Problem reading from file\r\nFile Name = %1"
    kStrCreateFailed = 35,   // "Problem opening file\r\n%1"
    kStrWriteDefault = 36,   // "Do  you want to write default file?"
    kStrBadFormat = 37,      // "The File cannot be Opened.\r\n..."
    kStrReadOnly = 49,       // "The File's attribute is Read_Only.\r\nFile Name = %1"
    kStrSaveChanges = 61699, // "Save changes to %1?"
};

// Result of the File Open command's probe.
enum class OpenProbe { Ok = 0, CannotOpen = 1, CannotRead = 2, WrongSize = 3 };

// The trailer of a data file: the Default Split as a little-endian IEEE-754 double.
FileTrailerBytes DefaultSplitBytes(double splitMHz);
double DefaultSplitFromBytes(const FileTrailerBytes& bytes);
// A split read from a file that is not a finite number becomes 0.0; one outside -99.9..99.9 is clamped.
double SanitizeDefaultSplit(double splitMHz);

// The name and extension of a path (either separator); "<none>" stays "<none>".
std::string FileNameOfPath(const std::string& path);

class CRT62MDoc {
  public:
    // Called when a Save As needs a file name; nullopt when the user cancels the dialog.
    using ChooseSavePath = std::function<std::optional<std::string>()>;

    // programDir: the folder the default files are looked up in (the running executable's folder).
    // Construction does not touch any file; call OnNewDocument or Open to load.
    explicit CRT62MDoc(Prompter& prompter, std::string programDir = {});

    void SetPrompter(Prompter& prompter) { prompter_ = &prompter; }
    Prompter& GetPrompter() const { return *prompter_; }
    void SetProgramDir(std::string dir) { programDir_ = std::move(dir); }
    const std::string& ProgramDir() const { return programDir_; }

    // Called whenever the views must follow the document (new contents, new title).
    void SetUpdateViews(std::function<void()> update) { updateViews_ = std::move(update); }

    ImageModel& Model() { return model_; }
    const ImageModel& Model() const { return model_; }
    RadioImage& Image() { return model_.image; }
    const RadioImage& Image() const { return model_.image; }
    double DefaultSplit() const { return model_.defaultSplit; }
    void SetDefaultSplit(double splitMHz) { model_.defaultSplit = splitMHz; }
    FileTrailerBytes TrailerBytes() const { return DefaultSplitBytes(model_.defaultSplit); }
    // The image and the Default Split's bytes as the opened file held them, while the split is still the
    // value they were shown as (a file's split outside -99.9..99.9, or no number, opens clamped): what a
    // text export carries so that its import gives back the same bytes.
    DataFileBytes ExactBytes() const;

    const std::string& CurrentPath() const { return path_; }
    void SetCurrentPath(std::string path);
    bool HasFile() const { return !path_.empty() && path_ != kNoPath; }
    // The window title is the current path, full, or "<none>".
    const std::string& Title() const { return path_; }

    bool IsFileLoaded() const { return fileLoaded_; }
    void SetFileLoaded(bool loaded) { fileLoaded_ = loaded; }
    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true) { modified_ = modified; }
    bool IsMarketingChanged() const { return marketingChanged_; }
    void SetMarketingChanged(bool changed = true) { marketingChanged_ = changed; }

    // Start-up and the framework's new-document step: path "<none>", then LoadDocument.
    void OnNewDocument();
    // Defaults, then the current path's file or the first default file found (see the .cpp).
    void LoadDocument();
    // Counts the loads, so a caller can tell whether a command replaced the contents.
    int LoadCount() const { return loadCount_; }
    bool FindDefaultFile(int index);

    // 0 readable, 1 cannot be opened (or empty path), 2 not one byte can be read.
    static int ProbeFile(const std::string& path);
    // The File Open command's probe, which also demands the 262-byte size.
    static OpenProbe ProbeOpenFile(const std::string& path);
    static bool IsDefaultFileName(const std::string& path);

    bool ReadDataFile(const std::string& path);
    // The File Open command on bytes from a stream (standard input): message 37 unless they are a
    // whole data file; then they become the document under the given name. true when loaded.
    bool OpenBytes(std::span<const std::uint8_t> bytes, const std::string& name);
    bool WriteDataFile(const std::string& path);
    bool IsReadOnly(const std::string& path);

    // Each returns true when the data file was written.
    bool Save();
    bool SaveAs(const std::string& chosenPath);
    bool WriteDefaultFile(const std::string& name);

    // true: go on (saved, or changes discarded on No); false: stop (Cancel, or Yes without a save).
    bool AskSaveChanges(const ChooseSavePath& chooseSavePath);
    // Returns false when the user stopped at the save question.
    bool New(const ChooseSavePath& chooseSavePath);
    void Reload(const std::string& path);
    // Loads path as the document (the same path is re-read in place). No probe, no question.
    void Open(const std::string& path);
    // The whole File Open command: probe (messages 32, 34, 37), save question, Open. true when loaded.
    bool OpenCommand(const std::string& path, const ChooseSavePath& chooseSavePath);

    // After a band change: the new band's default file if it reads, else the current image written
    // as that default file. true when the default file was read.
    bool LoadBandDefault(int bandStepCode);
    // After a successful Upload: the image came from the radio, so the document has no file.
    void TakeUploadedImage(const RadioImage& image);

  private:
    void ClearContents();
    // The image and the Default Split from a data file's bytes (at least the image).
    void TakeFileBytes(std::span<const std::uint8_t> bytes);
    void UpdateViews();

    Prompter* prompter_;
    std::string programDir_;
    std::function<void()> updateViews_;
    ImageModel model_;
    FileTrailerBytes openedTrailer_{}; // the Default Split's bytes as last read from a file
    std::string path_ = kNoPath;
    bool fileLoaded_ = false;
    bool modified_ = false;
    bool marketingChanged_ = false;
    int loadCount_ = 0;
};

} // namespace rt62
