// The emulated radio for the browser tests' stand-in navigator.serial: the core's RadioEmulator with C
// entry points, so that the stand-in's far end answers byte for byte as the radio would.
#include <emscripten.h>

#include <cstring>
#include <vector>

#include "core/image/model.h"
#include "core/link/radio_emulator.h"
#include "core/link/sim_port.h"

namespace {
rt62::RadioEmulator radio(rt62::MakeFactoryImage(0).image);
std::vector<rt62::LineEvent> events;
} // namespace

extern "C" {

// start: 0 in clone mode already, 1 switched on after the first 'p'.
EMSCRIPTEN_KEEPALIVE void fr_reset(const unsigned char* image, int start) {
    rt62::RadioImage i{};
    std::memcpy(i.data(), image, i.size());
    radio = rt62::RadioEmulator(i, start ? rt62::RadioEmulator::Start::PowerOnPrompt : rt62::RadioEmulator::Start::Immediate);
}

// The fleet's radio index (from 0) on the cable instead, as the simulated fleet has it.
EMSCRIPTEN_KEEPALIVE void fr_fleet_radio(int index) { radio = rt62::RadioEmulator(rt62::SimulatedFleet::FactoryImage(index)); }

// The faults the browser tests use; -1 leaves a byte fault off.
EMSCRIPTEN_KEEPALIVE void fr_faults(int silent, int dropEchoOfHostByte, int cutFrameAfter, int lineErrorAtFrameByte) {
    rt62::RadioEmulator::Faults f;
    f.silent = silent != 0;
    f.dropEchoOfHostByte = dropEchoOfHostByte;
    f.cutFrameAfter = cutFrameAfter;
    f.lineErrorAtFrameByte = lineErrorAtFrameByte;
    radio.SetFaults(f);
}

// One byte from the computer; out receives (kind, value or pause ms) pairs. Returns the pair count.
EMSCRIPTEN_KEEPALIVE int fr_host_byte(int b, int* out, int capacity) {
    events.clear();
    radio.OnHostByte(static_cast<std::uint8_t>(b), events);
    int n = 0;
    for (const rt62::LineEvent& e : events) {
        if (n >= capacity) break;
        out[2 * n] = static_cast<int>(e.kind);
        out[2 * n + 1] = e.kind == rt62::LineEvent::Kind::Pause ? e.pauseMs : e.value;
        ++n;
    }
    return n;
}

EMSCRIPTEN_KEEPALIVE void fr_image(unsigned char* out) { std::memcpy(out, radio.Image().data(), radio.Image().size()); }

} // extern "C"
