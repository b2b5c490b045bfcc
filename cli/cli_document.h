// Shared steps of the rt62m commands that read a data file into a document.
#pragma once

#include <string>
#include <vector>

#include "cli_prompter.h"
#include "image/document.h"

namespace rt62::cli {

// Opens path as the File Open command does (probe, messages 32/34/37 on stderr, then the load).
// true when the document now holds the file's contents.
bool OpenForCommand(CRT62MDoc& doc, const std::string& path);

} // namespace rt62::cli
