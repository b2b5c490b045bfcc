#include "cli_document.h"

#include "command.h"

namespace rt62::cli {

bool OpenForCommand(CRT62MDoc& doc, const std::string& path) {
    // A fresh document has nothing to save, so the save question never comes up here.
    return doc.OpenCommand(path, [] { return std::optional<std::string>(); });
}

} // namespace rt62::cli
