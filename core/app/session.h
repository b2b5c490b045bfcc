// One editing session of a radio's configuration: the document, its undo history and the session's
// settings, and every use case as one call. The window, rt62m and the browser edition drive this; each
// shows what a call returns (what to refresh, what it found) in its own way.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/app/history.h"
#include "core/app/refresh.h"
#include "core/app/session_settings.h"
#include "core/app/transfer.h"
#include "core/grid/cell_paste.h"
#include "core/image/document.h"
#include "core/link/fleet_run.h"
#include "core/text/field_diff.h"
#include "core/text/rebuild.h"
#ifdef RT62_HAVE_YAML
#include "core/text/yaml_text.h"
#endif

namespace rt62 {

class SerialPort;

// What a use case did, and what the views must show again.
struct Outcome {
    bool ok = false;
    RefreshKind refresh = RefreshKind::None;
};

enum class TextKind { Yaml, Csv };

// A text read into a data file, not yet the document's.
struct TextImport {
    bool ok = false;
    DataFileBytes bytes{};
    TwoToneFormat format = TwoToneFormat::Standard;
    std::vector<TextProblem> problems; // why it was refused, or (a CSV) the rows skipped
    std::string summary;               // a CSV's "5 channels imported, 1 row skipped"
};

struct ImportOutcome : Outcome {
    // A CSV imported with rows skipped: its summary and those rows, one a line, to show after the views.
    std::string skippedSummary;
    std::string skippedRows;
};

// What SetSetting did: changed, or the message that refused the text (empty when refused quietly).
struct SettingChange {
    bool changed = false;
    std::string refused;
};

// The document against another side, field by field.
struct Comparison {
    bool ok = false;
    std::vector<std::string> problems; // why the other side could not be read
    DiffReport report;
    std::set<std::pair<int, int>> cells; // channel and grid column of each channel field that differs
};

// A fleet run as the session prepares it; the front-end adds the codes, the count and the log, runs
// RunFleet over port (on a worker thread or inline) and then calls FinishFleet.
struct FleetPlan {
    SerialPort* port = nullptr;
    FleetRequest request; // the template, its Default Split and format, the backups, the wait
};

// Edit > Paste of text into one grid cell (channel n from 0): the column's rule; a channel number in
// column 0 asks (message 53) whether to copy that channel here. The change is one step of history (when
// there is one) named after the cell or the copy; a refused text changes nothing.
PasteResult PasteIntoDocument(CRT62MDoc& doc, UndoHistory* history, int n, int column, const std::string& text,
                              const ColumnItemValues& items);

class Session {
  public:
    using ChooseSavePath = CRT62MDoc::ChooseSavePath;
    using PortFactory = std::function<std::unique_ptr<SerialPort>(const std::string& name)>;

    // programDir: where the default files are looked for (the running program's folder).
    explicit Session(Prompter& prompter, std::string programDir = {});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    CRT62MDoc& Document() { return doc_; }
    const CRT62MDoc& Document() const { return doc_; }
    UndoHistory& History() { return history_; }
    SessionSettings& Settings() { return settings_; }
    const SessionSettings& Settings() const { return settings_; }
    Prompter& GetPrompter() const { return doc_.GetPrompter(); }

    // ---- the port ----
    // What makes a port for a name (CreateSerialPort unless a test gives another).
    void SetPortFactory(PortFactory factory) { portFactory_ = std::move(factory); }
    // The session's port: the direct cable's, kept open between transfers.
    SerialPort* Port() const { return port_.get(); }
    void SetPort(std::unique_ptr<SerialPort> port) { port_ = std::move(port); }
    // A fresh port for the settings' name with the clone link opened; false when it would not open
    // (Port() then tells why, or is null for a name that is no port).
    bool OpenPort();
    void ClosePort();

