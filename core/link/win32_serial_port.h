// The serial port on Windows: "\\.\COM%d", the device control block, COMMTIMEOUTS, ClearCommError.
#pragma once

#ifdef _WIN32

#include <string>

#include "core/link/serial_port.h"

namespace rt62 {

class Win32SerialPort : public SerialPort {
  public:
    explicit Win32SerialPort(std::string devicePath);
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    bool Open(const LineSettings& settings) override;
    void Close() override;
    bool IsOpen() const override;
    bool Write(const std::uint8_t* data, std::size_t n) override;
    ReadResult ReadExact(std::uint8_t* data, std::size_t n) override;
    ReadResult ReadByte(std::uint8_t& out, std::size_t& count) override;
    void PurgeInput() override;
    bool LinkLost() const override { return lost_; }

  private:
    bool TakeLineError();
    void NoteFailure();

    std::string path_;
    void* handle_; // HANDLE; INVALID_HANDLE_VALUE while closed
    bool lost_ = false;
};

} // namespace rt62

#endif
