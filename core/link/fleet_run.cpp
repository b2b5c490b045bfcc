#include "core/link/fleet_run.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <filesystem>
#include <span>

#include "core/image/data_file.h"
#include "core/image/fields.h"
#include "core/image/sections.h"
#include "core/image/strings.h"
#include "core/image/text_rules.h"
#include "core/text/field_diff.h"

namespace rt62 {
namespace {

constexpr std::size_t kListFileLimit = 1 << 20;

constexpr FleetResult kLoggedResults[] = {FleetResult::Programmed, FleetResult::VerifyFailed,
                                          FleetResult::HardwareDiffers, FleetResult::NoAnswer,
                                          FleetResult::Cancelled};

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        out.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return out;
}

// The records of a CSV text: lines, except that a line break inside a quoted field belongs to the field
// (a backup folder may have one in its name; the writer quotes it).
std::vector<std::string_view> SplitRecords(std::string_view text) {
    std::vector<std::string_view> out;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] == '"') quoted = !quoted; // a doubled quote turns it twice
        if (i == text.size() ? i > start : text[i] == '\n' && !quoted) {
            std::string_view record = text.substr(start, i - start);
            if (!record.empty() && record.back() == '\r') record.remove_suffix(1);
            out.push_back(record);
            start = i + 1;
        }
    }
    return out;
}

std::string CsvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

// The fields of one CSV line; nullopt when a quote is left open.
std::optional<std::vector<std::string>> CsvFields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    if (quoted) return std::nullopt;
    return fields;
}

std::string TimeText(std::time_t when) {
    const std::tm t = LocalTime(when);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &t);
    return buf;
}