    // ---- files ----
    // File New: the save question, then the band's default file.
    Outcome New(const ChooseSavePath& chooseSavePath);
    // The factory image of a band, in no file.
    void NewFactory(int bandStepCode);
    // File Open: the probe (messages 32, 34, 37), the save question, the load.
    Outcome Open(const std::string& path, const ChooseSavePath& chooseSavePath);
    // A whole data file's bytes from a stream (message 37 unless they are one), under name.
    Outcome OpenBytes(std::span<const std::uint8_t> bytes, const std::string& name);
    // Save to the document's file; Save As to path, which becomes the document's.
    Outcome Save();
    Outcome SaveAs(const std::string& path);

    // The document as a data file: the image with every edit in it and the Default Split as shown.
    DataFileBytes DocumentBytes();
    // The same image with the Default Split's bytes as the file held them while the split is still
    // the value they were shown as: what an export carries and a comparison compares, so a file
    // exports and compares the same from every front-end, bytes no field owns included.
    DataFileBytes ExactBytes();

    // ---- Upload, Download, Verify ----
    // Makes the port by the port policy (message 80 when there is none) and copies what the job needs.
    Transfer PrepareTransfer(TransferKind kind);
    // Takes over what the job brought (an Upload's image, a Download's merge) as one undo step, and
    // frees a port made for this transfer.
    TransferEnd FinishTransfer(const Transfer& transfer, const JobOutcome& job);

    // ---- text forms ----
    // The document as YAML or channel CSV (plain line ends).
    std::string ExportText(TextKind kind);
    // Written to path with the system's line ends; false after the message.
    bool Export(const std::string& path, TextKind kind);
    // Reads text into a data file. onDocument: the document is the base (a CSV's rows set its channels,
    // a YAML text's absent fields keep its values and format); otherwise the factory file of the band.
    TextImport ParseText(std::string_view text, TextKind kind, bool onDocument, bool strict = false);
#ifdef RT62_HAVE_YAML
    // File Import: the text file read (a YAML text on its band's factory file, a CSV on the document),
    // refused with its problems in one message, then the save question; the result is the document in
    // no file yet, as one undo step.
    ImportOutcome Import(const std::string& path, TextKind kind, const ChooseSavePath& chooseSavePath);
    // A data file or a YAML text as the document (problems listed, nothing shown).
    LoadedDataFile OpenDataFileOrText(const std::string& path);
    // The document against a data file or YAML text (document -> other).
    Comparison CompareWithFile(const std::string& path);
    Comparison CompareWith(const LoadedDataFile& other);
    // What the radio holds against the document (radio -> document); radio-owned bytes do not count.
    Comparison CompareWithRadio(const RadioImage& radio);
#endif

    // ---- Paste ----
    // items: the column items shown, which a channel copy takes.
    PasteResult Paste(int n, int column, const std::string& text, const ColumnItemValues& items) {
        return PasteIntoDocument(doc_, &history_, n, column, text, items);
    }

    // ---- radio-wide settings ----
    // A field of a parameter dialog set from its text by the field's rule, as one undo step named
    // after the dialog. Refused quietly when the dialog keeps the field closed (service mode, option
    // board, firmware); refused with the rule's message when the text does not fit. A band change is
    // asked first (message 50), as the Hardware dialog asks it; a marketing value marks the document
    // so that a Download in service mode writes it.
    SettingChange SetSetting(std::string_view path, std::string_view text);

    // ---- Program Fleet ----
    // nullopt when the document has unsaved changes (the template is what is in the file) or when
    // there is no port (message 80).
    std::optional<FleetPlan> PrepareFleet();
    void FinishFleet();

  private:
    // The port a transfer uses by the port policy; null when the name is no port.
    SerialPort* TransferPort();
    void ReleaseTransferPort();
    BackupSettings Backups() const;
    // Grid edits live in the sections until the bytes are needed: they are encoded into the image only
    // when the sections hold something it lacks, so an unedited document keeps the bytes it came with.
    void EncodeEdits();
    // Runs a load; new contents start a fresh history.
    Outcome Load(const std::function<bool()>& load);

    CRT62MDoc doc_;
    UndoHistory history_;
    SessionSettings settings_;
    PortFactory portFactory_;
    std::unique_ptr<SerialPort> port_;
};

} // namespace rt62
