// Port names as the settings and the command line give them, and the ports the system lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <tuple>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "core/link/port_list.h"
#include "core/link/serial_port.h"
#include "tests/support/scratch_dir.h"

namespace rt62 {
namespace {

TEST(PortName, MapsComNumbersDevicesAndTheSimulatedRadio) {
    std::vector<std::string> bad = {"COM0", "COM17", "COM03", "COM", "COM1x", "sim", ""};
#ifndef _WIN32
    bad.insert(bad.end(), {"/", "ttyUSB0/x", "usb0", "tty USB0"});
#endif
    for (const std::string& name : bad) {
        EXPECT_FALSE(ParsePortName(name)) << name;
        EXPECT_FALSE(CreateSerialPort(name)) << name;
    }
    using Kind = PortName::Kind;
    const std::tuple<const char*, Kind, const char*> good[] = {
        {"COM1", Kind::Com, "1"},
        {"com16", Kind::Com, "16"},
        {"sim:", Kind::Simulated, "sim:"},
#ifdef _WIN32
        {"\\\\.\\COM20", Kind::Device, "COM20"},
#else
        {"/dev/ttyUSB0", Kind::Device, "/dev/ttyUSB0"},
        {"ttyUSB0", Kind::Device, "/dev/ttyUSB0"}, // a bare node name is one in /dev
        {"cu.usbserial-10", Kind::Device, "/dev/cu.usbserial-10"},
#endif
    };
    for (const auto& [name, kind, lead] : good) {
        SCOPED_TRACE(name);
        std::optional<PortName> p = ParsePortName(name);
        std::unique_ptr<SerialPort> port = CreateSerialPort(name);
        ASSERT_TRUE(p && port);
        EXPECT_EQ(p->kind, kind);
        EXPECT_EQ(p->lead, lead);
        EXPECT_EQ(port->LeadName(), lead);
        // Never opened: reads find nothing, writes fail, closing does nothing.
        std::uint8_t b = 0;
        std::size_t count = 0;
        EXPECT_FALSE(port->IsOpen());
        EXPECT_EQ(port->ReadByte(b, count), ReadResult::NoData);
        EXPECT_FALSE(port->Write(&b, 1));
        port->Close();
    }
#ifdef _WIN32
    EXPECT_EQ(ParsePortName("COM12")->device, "\\\\.\\COM12");
#else
    EXPECT_EQ(ParsePortName("COM1")->device, "/dev/ttyS0");
    EXPECT_EQ(ParsePortName("COM16")->device, "/dev/ttyS15");
#endif
}

// What the Windows device list gives, made into the port list's fields.
TEST(PortName, WindowsDeviceListTexts) {
    const std::tuple<const char*, const char*, const char*, const char*> products[] = {
        {"USB Serial Port (COM3)", "COM3", "FTDI", "USB Serial Port (FTDI)"},
        {"USB Serial Port (COM3)", "COM13", "FTDI", "USB Serial Port (COM3) (FTDI)"}, // not its own name
        {"Prolific USB-to-Serial Comm Port (COM4)", "COM4", "Prolific", "Prolific USB-to-Serial Comm Port"},
        {"Communications Port (COM1)", "COM1", "(Standard port types)", "Communications Port"},
        {"", "COM7", "wch.cn", "wch.cn"},
        {"Serial (COM2)", "COM2", "", "Serial"},
    };
    for (const auto& [friendly, port, maker, want] : products)
        EXPECT_EQ(WindowsPortProduct(friendly, port, maker), want) << friendly;

    const std::pair<const char*, const char*> ids[] = {
        {"USB\\VID_0403&PID_6001&REV_0600", "0403:6001"},
        {"FTDIBUS\\VID_0403+PID_6015+DK0ABCDEA\\0000", "0403:6015"},
        {"usb\\vid_067b&pid_2303", "067b:2303"},
        {"USB\\VID_04&PID_6001", ""}, // too short
        {"ACPI\\PNP0501", ""},
        {"USB\\VID_0403&PID_60", ""},
    };
    for (const auto& [hw, want] : ids)
        EXPECT_EQ(UsbIdFromHardwareId(hw), want) << hw;

    std::vector<std::string> ports = {"COM10", "COM2", "COM1", "\\\\.\\COM20"};
    std::sort(ports.begin(), ports.end(), ComPortOrder);
    EXPECT_EQ(ports, (std::vector<std::string>{"COM1", "COM2", "COM10", "\\\\.\\COM20"}));
}

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// Port discovery on a made-up /dev, /sys and /proc (a browser lists the ports it was granted).
namespace fs = std::filesystem;

void Text(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text << "\n";
}

TEST(PortList, NodesWithTheirStableNamesUsbDetailsAndUse) {
    const test::ScratchFolder scratch("rt62ports-");
    const fs::path& root = scratch.path;
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
}
#endif

} // namespace
} // namespace rt62
