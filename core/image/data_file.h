// The one way a data file is written and read: every writer (Save, Save As, rt62m new/upload, imports,
// radio backups) and every reader of a whole file goes through these functions.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/image/prompter.h"
#include "core/image/radio_image.h"

namespace rt62 {

using DataFileBytes = std::array<std::uint8_t, kDataFileSize>;

// The 262 bytes of a data file: the image, then the Default Split trailer.
DataFileBytes MakeDataFileBytes(const RadioImage& image, const FileTrailerBytes& trailer);

enum class WriteStatus {
    Ok,
    CannotCreate,  // the target (or its temporary) cannot be created: message 35
    WriteFailed,   // the bytes could not all be written and kept: message 33; the old file is as it was
    NotRegular,    // a directory, device, FIFO or socket: message 35, nothing was touched
    ReadOnly,      // the file exists but may not be written: message 49, nothing was touched
    RestoreFailed, // written in place, failed, and the old contents could not be put back: message 33,
                   // then 4001 naming the copy of the old contents that was kept
};

// Writes bytes as the whole new contents of path. A link is written through to the file it names.
// The new contents go to a temporary file beside the target, which replaces it only once everything
// is on disk; where that replacement would lose the file's hard links or its owner, or the folder
// may not be written, the file is rewritten in place after its old contents were copied to the
// temporary folder, and they are put back on failure. The old file is untouched on any failure
// (except RestoreFailed, when keptCopy receives the path of the copy).
WriteStatus WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes,
                           std::string* keptCopy = nullptr);

// What WriteFileBytes would refuse before it writes anything (type, read-only, no folder to create
// the file in); Ok when it may go ahead. Lets a caller refuse a target before a long transfer.
WriteStatus CheckWritable(const std::string& path);

// WriteFileBytes with the failure shown through the prompter (35, 49 or 33). true when written.
bool WriteDataFile(Prompter& prompter, const std::string& path, std::span<const std::uint8_t> bytes);
// CheckWritable with its refusal shown as WriteDataFile would show it. true when the write may go ahead.
bool CheckDataFileWritable(Prompter& prompter, const std::string& path);
// The message of a failed write, as WriteDataFile shows it.
void ShowWriteFailure(Prompter& prompter, WriteStatus status, const std::string& path,
                      const std::string& keptCopy = {});

// Adds bytes at the end of path (made when missing; only a regular file is written) and waits until
// they are on disk. For logs that must survive a crash line by line. true when all of it was kept.
bool AppendFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

enum class ReadStatus {
    Ok,
    CannotOpen, // missing, not a regular file, no permission: message 32
    CannotRead, // opened, but reading failed or gave nothing: message 34
};

struct ReadOutcome {
    ReadStatus status = ReadStatus::CannotOpen;
    std::vector<std::uint8_t> bytes; // at most maxBytes of the file's contents
};

// Reads up to maxBytes from path. Only a regular file is opened: a FIFO, device or directory is
// CannotOpen without blocking.
ReadOutcome ReadFileBytes(const std::string& path, std::size_t maxBytes = kDataFileSize);

// Whether path names a regular file that can be opened for reading, and its size; nullopt otherwise.
// Checked without blocking, so a FIFO or a serial device never stalls the caller.
std::optional<std::uintmax_t> RegularFileSize(const std::string& path);

// Reads up to maxBytes from an open descriptor until its end (standard input for "-" on the command
// line). CannotRead when reading failed.
ReadOutcome ReadDescriptorBytes(int fd, std::size_t maxBytes);
// A text for a file of this system, with the line ends its own tools expect: CR LF on Windows (a CR LF
// already there stays as it is), LF elsewhere.
std::string NativeLineEnds(std::string text);

// Writes all bytes to an open descriptor (standard output for "-o -"). true when all went out.
bool WriteDescriptorBytes(int fd, std::span<const std::uint8_t> bytes);

} // namespace rt62