bool AppendText(const std::string& path, const std::string& text) {
    return AppendFileBytes(path, std::span<const std::uint8_t>(
                                     reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// Whether code counts up from start: same width, same characters before start's trailing digits,
// digits after them, and not below start.
bool InSequence(std::string_view code, std::string_view start) {
    if (code.size() != start.size()) return false;
    std::size_t digitsFrom = start.size();
    while (digitsFrom > 0 && std::isdigit(static_cast<unsigned char>(start[digitsFrom - 1])))
        --digitsFrom;
    if (code.substr(0, digitsFrom) != start.substr(0, digitsFrom)) return false;
    for (std::size_t i = digitsFrom; i < code.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(code[i]))) return false;
    return code >= start;
}

std::optional<std::vector<std::string>> PlanCounter(const std::string& startText, int count,
                                                    const FleetLog& log, Prompter& prompter) {
    const std::optional<std::string> start = ParseAniCode(startText);
    if (!start) {
        prompter.show(kStrAniNotACode, Buttons::Ok, Icon::Stop, {startText});
        return std::nullopt;
    }
    if (!std::isdigit(static_cast<unsigned char>(start->back()))) {
        prompter.show(kStrAniCannotCount, Buttons::Ok, Icon::Stop, {*start});
        return std::nullopt;
    }
    // Go on after the highest code of this sequence the log shows used.
    std::string next = *start;
    std::optional<std::string> lastUsed;
    for (const FleetLogLine& line : log.lines)
        if (line.result == FleetResult::Programmed && InSequence(line.aniCode, *start) &&
            (!lastUsed || line.aniCode > *lastUsed))
            lastUsed = line.aniCode;
    const auto outgrows = [&] {
        prompter.show(kStrAniOutgrows, Buttons::Ok, Icon::Stop,
                      {lastUsed ? *lastUsed : *start, std::to_string(count), std::to_string(start->size())});
        return std::nullopt;
    };
    if (lastUsed) {
        const std::optional<std::string> after = NextAniCode(*lastUsed);
        if (!after) return outgrows();
        next = *after;
    }
    std::vector<std::string> codes;
    while (static_cast<int>(codes.size()) < count) {
        if (!log.CodeUsed(next)) codes.push_back(next);
        if (static_cast<int>(codes.size()) == count) break;
        const std::optional<std::string> after = NextAniCode(next);
        if (!after) return outgrows();
        next = *after;
    }
    return codes;
}

std::optional<std::vector<std::string>> PlanList(const std::vector<std::string>& list, int count,
                                                 const FleetLog& log, Prompter& prompter) {
    std::size_t from = 0;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (log.CodeUsed(list[i])) from = i + 1;
    std::vector<std::string> codes;
    for (std::size_t i = from; i < list.size(); ++i)
        if (!log.CodeUsed(list[i])) codes.push_back(list[i]);
    if (count == 0 && !codes.empty()) return codes;
    if (codes.empty() || static_cast<int>(codes.size()) < count) {
        prompter.show(kStrAniListShort, Buttons::Ok, Icon::Stop,
                      {std::to_string(codes.size()), std::to_string(count == 0 ? 1 : count)});
        return std::nullopt;
    }
    codes.resize(static_cast<std::size_t>(count));
    return codes;
}

bool HardwareMatches(const RadioImage& radio, const RadioImage& wanted) {
    return std::equal(radio.begin() + kHardwareCheckFirst, radio.begin() + kHardwareCheckLast + 1,
                      wanted.begin() + kHardwareCheckFirst);
}

} // namespace

std::string_view FleetResultWord(FleetResult result) {
    switch (result) {
    case FleetResult::Programmed:
        return "programmed";
    case FleetResult::VerifyFailed:
        return "verify failed";
    case FleetResult::HardwareDiffers:
        return "hardware differs";
    case FleetResult::NoAnswer:
        return "no answer";
    case FleetResult::Cancelled:
        return "cancelled";
    case FleetResult::AlreadyProgrammed:
        break;
    }
    return "already programmed";
}

std::string FleetRadioLine(const FleetRadio& radio) {
    const std::string code = radio.aniCode.empty() ? "-" : radio.aniCode;
    const std::string serial = radio.serial.empty() ? "-" : radio.serial;
    return FormatString(kStrFleetRadioLine, {std::to_string(radio.number), std::to_string(radio.total), serial, code,
                                             std::string(FleetResultWord(radio.result))});
}

std::string FleetLogText(const FleetLogLine& line) {
    return CsvField(line.time) + ',' + CsvField(line.serial) + ',' + CsvField(line.aniCode) + ',' +
           std::string(FleetResultWord(line.result)) + ',' + CsvField(line.backupFile);
}

std::optional<FleetLogLine> ParseFleetLogLine(std::string_view text) {
    const auto fields = CsvFields(text);
    if (!fields || fields->size() != 5) return std::nullopt;
    FleetLogLine line{(*fields)[0], (*fields)[1], (*fields)[2], FleetResult::NoAnswer, (*fields)[4]};
    for (FleetResult r : kLoggedResults)
        if ((*fields)[3] == FleetResultWord(r)) {
            line.result = r;
            return line;
        }
    return std::nullopt;
}

std::string FleetLog::ProgrammedCode(std::string_view serial) const {
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
        if (it->result == FleetResult::Programmed && it->serial == serial) return it->aniCode;
    return {};
}

bool FleetLog::CodeUsed(std::string_view code) const {
    return std::any_of(lines.begin(), lines.end(), [&](const FleetLogLine& l) {
        return l.result == FleetResult::Programmed && l.aniCode == code;
    });
}

FleetLogStatus ReadFleetLog(const std::string& path, FleetLog& log) {
    log.lines.clear();
    const std::optional<std::uintmax_t> size = RegularFileSize(path);
    if (!size) {
        // Nothing there yet is a new log; something there that cannot be read is not.
        std::error_code ec;
        return std::filesystem::exists(path, ec) || ec ? FleetLogStatus::CannotRead : FleetLogStatus::Missing;
    }
    if (*size == 0) return FleetLogStatus::Missing;
    const ReadOutcome read = ReadFileBytes(path, static_cast<std::size_t>(*size));
    if (read.status != ReadStatus::Ok) return FleetLogStatus::CannotRead;
    const std::string text(read.bytes.begin(), read.bytes.end());
    const std::vector<std::string_view> lines = SplitRecords(text);
    if (lines.empty()) return FleetLogStatus::Missing;
    log.endsOpen = text.back() != '\n';
    if (lines.front() != kFleetLogHeader) return FleetLogStatus::NotALog;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (Trim(lines[i]).empty()) continue;
        std::optional<FleetLogLine> line = ParseFleetLogLine(lines[i]);
        if (!line) return FleetLogStatus::NotALog;
        log.lines.push_back(std::move(*line));
    }
    return FleetLogStatus::Ok;
}

