// The clone protocol: reading the radio's image frame, writing one, and the whole Download.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/image/prompter.h"
#include "core/image/radio_image.h"
#include "core/link/serial_port.h"

namespace rt62 {

// Protocol bytes.
inline constexpr std::uint8_t kRequest = 'p';     // computer: send me your image
inline constexpr std::uint8_t kPrompt = 'P';      // radio: switched on, waiting
inline constexpr std::uint8_t kPromptReply = ' '; // computer: answer to 'P', 'p' follows
inline constexpr std::uint8_t kFrameStart = '!';
inline constexpr std::uint8_t kWriteStart = '`'; // computer: a frame to store follows
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kNak = 0x15;
inline constexpr std::uint8_t kHeaderByte = 0x01; // both header bytes the computer sends

// Message and status ids of the link.
enum LinkString {
    kStrPortProblem = 80,      // "Problem with COM port"
    kStrCheckLead = 81,        // "Check that lead is connected to COM %1"
    kStrUploadDone = 83,       // "Upload is completed"
    kStrHardwareMismatch = 87, // "Hardware configuration mismatched!"
    kStrDownloadDone = 89,     // "Download is completed"
    kStrUploadTitle = 90,      // "Upload Function"
    kStrDownloadTitle = 91,    // "Download Function"
    kStrSwitchRadio = 94,      // "Switch radio OFF, then back ON to start uploading"
    kStrPleaseWait = 95,       // "Please wait"
    kStrCommError = 96,        // "Communication Error"
    kStrTimeout2 = 97,         // "Timeout 2\nconnected to ERR\""
    kStrTimeout4 = 98,         // "Timeout 4"
    kStrBccError = 99,         // "BCC Error"
    kStrOverwrite = 100,       // "Overwrite original data"
    kStrDataError = 101,       // "Data Error"
    kStrRetry = 102,           // "Retry %1"
};

// Progress steps: an upload without restarts, a download without restarts.
inline constexpr int kUploadSteps = 256;
inline constexpr int kDownloadSteps = 517;

// The image bytes the protocol compares and carries over.
inline constexpr std::size_t kHardwareCheckFirst = 0xE2, kHardwareCheckLast = 0xE7;
inline constexpr std::size_t kRadioBytesFirst = 0xE8, kRadioBytesLast = 0xEF;
inline constexpr std::size_t kMarketingFirst = 0xF2, kMarketingLast = 0xFB;

// A stop request from another thread (or a signal handler); seen at the next cancel check.
class CancelToken {
  public:
    void Request() { flag_.store(true, std::memory_order_relaxed); }
    void Reset() { flag_.store(false, std::memory_order_relaxed); }
    bool Requested() const { return flag_.load(std::memory_order_relaxed); }

  private:
    std::atomic<bool> flag_{false};
};
static_assert(std::atomic<bool>::is_always_lock_free, "the cancel flag is set from a signal handler");

// Where a transfer reports progress: the dialog's bar, status line and caption, or the terminal.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void SetRange(int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    // A status text by id; "Retry %1" comes with no argument and shows as "Retry ".
    virtual void SetStatus(int stringId, const std::vector<std::string>& args = {}) = 0;
    virtual void SetTitle(int stringId) = 0;
    // A whole frame went over: received from the radio, or sent to it and acknowledged. For a
    // detailed log only; the default ignores it.
    virtual void FrameDone(bool received, std::size_t bytes, std::chrono::microseconds took) {
        (void)received, (void)bytes, (void)took;
    }
};

// The frame on the wire: '!', two header bytes, the image and the FrameSum.
inline constexpr std::size_t kFrameBytes = 1 + 2 + kImageSize + 1;

// A sink that drops everything.
class NullProgress : public ProgressSink {
  public:
    void SetRange(int) override {}
    void SetPosition(int) override {}
    void SetStatus(int, const std::vector<std::string>& = {}) override {}
    void SetTitle(int) override {}
};

enum class LinkResult { Ok, Failed, Cancelled };

// Called with an image just read from the radio, before anything is done with it; false stops the
// transfer (as a cancel: whoever answered false has told the user).
using RadioImageHook = std::function<bool(const RadioImage& radioImage)>;

// What Download needs from the document besides the image.
struct DownloadOptions {
    bool serviceMode = false;
    bool marketingChanged = false; // the Marketing Parameters dialog changed its data since the last download
    // Rebuilds the image from the document's sections (and stores the checksum); may be empty when
    // the image is already normalized.
    std::function<void(RadioImage&)> normalize;
    // Runs on the verifying read, before the hardware check and the write (the radio backup).
    RadioImageHook radioImageRead = {};
};

// What happened to the image during a Download, whatever the result.
struct DownloadState {
    bool merged = false;              // the radio's bytes were merged in: the image must be kept
    bool keptEditedMarketing = false; // the edited marketing data went out instead of the radio's
};

// One transfer over an open port. Not thread-safe: the worker alone uses it.
class CloneSession {
  public:
    CloneSession(SerialPort& port, CancelToken& cancel, ProgressSink& progress, Prompter& prompter);

    // Gives up (message 81) when no byte of a frame has gone over for this long (a silent radio, or a
    // line whose bytes open no frame); zero waits for ever.
    void SetGiveUpAfter(std::chrono::milliseconds wait) { giveUpAfter_ = wait; }
    int Position() const { return position_; }
    void SetPosition(int position) { position_ = position; }

    // Reads one frame from the radio into dest (which may be partly written on failure).
    LinkResult UploadImage(RadioImage& dest);
    // Sends image to the radio.
    LinkResult WriteImage(const RadioImage& image);
    // Verifying read into scratch, hardware check, merge into current, write of current.
    LinkResult DownloadImage(RadioImage& current, RadioImage& scratch, const DownloadOptions& options,
                             DownloadState& state);

  private:
    enum class Step { Continue, Restart, Stop };

    bool SendByte(std::uint8_t b);
    ReadResult ReceiveByte(std::uint8_t& out);
    ReadResult PollByte(std::uint8_t& out);
    // The cancel check; also where a lost link or the give-up time ends the transfer.
    bool ShouldStop();
    LinkResult Fail(int stringId);
    void Advance();
    void Status(int stringId);
    void FrameOver(bool received);

    Step ReadFrameAttempt(RadioImage& dest, bool& firstAttempt);

    SerialPort& port_;
    CancelToken& cancel_;
    ProgressSink& progress_;
    Prompter& prompter_;
    int position_ = 0;
    std::uint8_t lastByte_ = 0; // the last byte the radio sent; PollByte leaves it as it is
    LinkResult stopResult_ = LinkResult::Failed;
    std::chrono::milliseconds giveUpAfter_{0};
    std::chrono::steady_clock::time_point lastProgress_; // the last step of a frame
    std::chrono::steady_clock::time_point frameStart_;
};

} // namespace rt62
