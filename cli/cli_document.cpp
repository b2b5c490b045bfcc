#include "cli_document.h"

#include "command.h"

namespace rt62::cli {

bool OpenForCommand(CRT62MDoc& doc, const std::string& path) {
    // A fresh document has nothing to save, so the save question never comes up here.
    return doc.OpenCommand(path, [] { return std::optional<std::string>(); });
}

bool SingleFileArgument(const std::vector<std::string>& args, const char* command, std::string& path, int& exitCode) {
    if (args.size() != 1 || args[0].empty()) {
        exitCode = UsageError(std::string(command) + ": expected exactly one FILE");
        return false;
    }
    if (args[0].size() > 1 && args[0][0] == '-') {
        exitCode = UsageError(std::string(command) + ": unknown option '" + args[0] + "'");
        return false;
    }
    path = args[0];
    return true;
}

}  // namespace rt62::cli