std::optional<std::string> ParseAniCode(std::string_view text) {
    text = Trim(text);
    if (text.empty() || text.size() > kAniCodeLength) return std::nullopt;
    std::string code = DtmfKeypadText(text, kAniCodeLength);
    if (code.size() != text.size()) return std::nullopt;
    return code;
}

std::optional<std::string> NextAniCode(std::string_view code) {
    std::string next(code);
    std::size_t i = next.size();
    if (i == 0 || !std::isdigit(static_cast<unsigned char>(next[i - 1]))) return std::nullopt;
    while (i > 0 && std::isdigit(static_cast<unsigned char>(next[i - 1]))) {
        --i;
        if (next[i] != '9') {
            ++next[i];
            return next;
        }
        next[i] = '0';
    }
    return std::nullopt; // all nines: one more digit would be needed
}

std::optional<std::vector<std::string>> ReadAniCodeList(const std::string& path, Prompter& prompter) {
    const ReadOutcome read = ReadFileBytes(path, kListFileLimit);
    if (read.status != ReadStatus::Ok) {
        prompter.show(kStrAniListUnreadable, Buttons::Ok, Icon::Stop, {path});
        return std::nullopt;
    }
    const std::string text(read.bytes.begin(), read.bytes.end());
    std::vector<std::string> codes;
    for (std::string_view line : SplitLines(text)) {
        if (Trim(line).empty()) continue;
        const std::optional<std::string> code = ParseAniCode(line);
        if (!code) {
            prompter.show(kStrAniNotACode, Buttons::Ok, Icon::Stop, {std::string(Trim(line))});
            return std::nullopt;
        }
        if (std::find(codes.begin(), codes.end(), *code) != codes.end()) {
            prompter.show(kStrAniTwice, Buttons::Ok, Icon::Stop, {*code});
            return std::nullopt;
        }
        codes.push_back(*code);
    }
    return codes;
}

std::optional<std::vector<std::string>> PlanAniCodes(const AniCodeSource& source, int count,
                                                     const FleetLog& log, Prompter& prompter) {
    if (!source.start.empty()) return PlanCounter(source.start, std::max(count, 0), log, prompter);
    return PlanList(source.list, std::max(count, 0), log, prompter);
}

