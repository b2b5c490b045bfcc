#include "core/link/serial_port.h"

#include <algorithm>
#include <cctype>

#include "core/link/sim_port.h"
#ifdef _WIN32
#include "core/link/win32_serial_port.h"
#else
#include "core/link/posix_serial_port.h"
#endif

namespace rt62 {
namespace {

constexpr int kStrPortProblemId = 80;      // "Problem with COM port"
constexpr int kStrPortNoPermission = 4000; // 80's text, then the dialout hint for %1
constexpr int kStrPortBusy = 4002;         // 80's text, then "%1 is in use by another program"

} // namespace

bool SerialPort::SendEchoed(std::uint8_t* data, std::size_t n) {
    if (!Write(data, n)) return false;
    return ReadExact(data, n) == ReadResult::Ok;
}

SerialPort::EchoRun SerialPort::SendEachEchoed(const std::uint8_t* data, std::size_t n,
                                               const std::function<bool()>& echoed) {
    const std::size_t window = std::max<std::size_t>(1, EchoWindow());
    std::size_t sent = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t upTo = std::min(n, i + window);
        if (sent < upTo) {
            if (!Write(data + sent, upTo - sent)) return EchoRun::Failed;
            sent = upTo;
        }
        std::uint8_t echo = 0;
        if (ReadExact(&echo, 1) != ReadResult::Ok) return EchoRun::Failed;
        if (!echoed()) return EchoRun::Stopped;
    }
    return EchoRun::Done;
}

std::string ComDevicePath(int comNumber) {
#ifdef _WIN32
    return "\\\\.\\COM" + std::to_string(comNumber);
#else
    // COM1 is the first on-board port; USB adapters are picked by their device path instead.
    return "/dev/ttyS" + std::to_string(comNumber - 1);
#endif
}

std::optional<PortName> ParsePortName(std::string_view name) {
    if (name == "sim:") return PortName{PortName::Kind::Simulated, 0, "sim:", "sim:"};
    if (name == kSimulatedFleetName)
        return PortName{PortName::Kind::Simulated, 0, kSimulatedFleetName, kSimulatedFleetName};
    if (name.size() > 3 && std::tolower(static_cast<unsigned char>(name[0])) == 'c' &&
        std::tolower(static_cast<unsigned char>(name[1])) == 'o' &&
        std::tolower(static_cast<unsigned char>(name[2])) == 'm') {
        std::string_view digits = name.substr(3);
        if (digits.size() > 2 || digits[0] == '0') return std::nullopt;
        int n = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return std::nullopt;
            n = n * 10 + (c - '0');
        }
        if (n < 1 || n > 16) return std::nullopt;
        return PortName{PortName::Kind::Com, n, ComDevicePath(n), std::to_string(n)};
    }
#ifdef _WIN32
    if (name.substr(0, 4) == "\\\\.\\" && name.size() > 4)
        return PortName{PortName::Kind::Device, 0, std::string(name), std::string(name.substr(4))};
#else
    if (name.size() > 1 && name[0] == '/')
        return PortName{PortName::Kind::Device, 0, std::string(name), std::string(name)};
    const bool bareTty =
        name.substr(0, 3) == "tty" || name.substr(0, 3) == "cu." || name.substr(0, 6) == "rfcomm";
    if (bareTty && name.find('/') == std::string_view::npos &&
        name.find_first_of(" \t") == std::string_view::npos) {
        const std::string device = "/dev/" + std::string(name);
        return PortName{PortName::Kind::Device, 0, device, device};
    }
#endif
    return std::nullopt;
}

std::unique_ptr<SerialPort> CreateSerialPort(std::string_view name) {
    std::optional<PortName> parsed = ParsePortName(name);
    if (!parsed) return nullptr;
    std::unique_ptr<SerialPort> port;
    if (parsed->kind == PortName::Kind::Simulated) {
        if (parsed->device == kSimulatedFleetName)
            port = std::make_unique<SimulatedSerialPort>(SharedSimulatedFleet(), SimulatedSerialPort::Clock::Real);
        else
            port = std::make_unique<SimulatedSerialPort>(SharedSimulatedRadio(),
                                                         SimulatedSerialPort::Clock::Real);
    } else {
#ifdef _WIN32
        port = std::make_unique<Win32SerialPort>(parsed->device);
#else
        port = std::make_unique<PosixSerialPort>(parsed->device);
#endif
    }
    port->SetLeadName(parsed->lead);
    return port;
}

bool OpenCloneLink(SerialPort& port) {
    if (port.IsOpen()) return true;
    return port.Open(LineSettings{});
}

void ShowPortProblem(Prompter& prompter, const SerialPort* port) {
    const OpenError why = port ? port->LastOpenError() : OpenError::None;
    if (why == OpenError::PermissionDenied)
        prompter.show(kStrPortNoPermission, Buttons::Ok, Icon::Stop, {port->LeadName()});
    else if (why == OpenError::Busy)
        prompter.show(kStrPortBusy, Buttons::Ok, Icon::Stop, {port->LeadName()});
    else
        prompter.show(kStrPortProblemId, Buttons::Ok, Icon::Stop);
}

} // namespace rt62
