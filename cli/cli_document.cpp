#include "cli/cli_document.h"

#include <cstdio>

#include "core/image/data_file.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define RT62_ISATTY _isatty
#else
#include <unistd.h>
#define RT62_ISATTY isatty
#endif

namespace rt62::cli {
namespace {

constexpr int kStrBinaryToTerminal = 4003;
constexpr char kStandardStream[] = "-";

void BinaryMode([[maybe_unused]] int fd) {
#ifdef _WIN32
    _setmode(fd, _O_BINARY); // no CR LF translation of the image bytes
#endif
}

} // namespace

bool OpenForCommand(CRT62MDoc& doc, const std::string& path) {
    if (path == kStandardStream) {
        BinaryMode(0);
        // One byte more than a data file, so a longer input is told from a data file.
        ReadOutcome read = ReadDescriptorBytes(0, kDataFileSize + 1);
        if (read.status != ReadStatus::Ok) {
            doc.GetPrompter().show(34, Buttons::Ok, Icon::Stop, {path});
            return false;
        }
        return doc.OpenBytes(read.bytes, path);
    }
    // A fresh document has nothing to save, so the save question never comes up here.
    return doc.OpenCommand(path, [] { return std::optional<std::string>(); });
}

bool CheckOutput(Prompter& prompter, const std::string& path) {
    if (path != kStandardStream) return CheckDataFileWritable(prompter, path);
    if (RT62_ISATTY(1)) {
        prompter.show(kStrBinaryToTerminal, Buttons::Ok, Icon::Stop);
        return false;
    }
    return true;
}

bool WriteOutput(Prompter& prompter, const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path != kStandardStream) return WriteDataFile(prompter, path, bytes);
    if (!CheckOutput(prompter, path)) return false;
    BinaryMode(1);
    std::fflush(stdout);
    if (!WriteDescriptorBytes(1, bytes)) {
        ShowWriteFailure(prompter, WriteStatus::WriteFailed, path);
        return false;
    }
    return true;
}

} // namespace rt62::cli
