// A serial port whose device is held elsewhere (the browser's page): bytes come and go as messages.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/link/serial_port.h"

namespace rt62 {

// What the port needs from whoever holds the device. The page's Web Serial port and a test's script
// both stand behind it; the time-out rules of the link stay in BridgedSerialPort, in one place.
class PortBridge {
  public:
    using Clock = std::chrono::steady_clock;
    // What Receive hands over besides data bytes (0-255).
    static constexpr int kLineError = -1; // a damaged character (framing, parity, break, overrun)
    static constexpr int kLinkLost = -2;  // the device went away; nothing follows

    virtual ~PortBridge() = default;
    // Opens the device at the settings; None when it is open.
    virtual OpenError Open(const LineSettings& settings) = 0;
    virtual void Close() = 0;
    // Hands the bytes to the device; false when it is gone.
    virtual bool Send(const std::uint8_t* data, std::size_t n) = 0;
    // Appends what has arrived since the last call (oldest first), waiting until deadline when nothing has.
    virtual void Receive(Clock::time_point deadline, std::deque<int>& arrived) = 0;
    // Forgets what arrived and was not handed over yet.
    virtual void Discard() = 0;
    virtual Clock::time_point Now() { return Clock::now(); }
    // How many bytes of a run may be handed over before their echoes are back (SerialPort::EchoWindow).
    virtual std::size_t EchoWindow() const { return 1; }
};

class BridgedSerialPort : public SerialPort {
  public:
    explicit BridgedSerialPort(PortBridge& bridge) : bridge_(bridge) {}

    bool Open(const LineSettings& settings) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    bool Write(const std::uint8_t* data, std::size_t n) override;
    ReadResult ReadExact(std::uint8_t* data, std::size_t n) override;
    ReadResult ReadByte(std::uint8_t& out, std::size_t& count) override;
    void PurgeInput() override;
    bool LinkLost() const override { return lost_; }

  protected:
    std::size_t EchoWindow() const override { return bridge_.EchoWindow(); }

  private:
    // Waits for more input until deadline; false when none came (or the link is lost).
    bool Fill(PortBridge::Clock::time_point deadline);

    PortBridge& bridge_;
    bool open_ = false;
    bool lost_ = false;
    std::deque<int> input_;
};

} // namespace rt62
