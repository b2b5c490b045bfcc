// A fleet run: one template written into many radios, each with its own ANI code, read back, compared
// field by field and logged, one line per radio, before the next radio is asked for.
#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/image/prompter.h"
#include "core/image/radio_image.h"
#include "core/image/twotone.h"
#include "core/link/clone_protocol.h"
#include "core/link/radio_backup.h"
#include "core/link/serial_port.h"

namespace rt62 {

enum FleetString {
    kStrFleetTitle = 4500,         // "Program Fleet"
    kStrFleetConnect = 4501,       // "Radio %1 of %2: connect it, then switch it OFF and back ON to program it"
    kStrFleetReadBack = 4502,      // "Radio %1 of %2: switch it OFF and back ON to read it back"
    kStrAniCannotCount = 4503,     // "ANI code %1 cannot count up: it does not end in a digit."
    kStrAniOutgrows = 4504,        // "Counting up from ANI code %1 for %2 radios would outgrow its %3 characters."
    kStrAniNotACode = 4505,        // "\"%1\" is not an ANI code: ..."
    kStrAniTwice = 4506,           // "ANI code %1 appears twice in the list."
    kStrAniListUnreadable = 4507,  // "Problem reading the list of ANI codes\r\nFile Name = %1"
    kStrFleetNotALog = 4508,       // "%1 is not a fleet log: ..."
    kStrFleetLogUnwritable = 4509, // "Problem writing the fleet log\r\nFile Name = %1"
    kStrFleetAlready = 4510,       // "Radio %1 is in the fleet log as programmed with ANI code %2; ..."
    kStrFleetRadioLine = 4511,     // "Radio %1 of %2: serial %3, ANI code %4: %5"
    kStrAniListShort = 4512,       // "The list holds %1 ANI codes not used yet; %2 radios were asked for."
    kStrFleetLogLost = 4513,       // "Problem writing the fleet log ... Radio %2 got ANI code %3 (%4) ..."
    kStrFleetSummary = 4514,       // "%1 of %2 radios programmed."
    kStrFleetHardware = 4515,      // "Hardware configuration mismatched! Radio %1 is skipped."
};

// What became of one radio. AlreadyProgrammed radios are named but not logged again.
enum class FleetResult { Programmed, VerifyFailed, HardwareDiffers, NoAnswer, Cancelled, AlreadyProgrammed };

// The result as the log writes it: "programmed", "verify failed", "hardware differs", "no answer",
// "cancelled" ("already programmed" is never written).
std::string_view FleetResultWord(FleetResult result);

inline constexpr char kFleetLogHeader[] = "time,serial_number,ani_code,result,backup_file";

struct FleetLogLine {
    std::string time; // local time, "2026-12-08T23:10:05"
    std::string serial;
    std::string aniCode; // the code written into the radio; empty when nothing was written
    FleetResult result = FleetResult::NoAnswer;
    std::string backupFile;
};

// One line of the CSV log without its line end; a field holding a comma, quote or line break is quoted.
std::string FleetLogText(const FleetLogLine& line);
// A line of the log, or nullopt when the text is none.
std::optional<FleetLogLine> ParseFleetLogLine(std::string_view text);

struct FleetLog {
    std::vector<FleetLogLine> lines;
    bool endsOpen = false; // the file's last line has no line end yet
    // The last code the log shows serial programmed with; empty when it shows none.
    std::string ProgrammedCode(std::string_view serial) const;
    // Whether a radio was programmed with code.
    bool CodeUsed(std::string_view code) const;
};

enum class FleetLogStatus { Ok, Missing, CannotRead, NotALog };
// A missing or empty file is an empty log (Missing).
FleetLogStatus ReadFleetLog(const std::string& path, FleetLog& log);

// The code as the ANI field stores it (blanks around it dropped, a-d raised), or nullopt when it is
// empty, longer than 15 characters, or has a character the field cannot hold.
std::optional<std::string> ParseAniCode(std::string_view text);
// The code counted up by one in its trailing digits, keeping its width ("A0099" -> "A0100"); nullopt
// when it does not end in a digit or would outgrow its width ("999").
std::optional<std::string> NextAniCode(std::string_view code);

// The codes of a list file, one per line (blank lines skipped); refusals shown, nullopt then.
std::optional<std::vector<std::string>> ReadAniCodeList(const std::string& path, Prompter& prompter);

// Where the codes come from: counting up from start, or the list when start is empty.
struct AniCodeSource {
    std::string start;
    std::vector<std::string> list;
};

// The codes for up to count radios, in order, going on after the last code the log shows used and
// never repeating a used one. With a list, count 0 means one radio per code left. Refusals (a code
// that would outgrow its width, a list too short) are shown through the prompter; nullopt then.
std::optional<std::vector<std::string>> PlanAniCodes(const AniCodeSource& source, int count,
                                                     const FleetLog& log, Prompter& prompter);

// One radio as it completes.
struct FleetRadio {
    int number = 0; // 1-based: the radios connected so far in this run
    int total = 0;  // the radios the run needs: one per code, and one more for each already programmed
    std::string serial;
    std::string aniCode; // written into the radio; for AlreadyProgrammed, the code the log shows
    FleetResult result = FleetResult::NoAnswer;
    std::string backupFile;
    std::vector<std::string> differences; // VerifyFailed: the counted fields that differ
};

// The radio's line for rt62m's standard output (kStrFleetRadioLine): number, total, serial, code and
// result, "-" standing for a serial or code there is none of.
std::string FleetRadioLine(const FleetRadio& radio);

// What the window or the terminal shows besides the transfer's own progress.
class FleetObserver {
  public:
    virtual ~FleetObserver() = default;
    // number and total as in FleetRadio.
    virtual void RadioStarting(int number, int total) = 0;
    // What the user must do now (kStrFleetConnect, kStrFleetReadBack).
    virtual void Prompt(int stringId, const std::vector<std::string>& args) = 0;
    virtual void RadioDone(const FleetRadio& radio) = 0;
};

// How a run is ended from another thread (or a signal handler): Cancel stops the radio in hand at
// once (it is logged "cancelled"); Stop lets it finish and ends the run before the next one, unless
// the run is still waiting for that radio to answer, which then ends at once.
class FleetControl {
  public:
    CancelToken& Cancel() { return cancel_; }
    void Stop() {
        stop_.store(true);
        if (waiting_.load()) cancel_.Request();
    }
    bool StopRequested() const { return stop_.load(); }
    // The run says whether it is waiting for a radio that has not answered yet.
    void SetWaiting(bool waiting) { waiting_.store(waiting); }

