// The one way a data file is written and read: every writer (Save, Save As, rt62m new/upload, imports,
// radio backups) and every reader of a whole file goes through these functions.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/prompter.h"
#include "image/radio_image.h"

namespace rt62 {

using DataFileBytes = std::array<std::uint8_t, kDataFileSize>;

// The 262 bytes of a data file: the image, then the Default Split trailer.
DataFileBytes MakeDataFileBytes(const RadioImage& image, const FileTrailerBytes& trailer);

enum class WriteStatus {
    Ok,
    CannotCreate, // the target (or its temporary) cannot be opened for writing: message 35
    WriteFailed,  // the bytes could not all be written and kept: message 33; the old file is as it was
};

// Writes bytes as the whole new contents of path. The old file stays untouched on any failure.
WriteStatus WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

// WriteFileBytes with the failure shown through the prompter (35 with the path, or 33). true when written.
bool WriteDataFile(Prompter& prompter, const std::string& path, std::span<const std::uint8_t> bytes);

enum class ReadStatus {
    Ok,
    CannotOpen, // missing, not a regular file, no permission: message 32
    CannotRead, // opened, but reading failed or gave nothing: message 34
};

struct ReadOutcome {
    ReadStatus status = ReadStatus::CannotOpen;
    std::vector<std::uint8_t> bytes; // at most maxBytes of the file's contents
};

// Reads up to maxBytes from path.
ReadOutcome ReadFileBytes(const std::string& path, std::size_t maxBytes = kDataFileSize);

} // namespace rt62
