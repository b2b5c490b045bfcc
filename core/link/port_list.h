// The serial ports present on this machine, as the Configuration dialog and "rt62m ports" offer them.
#pragma once

#include <string>
#include <vector>

namespace rt62 {

struct SystemPort {
    std::string device;  // the node the link opens: "/dev/ttyUSB0", or "sim:"
    std::string byId;    // the stable /dev/serial/by-id link that names the node, when there is one
    std::string usbId;   // USB vendor:product in hex ("0403:6001"), when the port is on USB
    std::string product; // what the device calls itself (USB product or interface text)
    bool inUse = false;  // another program has the node open or holds its lock file
    bool simulated = false;
    int latencyMs = 0;   // the adapter driver's latency timer where it has one (Windows), else 0
};

// Where the discovery looks; the system's folders except in tests.
struct PortRoots {
    std::string dev = "/dev";
    std::string sys = "/sys";
    std::string proc = "/proc";
    std::vector<std::string> lockDirs = {"/run/lock", "/var/lock"};
};

// The serial devices present now: ttyUSB, ttyACM and the nodes named in /dev/serial/by-id, then the
// ttyS ports that have a UART behind them; USB ones first, each kind in numeric order. Nothing is
// opened (opening a port raises its modem lines), so "in use" comes from the processes' open files
// and the lock files. On Windows: the COM ports of the device list (roots are not used), with their
// device-manager names, and in use when the system refuses to open them.
std::vector<SystemPort> ListSerialPorts(const PortRoots& roots = {});

// Ports whose latency timer is above this make every echoed byte of a Download wait that long.
constexpr int kSlowLatencyMs = 2;

// The parts of the Windows device list, made into our fields (kept apart from the system calls so
// they are tested everywhere). "USB Serial Port (COM3)" made by "FTDI" -> "USB Serial Port (FTDI)".
std::string WindowsPortProduct(const std::string& friendlyName, const std::string& portName,
                               const std::string& maker);
// "USB\VID_0403&PID_6001\..." or "FTDIBUS\VID_0403+PID_6001+..." -> "0403:6001"; empty otherwise.
std::string UsbIdFromHardwareId(const std::string& hardwareId);
// COM ports in number order (COM2 before COM10).
bool ComPortOrder(const std::string& a, const std::string& b);

// The "sim:" entry that every list ends with.
SystemPort SimulatedRadioPort();

} // namespace rt62
