#include "link/port_list.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#ifndef _WIN32
#include <signal.h>
#include <unistd.h>
#endif

namespace rt62 {
namespace {

namespace fs = std::filesystem;

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
std::pair<std::string, long> SplitNumber(const std::string& name) {
    std::size_t i = name.size();
    while (i > 0 && name[i - 1] >= '0' && name[i - 1] <= '9')
        --i;
    const std::string digits = name.substr(i);
    return {name.substr(0, i),
            digits.empty() || digits.size() > 9 ? -1 : std::strtol(digits.c_str(), nullptr, 10)};
}

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
#ifndef _WIN32
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) continue; // stale
#else
        (void)pid;
#endif
        return true;
    }
    return false;
}

// The device nodes that other processes have open, as canonical paths.
std::vector<fs::path> NodesOpenElsewhere(const std::string& procRoot) {
    std::vector<fs::path> out;
    std::error_code ec;
#ifndef _WIN32
    const std::string self = std::to_string(::getpid());
#else
    const std::string self;
#endif
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

} // namespace

SystemPort SimulatedRadioPort() {
    SystemPort p;
    p.device = "sim:";
    p.product = "Simulated radio";
    p.simulated = true;
    return p;
}

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

} // namespace rt62
