// Port discovery on a made-up /dev, /sys and /proc.
#ifndef _WIN32

#include "link/port_list.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace rt62 {
namespace {

namespace fs = std::filesystem;

void Text(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text << "\n";
}

TEST(PortList, NodesWithTheirStableNamesUsbDetailsAndUse) {
    const fs::path root = fs::temp_directory_path() / ("rt62ports-" + std::to_string(getpid()));
    fs::remove_all(root);
    const fs::path dev = root / "dev", sys = root / "sys", proc = root / "proc", lock = root / "lock";
    for (const char* node :
         {"ttyUSB0", "ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "ttyS1", "ttyS2", "ttyXR0", "tty1"})
        Text(dev / node, "");
    fs::create_directories(dev / "serial/by-id");
    fs::create_symlink("../../ttyUSB0", dev / "serial/by-id/usb-FTDI_FT232R_A1-if00-port0");
    fs::create_symlink("../../ttyXR0", dev / "serial/by-id/usb-Exar_XR21-if00");
    fs::create_symlink("../../ttyUSB9", dev / "serial/by-id/usb-gone-if00"); // unplugged
    // An adapter with its product text, one that names only its interface, a real and two
    // phantom on-board ports.
    Text(sys / "devices/usb1/1-1/idVendor", "0403");
    Text(sys / "devices/usb1/1-1/idProduct", "6001");
    Text(sys / "devices/usb1/1-1/product", "FT232R USB UART");
    fs::create_directories(sys / "devices/usb1/1-1/1-1:1.0/ttyUSB0");
    Text(sys / "devices/usb1/1-2/idVendor", "2341");
    Text(sys / "devices/usb1/1-2/idProduct", "0043");
    Text(sys / "devices/usb1/1-2/1-2:1.0/interface", "CDC Abstract Control Model");
    fs::create_directories(sys / "class/tty/ttyUSB0");
    fs::create_directories(sys / "class/tty/ttyACM0");
    fs::create_symlink(sys / "devices/usb1/1-1/1-1:1.0/ttyUSB0", sys / "class/tty/ttyUSB0/device");
    fs::create_symlink(sys / "devices/usb1/1-2/1-2:1.0", sys / "class/tty/ttyACM0/device");
    Text(sys / "class/tty/ttyS0/type", "4");
    Text(sys / "class/tty/ttyS1/type", "0");
    // ttyUSB2 is open in another process; ttyACM0 only in this one. ttyUSB10 has a live lock,
    // ttyACM0 a stale one.
    fs::create_directories(proc / "4242/fd");
    fs::create_symlink(dev / "ttyUSB2", proc / "4242/fd/5");
    fs::create_directories(proc / std::to_string(getpid()) / "fd");
    fs::create_symlink(dev / "ttyACM0", proc / std::to_string(getpid()) / "fd/3");
    Text(lock / "LCK..ttyUSB10", "     " + std::to_string(getpid()));
    Text(lock / "LCK..ttyACM0", "999999999");

    const std::vector<SystemPort> ports =
        ListSerialPorts({dev.string(), sys.string(), proc.string(), {lock.string()}});
    const struct {
        const char* node;
        const char* byId;
        const char* usbId;
        const char* product;
        bool inUse;
    } expected[] = {
        {"ttyACM0", "", "2341:0043", "CDC Abstract Control Model", false},
        {"ttyUSB0", "usb-FTDI_FT232R_A1-if00-port0", "0403:6001", "FT232R USB UART", false},
        {"ttyUSB2", "", "", "", true},
        {"ttyUSB10", "", "", "", true},
        {"ttyXR0", "usb-Exar_XR21-if00", "", "", false},
        {"ttyS0", "", "", "", false},
    };
    ASSERT_EQ(ports.size(), std::size(expected));
    for (std::size_t i = 0; i < ports.size(); ++i) {
        SCOPED_TRACE(expected[i].node);
        EXPECT_EQ(ports[i].device, (dev / expected[i].node).string());
        EXPECT_EQ(ports[i].byId, *expected[i].byId ? (dev / "serial/by-id" / expected[i].byId).string() : "");
        EXPECT_EQ(ports[i].usbId, expected[i].usbId);
        EXPECT_EQ(ports[i].product, expected[i].product);
        EXPECT_EQ(ports[i].inUse, expected[i].inUse);
        EXPECT_FALSE(ports[i].simulated);
    }
    EXPECT_TRUE(ListSerialPorts({(root / "none").string(), sys.string(), proc.string(), {}}).empty());
    EXPECT_TRUE(SimulatedRadioPort().simulated);
    fs::remove_all(root);
}

} // namespace
} // namespace rt62

#endif
