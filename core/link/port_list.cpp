#include "core/link/port_list.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#include <setupapi.h>
#include <devguid.h>
#include "core/image/native_path.h"
#else
#include <signal.h>
#include <unistd.h>
#endif

namespace rt62 {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
std::string ReadText(const fs::path& p) {
    std::ifstream in(p);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// "ttyUSB10" -> ("ttyUSB", 10): ports of one kind sort by number, not by text.
#endif

std::pair<std::string, long> SplitNumber(const std::string& name) {
    std::size_t i = name.size();
    while (i > 0 && name[i - 1] >= '0' && name[i - 1] <= '9')
        --i;
    const std::string digits = name.substr(i);
    return {name.substr(0, i),
            digits.empty() || digits.size() > 9 ? -1 : std::strtol(digits.c_str(), nullptr, 10)};
}

#ifndef _WIN32
bool PortOrder(const std::string& a, const std::string& b) {
    const bool sa = StartsWith(a, "ttyS"), sb = StartsWith(b, "ttyS");
    if (sa != sb) return sb; // USB and other adapters before the on-board ports
    const auto [pa, na] = SplitNumber(a);
    const auto [pb, nb] = SplitNumber(b);
    if (pa != pb) return pa < pb;
    if (na != nb) return na < nb;
    return a < b;
}

fs::path Canonical(const fs::path& p) {
    std::error_code ec;
    fs::path c = fs::weakly_canonical(p, ec);
    return ec ? p : c;
}

// The USB device above a tty's sysfs device: vendor:product and its product text (or the
// interface's text when the device gives none).
void ReadUsbDetails(const fs::path& sysDevice, SystemPort& port) {
    std::error_code ec;
    fs::path p = fs::canonical(sysDevice, ec);
    if (ec) return;
    std::string interfaceText;
    for (int up = 0; up < 6 && !p.empty(); ++up, p = p.parent_path()) {
        if (interfaceText.empty()) interfaceText = ReadText(p / "interface");
        if (fs::exists(p / "idVendor", ec)) {
            const std::string vendor = ReadText(p / "idVendor"), product = ReadText(p / "idProduct");
            if (!vendor.empty() && !product.empty()) port.usbId = vendor + ":" + product;
            port.product = ReadText(p / "product");
            break;
        }
        if (p == p.root_path()) break;
    }
    if (port.product.empty()) port.product = interfaceText;
}

// A UUCP-style lock file of a live process ("LCK..ttyUSB0", holding the owner's process id).
bool LockHeld(const std::vector<std::string>& lockDirs, const std::string& node) {
    for (const std::string& dir : lockDirs) {
        const fs::path lock = fs::path(dir) / ("LCK.." + node);
        std::error_code ec;
        if (!fs::exists(lock, ec)) continue;
        const std::string text = ReadText(lock);
        char* end = nullptr;
        const long pid = std::strtol(text.c_str(), &end, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) continue; // stale
        return true;
    }
    return false;
}

// The device nodes that other processes have open, as canonical paths.
std::vector<fs::path> NodesOpenElsewhere(const std::string& procRoot) {
    std::vector<fs::path> out;
    std::error_code ec;
    const std::string self = std::to_string(::getpid());
    for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string pid = it->path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos || pid == self) continue;
        std::error_code fdEc;
        for (fs::directory_iterator fd(it->path() / "fd", fdEc), fdEnd; !fdEc && fd != fdEnd;
             fd.increment(fdEc)) {
            std::error_code linkEc;
            const fs::path target = fs::read_symlink(fd->path(), linkEc);
            if (!linkEc && target.is_absolute()) out.push_back(Canonical(target));
        }
    }
    return out;
}

#endif

} // namespace

SystemPort SimulatedRadioPort() {
    SystemPort p;
    p.device = "sim:";
    p.product = "Simulated radio";
    p.simulated = true;
    return p;
}

std::string WindowsPortProduct(const std::string& friendlyName, const std::string& portName,
                               const std::string& maker) {
    std::string name = friendlyName;
    const std::string suffix = " (" + portName + ")";
    if (!portName.empty() && name.size() >= suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        name.erase(name.size() - suffix.size());
    if (!maker.empty() && maker.front() != '(' && name.find(maker) == std::string::npos)
        name += name.empty() ? maker : " (" + maker + ")";
    return name;
}

std::string UsbIdFromHardwareId(const std::string& hardwareId) {
    std::string upper = hardwareId;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const std::size_t vid = upper.find("VID_"), pid = upper.find("PID_");
    if (vid == std::string::npos || pid == std::string::npos) return {};
    auto hex4 = [&](std::size_t at) -> std::string {
        if (at + 4 > upper.size()) return {};
        std::string h = hardwareId.substr(at, 4);
        for (char& c : h) {
            if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
            if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return {};
        }
        return h;
    };
    const std::string v = hex4(vid + 4), p = hex4(pid + 4);
    return v.empty() || p.empty() ? std::string() : v + ":" + p;
}

bool ComPortOrder(const std::string& a, const std::string& b) {
    // "\\.\COM20" sorts as COM20.
    auto name = [](const std::string& s) { return s.substr(s.find_last_of('\\') + 1); };
    const auto [pa, na] = SplitNumber(name(a));
    const auto [pb, nb] = SplitNumber(name(b));
    if (pa != pb) return pa < pb;
    if (na != nb) return na < nb;
    return a < b;
}

#ifdef _WIN32

namespace {

std::string RegistryText(HKEY key, const wchar_t* name) {
    wchar_t buf[512];
    DWORD type = 0, size = sizeof buf - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    buf[size / sizeof(wchar_t)] = L'\0';
    return Utf8FromWide(buf);
}

std::string DeviceText(HDEVINFO set, SP_DEVINFO_DATA& info, DWORD property) {
    wchar_t buf[512];
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &info, property, &type, reinterpret_cast<BYTE*>(buf),
                                           sizeof buf - sizeof(wchar_t), nullptr))
        return {};
    buf[511] = L'\0';
    return Utf8FromWide(buf); // a multi-string's first entry is all we want
}

