// Port names as the settings and the command line give them.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "link/port_list.h"
#include "link/serial_port.h"

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

} // namespace
} // namespace rt62
