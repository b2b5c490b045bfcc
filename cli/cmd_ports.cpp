// rt62m ports: the serial ports of this machine, one a line, TAB-separated, for --port.
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "core/image/strings.h"
#include "core/link/port_list.h"

namespace rt62::cli {
namespace {

constexpr int kStrPortInUse = 4007;

int RunPorts() {
    std::vector<SystemPort> ports = ListSerialPorts();
    ports.push_back(SimulatedRadioPort());
    for (const SystemPort& p : ports) {
        const std::string inUse = p.inUse ? FormatString(kStrPortInUse) : std::string();
        std::printf("%s\t%s\t%s\t%s\t%s\n", p.device.c_str(), p.byId.c_str(), p.usbId.c_str(),
                    p.product.c_str(), inUse.c_str());
    }
    return kExitOk;
}

CommandRun SetupPorts(CLI::App& app) {
    app.footer(
        "Columns: device, /dev/serial/by-id name, USB vendor:product, product, \"in use\" when another "
        "program holds the port. Any of the first two names goes after --port.");
    return RunPorts;
}

} // namespace

RT62M_COMMAND("ports", "the serial ports for --port (TAB-separated)", 70, SetupPorts);

} // namespace rt62::cli
