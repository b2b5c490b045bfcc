#include "cli/cli_document.h"

#include <cstdio>

#include "cli/terminal.h"
#include "core/image/data_file.h"

namespace rt62::cli {
namespace {

constexpr int kStrBinaryToTerminal = 4003;
constexpr char kStandardStream[] = "-";

} // namespace

bool OpenForCommand(Session& session, const std::string& path) {
    if (path == kStandardStream) {
        UseBinaryMode(0);
        // One byte more than a data file, so a longer input is told from a data file.
        ReadOutcome read = ReadDescriptorBytes(0, kDataFileSize + 1);
        if (read.status != ReadStatus::Ok) {
            session.GetPrompter().show(kStrReadFailed, Buttons::Ok, Icon::Stop, {path});
            return false;
        }
        return session.OpenBytes(read.bytes, path).ok;
    }
    // A fresh document has nothing to save, so the save question never comes up here.
    return session.Open(path, [] { return std::optional<std::string>(); }).ok;
}

bool CheckOutput(Prompter& prompter, const std::string& path) {
    if (path != kStandardStream) return CheckDataFileWritable(prompter, path);
    if (IsTerminal(stdout)) {
        prompter.show(kStrBinaryToTerminal, Buttons::Ok, Icon::Stop);
        return false;
    }
    return true;
}

bool WriteOutput(Prompter& prompter, const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path != kStandardStream) return WriteDataFile(prompter, path, bytes);
    if (!CheckOutput(prompter, path)) return false;
    UseBinaryMode(1);
    std::fflush(stdout);
    if (!WriteDescriptorBytes(1, bytes)) {
        ShowWriteFailure(prompter, WriteStatus::WriteFailed, path);
        return false;
    }
    return true;
}

} // namespace rt62::cli