  private:
    CancelToken cancel_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> waiting_{false};
};

struct FleetRequest {
    RadioImage templateImage{}; // normalized, as a Download would write it; never changed
    FileTrailerBytes trailer{}; // the backups' Default Split
    TwoToneFormat format = TwoToneFormat::Standard;
    AniCodeSource codes;
    int count = 0; // radios; 0 with a list: one per code left
    std::string logPath;
    bool programAgain = false; // a radio the log shows as programmed gets a new code all the same
    BackupSettings backup;
    std::chrono::milliseconds giveUpAfter{0};
};

struct FleetSummary {
    bool started = false; // false: refused before the first radio (the message was shown)
    int total = 0;        // radios the run was for
    int programmed = 0;
    int notProgrammed = 0; // logged with another result
    bool cancelled = false;
    bool logFailed = false;
    bool AllProgrammed() const { return started && !cancelled && !logFailed && notProgrammed == 0 && programmed == total; }
};

// Runs the fleet over port (opened here when closed). Every image read from the radio first is backed
// up; each radio ends as one log line written to disk before the next radio is asked for.
FleetSummary RunFleet(SerialPort& port, const FleetRequest& request, FleetControl& control,
                      ProgressSink& progress, Prompter& prompter, FleetObserver& observer);

// Progress steps of one radio: the Download, then the read-back.
inline constexpr int kFleetRadioSteps = kDownloadSteps + kUploadSteps;

} // namespace rt62