// COM1 to COM16 go by their plain names; higher ones by their device path, which --port also takes.
std::string ComDevice(const std::string& name) {
    const long n = SplitNumber(name).second;
    return n >= 1 && n <= 16 ? name : "\\\\.\\" + name;
}

// Windows lets one program at a time open a COM port: asking for no access still goes through
// the driver's open, so a refusal means the port is in use, and the modem lines are not touched.
bool ComPortInUse(const std::string& port) {
    const std::wstring path = L"\\\\.\\" + WideFromUtf8(port);
    HANDLE h = CreateFileW(path.c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_ACCESS_DENIED;
    CloseHandle(h);
    return false;
}

std::vector<SystemPort> ListComPorts() {
    std::map<std::string, SystemPort> found; // by port name
    HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set != INVALID_HANDLE_VALUE) {
        SP_DEVINFO_DATA info{};
        info.cbSize = sizeof info;
        for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
            HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
            if (key == INVALID_HANDLE_VALUE) continue;
            const std::string name = RegistryText(key, L"PortName");
            DWORD latency = 0, type = 0, size = sizeof latency;
            const bool hasLatency = RegQueryValueExW(key, L"LatencyTimer", nullptr, &type,
                                                     reinterpret_cast<BYTE*>(&latency), &size) == ERROR_SUCCESS &&
                                    type == REG_DWORD;
            RegCloseKey(key);
            if (name.rfind("COM", 0) != 0) continue; // printer ports share the class
            SystemPort port;
            port.device = ComDevice(name);
            port.product = WindowsPortProduct(DeviceText(set, info, SPDRP_FRIENDLYNAME), name,
                                              DeviceText(set, info, SPDRP_MFG));
            port.usbId = UsbIdFromHardwareId(DeviceText(set, info, SPDRP_HARDWAREID));
            if (hasLatency) port.latencyMs = static_cast<int>(latency);
            found[name] = port;
        }
        SetupDiDestroyDeviceInfoList(set);
    }
    // The serial map lists every COM port a driver made, also those the device list does not show.
    HKEY map = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &map) ==
        ERROR_SUCCESS) {
        for (DWORD i = 0;; ++i) {
            wchar_t valueName[256];
            DWORD nameLen = 256;
            wchar_t data[64];
            DWORD type = 0, size = sizeof data - sizeof(wchar_t);
            const LONG r = RegEnumValueW(map, i, valueName, &nameLen, nullptr, &type,
                                         reinterpret_cast<BYTE*>(data), &size);
            if (r == ERROR_NO_MORE_ITEMS) break;
            if (r != ERROR_SUCCESS || type != REG_SZ) continue;
            data[size / sizeof(wchar_t)] = L'\0';
            const std::string name = Utf8FromWide(data);
            if (name.rfind("COM", 0) == 0 && !found.count(name)) found[name].device = ComDevice(name);
        }
        RegCloseKey(map);
    }
    std::vector<SystemPort> out;
    for (auto& [name, port] : found) {
        port.inUse = ComPortInUse(name);
        out.push_back(port);
    }
    std::sort(out.begin(), out.end(),
              [](const SystemPort& a, const SystemPort& b) { return ComPortOrder(a.device, b.device); });
    return out;
}

} // namespace

std::vector<SystemPort> ListSerialPorts(const PortRoots&) {
    return ListComPorts();
}

#else

std::vector<SystemPort> ListSerialPorts(const PortRoots& roots) {
    const fs::path dev = roots.dev, sys = roots.sys;
    std::map<std::string, std::string> byId; // node name -> by-id link
    std::error_code ec;
    for (fs::directory_iterator it(dev / "serial" / "by-id", ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkEc;
        if (!it->is_symlink(linkEc)) continue;
        const fs::path target = fs::canonical(it->path(), linkEc);
        if (linkEc) continue; // a link to a node that is gone
        const std::string node = target.filename().string();
        // Of several links to one node, the first by name is shown.
        auto found = byId.find(node);
        if (found == byId.end() || it->path().string() < found->second) byId[node] = it->path().string();
    }

    std::vector<std::string> nodes;
    for (fs::directory_iterator it(dev, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const bool usb = StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM");
        if (!usb && !StartsWith(name, "ttyS") && !byId.count(name)) continue;
        if (StartsWith(name, "ttyS") && !byId.count(name)) {
            // Every kernel makes ttyS nodes; only those with a UART behind them are real ports.
            const std::string type = ReadText(sys / "class" / "tty" / name / "type");
            if (type.empty() || type == "0") continue;
        }
        nodes.push_back(name);
    }
    std::sort(nodes.begin(), nodes.end(), PortOrder);

    const std::vector<fs::path> open = NodesOpenElsewhere(roots.proc);
    std::vector<SystemPort> out;
    for (const std::string& name : nodes) {
        SystemPort port;
        port.device = (dev / name).string();
        if (auto link = byId.find(name); link != byId.end()) port.byId = link->second;
        ReadUsbDetails(sys / "class" / "tty" / name / "device", port);
        const fs::path canonical = Canonical(dev / name);
        port.inUse =
            std::find(open.begin(), open.end(), canonical) != open.end() || LockHeld(roots.lockDirs, name);
        out.push_back(std::move(port));
    }
    return out;
}

#endif

} // namespace rt62
