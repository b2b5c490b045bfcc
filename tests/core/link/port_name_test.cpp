// Port names as the settings and the command line give them.
#include <gtest/gtest.h>

#include "link/serial_port.h"

namespace rt62 {
namespace {

TEST(PortName, MapsComNumbersDevicesAndTheSimulatedRadio) {
    struct Case {
        const char* name;
        bool valid;
        PortName::Kind kind;
        const char* lead;
    };
    const Case cases[] = {
        {"COM1", true, PortName::Kind::Com, "1"},
        {"com16", true, PortName::Kind::Com, "16"},
        {"COM0", false, PortName::Kind::Com, ""},
        {"COM17", false, PortName::Kind::Com, ""},
        {"COM03", false, PortName::Kind::Com, ""},
        {"COM", false, PortName::Kind::Com, ""},
        {"COM1x", false, PortName::Kind::Com, ""},
        {"sim:", true, PortName::Kind::Simulated, "sim:"},
        {"sim", false, PortName::Kind::Com, ""},
        {"", false, PortName::Kind::Com, ""},
#ifdef _WIN32
        {"\\\\.\\COM20", true, PortName::Kind::Device, "COM20"},
#else
        {"/dev/ttyUSB0", true, PortName::Kind::Device, "/dev/ttyUSB0"},
        {"/", false, PortName::Kind::Com, ""},
        {"ttyUSB0", false, PortName::Kind::Com, ""},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<PortName> p = ParsePortName(c.name);
        ASSERT_EQ(p.has_value(), c.valid);
        EXPECT_EQ(CreateSerialPort(c.name) != nullptr, c.valid);
        if (!p) continue;
        EXPECT_EQ(p->kind, c.kind);
        EXPECT_EQ(p->lead, c.lead);
        EXPECT_EQ(CreateSerialPort(c.name)->LeadName(), c.lead);
    }
#ifdef _WIN32
    EXPECT_EQ(ParsePortName("COM12")->device, "\\\\.\\COM12");
#else
    EXPECT_EQ(ParsePortName("COM1")->device, "/dev/ttyS0");
    EXPECT_EQ(ParsePortName("COM16")->device, "/dev/ttyS15");
#endif
}

TEST(PortName, ClosedPortsStayHarmless) {
    for (const char* name : {"COM16", "sim:"}) {
        SCOPED_TRACE(name);
        std::unique_ptr<SerialPort> port = CreateSerialPort(name);
        ASSERT_TRUE(port);
        EXPECT_FALSE(port->IsOpen());
        std::uint8_t b = 0;
        std::size_t count = 0;
        EXPECT_EQ(port->ReadByte(b, count), ReadResult::NoData);
        EXPECT_FALSE(port->Write(&b, 1));
        port->Close(); // never opened: nothing happens
    }
}

} // namespace
} // namespace rt62
