// Every text the program parses: decimal and frequency entry, paste into each grid column, port
// names, and the marked byte stream of a terminal (PARMRK).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/grid/cell_paste.h"
#include "core/image/cells.h"
#include "core/image/frequency.h"
#include "core/image/layout.h"
#include "core/image/model.h"
#include "core/image/text_rules.h"
#include "core/link/parmrk_decoder.h"
#include "core/link/serial_port.h"
#include "core/link/sim_port.h"
#include "fuzz/support.h"

namespace rt62 {
namespace {

void CheckDecimal(const std::string& text) {
    const double v = ParseDecimal(text);
    RT62_FUZZ_CHECK(std::isfinite(v), "a parsed decimal is a number");
    (void)ReadWholeNumber(text);
    // What the grid shows of a value reads back as that value, to the five places it shows.
    if (std::fabs(v) < 1e6) {
        const double shown = ParseDecimal(FormatFrequency(v));
        RT62_FUZZ_CHECK(std::fabs(shown - v) <= 0.5e-5 + 1e-9, "a shown frequency reads back");
    }
}

// A frequency typed into a channel lands on the band's step grid, inside the band, and comes back
// from the image as the same text after a save.
void CheckFrequencyEntry(const ImageModel& base, int n, const std::string& text) {
    for (int column : {kColReceive, kColTransmit}) {
        ImageModel m = base;
        SetFrequencyText(m, n, column, text);
        const ChannelEntry& e = m.channels.at(n);
        const BandStep& b = BandStepInfo(m.hardware.bandStepCode);
        const double mhz = column == kColReceive ? e.rxFrequency : e.txFrequency;
        const int alt = column == kColReceive ? e.rxAltStep : e.txAltStep;
        RT62_FUZZ_CHECK(mhz >= b.lowerMHz && mhz <= b.upperMHz, "an entered frequency is inside the band");
        const long long hz = MHzToHz(mhz);
        RT62_FUZZ_CHECK(hz % (alt ? b.snapAltHz : b.mainStepHz) == 0, "an entered frequency is on its step");

        const std::optional<std::string> before = m.channels.FrequencyText(n, column);
        NormalizeImage(m);
        DecodeImage(m);
        RT62_FUZZ_CHECK(m.channels.FrequencyText(n, column) == before,
                        "an entered frequency survives a save");
    }
}

// Pasting into any column either stores a value or leaves the channel and the image as they were.
void CheckPaste(const ImageModel& base, int n, const std::string& text, bool yes) {
    PasteContext context;
    context.confirmCopy = [yes](const std::string&, const std::string&) { return yes; };
    for (int column = 0; column < kGridColumnCount; ++column) {
        ImageModel m = base;
        const PasteResult r = PasteIntoCell(m, n, column, text, context);
        if (!r.accepted() || r.outcome == PasteOutcome::CopyDeclined) {
            RT62_FUZZ_CHECK(m.channels.entries == base.channels.entries,
                            "a refused paste changed the channels");
            RT62_FUZZ_CHECK(m.image == base.image, "a refused paste changed the image");
            continue;
        }
        if (column == kColChannel)
            RT62_FUZZ_CHECK(r.sourceChannel >= 0 && r.sourceChannel < kChannelCount && r.sourceChannel != n,
                            "a channel copy names another channel");
        // What was stored can be shown and saved.
        for (int c = 0; c < kGridColumnCount; ++c)
            (void)ChannelCellText(m, n, c);
        NormalizeImage(m);
    }
}

void CheckPortName(const std::string& text) {
    const std::optional<PortName> p = ParsePortName(text);
    if (!p) return;
    switch (p->kind) {
    case PortName::Kind::Com: {
        RT62_FUZZ_CHECK(p->comNumber >= 1 && p->comNumber <= 16, "a COM number is 1-16");
        const std::optional<PortName> again = ParsePortName("COM" + std::to_string(p->comNumber));
        RT62_FUZZ_CHECK(again && again->device == p->device, "a COM name reads back");
        break;
    }
    case PortName::Kind::Device:
        // A path is kept as it is; a bare tty name is that node in /dev.
        RT62_FUZZ_CHECK(p->device == text ||
                            (text.find('/') == std::string::npos && p->device == "/dev/" + text),
                        "a device path is kept as it is");
        RT62_FUZZ_CHECK(p->device.size() > 1, "a device names something");
        break;
    case PortName::Kind::Simulated:
        RT62_FUZZ_CHECK(text == "sim:" || text == kSimulatedFleetName,
                        "only sim: and sim:fleet name the simulated radios");
        RT62_FUZZ_CHECK(p->device == text, "a simulated name is kept as it is");
        break;
    }
}

// The text's bytes as a terminal marks them, with a line error after every errorEvery-th byte; the
// decoder must give the same items whatever the reads' sizes.
void CheckParmrk(const std::string& text, int chunk, int errorEvery) {
    std::vector<std::uint8_t> line;
    std::deque<int> expected;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(text[i]);
        if (b == 0xFF) line.push_back(0xFF);
        line.push_back(b);
        expected.push_back(b);
        if (errorEvery > 0 && i % static_cast<std::size_t>(errorEvery) == 0) {
            line.insert(line.end(), {0xFF, 0x00, b});
            expected.push_back(ParmrkDecoder::kLineError);
        }
    }
    ParmrkDecoder decoder;
    std::deque<int> got;
    for (std::size_t at = 0; at < line.size(); at += static_cast<std::size_t>(chunk))
        decoder.Feed(line.data() + at, std::min(line.size() - at, static_cast<std::size_t>(chunk)), got);
    RT62_FUZZ_CHECK(got == expected, "a marked stream decodes to its bytes and errors");

    // Unmarked bytes straight from the input: whatever they are, nothing is lost or invented.
    ParmrkDecoder raw;
    std::deque<int> items;
    raw.Feed(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), items);
    RT62_FUZZ_CHECK(items.size() <= text.size(), "no more items than bytes");
    for (int item : items)
        RT62_FUZZ_CHECK(item == ParmrkDecoder::kLineError || (item >= 0 && item <= 255), "item");
}

} // namespace
} // namespace rt62

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rt62;
    if (size < 3) return 0;
    // Three leading bytes choose the band and channel, the option bits, and how the stream is read.
    const int band = data[0] & 3;
    const int n = (data[0] >> 2) & 15;
    const bool yes = data[0] & 0x40;
    const std::string text(reinterpret_cast<const char*>(data + 3), size - 3);

    CheckDecimal(text);
    CheckPortName(text);
    CheckParmrk(text, (data[2] & 15) + 1, data[2] >> 4);

    ImageModel model = fuzz::FactoryModel(band);
    model.image[layout::kOptionByte] = data[1];
    DecodeImage(model);
    CheckFrequencyEntry(model, n, text);
    CheckPaste(model, n, text, yes);
    return 0;
}
