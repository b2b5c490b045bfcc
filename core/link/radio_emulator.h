// The radio's side of the clone cable, byte by byte: for tests, the benchmark and the "sim:" port.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/image/radio_image.h"

namespace rt62 {

// One thing that appears on the computer's receive line.
struct LineEvent {
    enum class Kind : std::uint8_t {
        Echo,      // the cable's copy of a byte the computer sent
        Byte,      // a byte the radio sent
        LineError, // a damaged character (framing error)
        Pause,     // the radio stays quiet for pauseMs before what follows
    };
    Kind kind = Kind::Byte;
    std::uint8_t value = 0;
    int pauseMs = 0;
};

class RadioEmulator {
  public:
    enum class Start {
        Immediate,     // in clone mode already: answers 'p' with its frame at once
        PowerOnPrompt, // switched on after the computer's first 'p': offers 'P', sends after ' ' 'p'
    };

    // Faults a test or a user of the simulated radio can ask for. "Once" faults reset themselves.
    struct Faults {
        bool noEcho = false;            // no cable: nothing at all comes back
        int dropEchoOfHostByte = -1;    // the echo of the computer's n-th byte (from 0) is lost
        bool silent = false;            // the radio never answers (the cable still echoes)
        bool silentAfterPrompt = false; // 'P' at power-on, then nothing
        int powerOnDelayMs = 0;         // from the first 'p' to the 'P'
        int cutFrameAfter = -1;         // once: the next frame stops after this many bytes
        int lineErrorAtFrameByte = -1;  // once: a line error in place of frame byte n ('!' = 0)
        int frameSumDelta = 0;          // added to the FrameSum of every frame sent
        std::uint8_t headerByte1 = 0x01;
        std::uint8_t headerByte2 = 0x01;
        std::uint8_t writeAnswer = 0x06; // answer to a write with the right sum (ACK)
        int unansweredWrites = 0;        // this many writes get no answer before one is answered
        int writeAnswerDelayMs = 0;
        bool lineErrorAsWriteAnswer = false; // once: a line error instead of the answer to a write
        int hangUpAtHostByte = -1;           // the pseudo-terminal peer hangs up after this byte
        int promptsBeforeFrame = 0; // once: 'P' sent this many more times after ' ' 'p', then the frame
    };

    explicit RadioEmulator(const RadioImage& image, Start start = Start::Immediate);

    // What the line carries back for one byte from the computer, appended to out (echo first).
    void OnHostByte(std::uint8_t b, std::vector<LineEvent>& out);

    // Sees, and may rewrite, what the line carries back for each host byte: the events from index
    // first of out on are this byte's. For faults the fixed set above cannot describe (the fuzzer).
    using LineFilter =
        std::function<void(std::uint8_t hostByte, std::vector<LineEvent>& out, std::size_t first)>;
    void SetLineFilter(LineFilter filter) { filter_ = std::move(filter); }

    Faults& MutableFaults() { return faults_; }
    void SetFaults(const Faults& faults) { faults_ = faults; }
    void SetStart(Start start);

    const RadioImage& Image() const { return image_; }
    void SetImage(const RadioImage& image) { image_ = image; }

    // Everything the computer sent, in order; counts for the benchmark's wire time.
    const std::vector<std::uint8_t>& HostBytes() const { return hostBytes_; }
    std::size_t RadioBytesSent() const { return radioBytes_; }
    int FramesSent() const { return framesSent_; }
    int WritesAccepted() const { return writesAccepted_; }
    int WritesRejected() const { return writesRejected_; }
    bool HangUpRequested() const { return hangUp_; }
    void ClearLog();

  private:
    enum class State { Off, Prompted, Armed, Idle, Receiving };

    void Send(std::uint8_t b, std::vector<LineEvent>& out);
    void SendFrame(std::vector<LineEvent>& out);
    void FinishWrite(std::vector<LineEvent>& out);
    void Respond(std::uint8_t b, std::vector<LineEvent>& out);

    RadioImage image_;
    Start start_;
    Faults faults_;
    State state_;
    std::vector<std::uint8_t> frame_; // the write being received
    std::vector<std::uint8_t> hostBytes_;
    std::size_t radioBytes_ = 0;
    int framesSent_ = 0;
    int writesAccepted_ = 0;
    int writesRejected_ = 0;
    bool hangUp_ = false;
    LineFilter filter_;
};

// The FrameSum: the 8-bit sum of frame bytes 0 to 256.
std::uint8_t FrameSum(std::uint8_t start, std::uint8_t header1, std::uint8_t header2,
                      const RadioImage& image);

} // namespace rt62
