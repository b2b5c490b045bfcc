// The serial port the clone cable plugs into: the interface, the port names and OpenCloneLink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/image/prompter.h"

namespace rt62 {

// Result of every read: the values are the ones the rest of the program compares against.
enum class ReadResult { Ok = 0, LineError = 1, NoData = 2 };

// The line settings of an open; the clone link always uses the defaults (4800 8N2).
struct LineSettings {
    std::uint32_t baudRate = 4800;
    std::uint8_t byteSize = 8;
    std::uint8_t parity = 0;   // 0 none
    std::uint8_t stopBits = 2; // 2 means two stop bits
};

// Driver queue size, and the time-outs every backend reproduces (milliseconds).
inline constexpr std::size_t kPortQueueSize = 4096;
inline constexpr int kReadIntervalMs = 100;
inline constexpr int kReadPerByteMs = 5;
inline constexpr int kReadConstantMs = 500;
inline constexpr int kWritePerByteMs = 100;
inline constexpr int kWriteConstantMs = 5000;

inline constexpr int ReadTimeoutMs(std::size_t n) {
    return kReadConstantMs + kReadPerByteMs * static_cast<int>(n);
}
inline constexpr int WriteTimeoutMs(std::size_t n) {
    return kWriteConstantMs + kWritePerByteMs * static_cast<int>(n);
}

// Why the last Open failed, so the message can tell the user what to do about it.
enum class OpenError { None, NotFound, PermissionDenied, Busy, Settings, Other };

class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // Opens with the given settings; false when the device cannot be opened or refuses the settings
    // (the port is then closed again, so a later OpenCloneLink retries instead of using a half-set port).
    virtual bool Open(const LineSettings& settings) = 0;
    // Drops DTR, purges both directions and releases the device. Harmless when not open.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // One blocking write; false when n exceeds the queue size (nothing is sent) or not all went out.
    virtual bool Write(const std::uint8_t* data, std::size_t n) = 0;
    // A pending line error is returned (and cleared) before anything is read; otherwise Ok only when
    // exactly n bytes arrived within the time-out.
    virtual ReadResult ReadExact(std::uint8_t* data, std::size_t n) = 0;
    // Ok with count 1, or Ok with count 0 when 505 ms passed without a byte; NoData when the read failed.
    virtual ReadResult ReadByte(std::uint8_t& out, std::size_t& count) = 0;
    virtual void PurgeInput() = 0;

    // True once the far end has gone away (hang-up, device removed, a read or write call that failed
    // for another reason than a time-out). Waiting longer cannot help then.
    virtual bool LinkLost() const { return false; }

    // The user was asked to put the next radio of a fleet on the cable. A real line has nothing to do;
    // the simulated fleet changes radios.
    virtual void ExpectNextRadio() {}

    // Write, then read the cable's echo of the same bytes into data; the echo is not compared.
    bool SendEchoed(std::uint8_t* data, std::size_t n);

    enum class EchoRun { Done, Failed, Stopped };
    // Sends the bytes one by one, calling echoed() as each one's echo comes in (not compared); Failed
    // when an echo does not come or the write fails, Stopped when echoed() returns false. A byte goes
    // out once the echo of the byte EchoWindow() places before it is in.
    EchoRun SendEachEchoed(const std::uint8_t* data, std::size_t n, const std::function<bool()>& echoed);

    // What message 81 ("...connected to COM %1") names: the COM number, or the device itself.
    const std::string& LeadName() const { return leadName_; }
    void SetLeadName(std::string name) { leadName_ = std::move(name); }

    // None after a successful Open (and before the first).
    OpenError LastOpenError() const { return openError_; }

  protected:
    // How many bytes may be on the line before their echoes are in: one, unless the device sits behind
    // a hop that would otherwise cost its delay on every byte.
    virtual std::size_t EchoWindow() const { return 1; }
    void SetOpenError(OpenError error) { openError_ = error; }

  private:
    std::string leadName_;
    OpenError openError_ = OpenError::None;
};

// How a port is named in the settings and on the command line.
struct PortName {
    enum class Kind { Com, Device, Simulated };
    Kind kind = Kind::Com;
    int comNumber = 0;  // Kind::Com: 1-16
    std::string device; // what the backend opens
    std::string lead;   // LeadName of the port
};

// "COM1".."COM16" (any case), a device path ("/..." on POSIX, "\\.\..." on Windows), "sim:", or
// "sim:fleet" (a line of simulated radios, one after another).
// On POSIX a bare tty name ("ttyUSB0", "cu.usbserial", "rfcomm0") means that node in /dev.
std::optional<PortName> ParsePortName(std::string_view name);
// The device behind "COM<n>" on this platform.
std::string ComDevicePath(int comNumber);

// A closed port for the name, or nullptr when the name is not a port name.
std::unique_ptr<SerialPort> CreateSerialPort(std::string_view name);

// What every transfer calls first: an open port is used as it is (nothing re-applied), a closed one
// is opened at 4800 baud, 8 data bits, no parity, 2 stop bits.
bool OpenCloneLink(SerialPort& port);

// Message 80 "Problem with COM port" for a port that would not open (or no port at all); when the
// port knows why, the variant that says so: no permission (naming the dialout group) or in use.
void ShowPortProblem(Prompter& prompter, const SerialPort* port);

} // namespace rt62
