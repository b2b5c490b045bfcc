// The serial port on Linux and macOS: termios, poll() deadlines, PARMRK and error counters.
#pragma once

#ifndef _WIN32

#include <termios.h>

#include <chrono>
#include <deque>
#include <string>

#include "core/link/parmrk_decoder.h"
#include "core/link/serial_port.h"

namespace rt62 {

class PosixSerialPort : public SerialPort {
  public:
    explicit PosixSerialPort(std::string devicePath);
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    bool Open(const LineSettings& settings) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    bool Write(const std::uint8_t* data, std::size_t n) override;
    ReadResult ReadExact(std::uint8_t* data, std::size_t n) override;
    ReadResult ReadByte(std::uint8_t& out, std::size_t& count) override;
    void PurgeInput() override;
    bool LinkLost() const override { return lost_; }

    const std::string& DevicePath() const { return path_; }

  private:
    using Clock = std::chrono::steady_clock;
    enum class Wait { Ready, TimedOut, Failed };

    // Reads what is there into the decoded queue, waiting until the deadline for something.
    Wait Fill(Clock::time_point deadline);
    // True (and the error consumed) when the driver counted a line error since the last look or
    // the marked stream holds one at its front.
    bool TakeLineError();
    void MarkLost() { lost_ = true; }

    std::string path_;
    int fd_ = -1;
    bool lost_ = false;
    bool haveSaved_ = false;
    struct termios saved_ {};
    bool haveCounters_ = false;
    long errorCount_ = 0;
    ParmrkDecoder decoder_;
    std::deque<int> input_; // decoded bytes and line-error marks not yet read
};

} // namespace rt62

#endif