FleetSummary RunFleet(SerialPort& port, const FleetRequest& request, FleetControl& control,
                      ProgressSink& progress, Prompter& prompter, FleetObserver& observer) {
    FleetSummary summary;
    FleetLog log;
    const FleetLogStatus logStatus = ReadFleetLog(request.logPath, log);
    if (logStatus == FleetLogStatus::NotALog) {
        prompter.show(kStrFleetNotALog, Buttons::Ok, Icon::Stop, {request.logPath});
        return summary;
    }
    if (logStatus == FleetLogStatus::CannotRead) {
        prompter.show(kStrFleetLogUnwritable, Buttons::Ok, Icon::Stop, {request.logPath});
        return summary;
    }
    const std::optional<std::vector<std::string>> codes =
        PlanAniCodes(request.codes, request.count, log, prompter);
    if (!codes) return summary;
    // The log must take the new lines before any radio is touched.
    const std::string header = logStatus == FleetLogStatus::Missing ? std::string(kFleetLogHeader) + '\n'
                               : log.endsOpen                        ? "\n"
                                                                     : "";
    if (!AppendText(request.logPath, header)) {
        prompter.show(kStrFleetLogUnwritable, Buttons::Ok, Icon::Stop, {request.logPath});
        return summary;
    }
    if (!OpenCloneLink(port)) {
        ShowPortProblem(prompter, &port);
        return summary;
    }
    summary.started = true;
    summary.total = static_cast<int>(codes->size());
    progress.SetTitle(kStrFleetTitle);

    std::size_t nextCode = 0;
    // Every radio connected gets a number of its own. One that the log shows as programmed takes no
    // code, so the run needs one radio more than it was for: the total grows with each.
    int connected = 0;
    int alreadyFound = 0;
    for (int done = 0; done < summary.total && !control.StopRequested();) {
        const int number = ++connected;
        const int total = summary.total + alreadyFound;
        const std::vector<std::string> numbers{std::to_string(number), std::to_string(total)};
        observer.RadioStarting(number, total);
        observer.Prompt(kStrFleetConnect, numbers);
        port.ExpectNextRadio();
        progress.SetRange(kFleetRadioSteps);

        FleetRadio radio;
        radio.number = number;
        radio.total = total;
        const std::string& code = (*codes)[nextCode];
        RadioImage image = request.templateImage;
        StoreAniCode(image, code);
        RadioImage scratch = image;

        // What the first read found, decided before anything is written.
        bool hardwareDiffers = false, alreadyProgrammed = false, backupDeclined = false;
        DownloadOptions options;
        options.radioImageRead = [&](const RadioImage& read) {
            control.SetWaiting(false);
            radio.serial = ReadSerialNumber(read);
            if (!BackUpRadioImage(prompter, request.backup, read, std::time(nullptr), &radio.backupFile)) {
                backupDeclined = true;
                return false;
            }
            if (!HardwareMatches(read, image)) {
                hardwareDiffers = true;
                return false;
            }
            const std::string logged = log.ProgrammedCode(radio.serial);
            if (!logged.empty() && !request.programAgain) {
                alreadyProgrammed = true;
                radio.aniCode = logged;
                return false;
            }
            return true;
        };

        CloneSession session(port, control.Cancel(), progress, prompter);
        session.SetGiveUpAfter(request.giveUpAfter);
        DownloadState state;
        control.SetWaiting(true);
        LinkResult written = control.StopRequested() ? LinkResult::Cancelled
                                                     : session.DownloadImage(image, scratch, options, state);
        control.SetWaiting(false);

        if (alreadyProgrammed) {
            radio.result = FleetResult::AlreadyProgrammed;
            prompter.show(kStrFleetAlready, Buttons::Ok, Icon::Information, {radio.serial, radio.aniCode});
            observer.RadioDone(radio);
            ++alreadyFound; // not one of this run's radios: one more is needed
            continue;
        }
        if (state.merged) radio.aniCode = code;
        if (hardwareDiffers) {
            radio.result = FleetResult::HardwareDiffers;
        } else if (backupDeclined || written == LinkResult::Cancelled) {
            radio.result = FleetResult::Cancelled;
        } else if (written == LinkResult::Failed) {
            radio.result = FleetResult::NoAnswer;
        } else {
            observer.Prompt(kStrFleetReadBack, numbers);
            RadioImage readBack = image;
            const LinkResult back = session.UploadImage(readBack);
            if (back == LinkResult::Ok) {
                const DiffReport diff = DiffDataFiles(MakeDataFileBytes(readBack, request.trailer),
                                                      MakeDataFileBytes(image, request.trailer),
                                                      DiffMode::RadioAgainstFile, request.format);
                for (const DiffLine& line : diff.lines)
                    if (line.counts) radio.differences.push_back(line.text);
                radio.result = diff.Differs() ? FleetResult::VerifyFailed : FleetResult::Programmed;
            } else {
                radio.result = back == LinkResult::Cancelled ? FleetResult::Cancelled : FleetResult::NoAnswer;
            }
        }

        const bool cancelled = radio.result == FleetResult::Cancelled;
        if (cancelled && radio.serial.empty()) {
            // Stopped while waiting for a radio: none was in hand, so there is nothing to log.
            summary.cancelled = !control.StopRequested();
            break;
        }
        const FleetLogLine line{TimeText(std::time(nullptr)), radio.serial, radio.aniCode, radio.result,
                                radio.backupFile};
        if (!AppendText(request.logPath, FleetLogText(line) + '\n')) {
            summary.logFailed = true;
            prompter.show(kStrFleetLogLost, Buttons::Ok, Icon::Stop,
                          {request.logPath, radio.serial, radio.aniCode, std::string(FleetResultWord(radio.result))});
        }
        log.lines.push_back(line);
        if (radio.result == FleetResult::Programmed) {
            ++summary.programmed;
            ++nextCode;
        } else {
            ++summary.notProgrammed;
        }
        if (hardwareDiffers) prompter.show(kStrFleetHardware, Buttons::Ok, Icon::Exclamation, {radio.serial});
        observer.RadioDone(radio);
        if (cancelled) {
            summary.cancelled = true;
            break;
        }
        if (summary.logFailed) break;
        ++done;
    }
    return summary;
}

} // namespace rt62
