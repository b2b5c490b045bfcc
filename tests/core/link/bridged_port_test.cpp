// The port the browser's worker uses: the same outcomes as the in-process port for every radio fault.
#include "core/link/bridged_serial_port.h"

#include <gtest/gtest.h>

#include "tests/core/link/link_test_support.h"

namespace rt62 {
namespace {

using namespace test;
using namespace std::chrono_literals;
using Faults = RadioEmulator::Faults;
using Start = RadioEmulator::Start;
using Clock = PortBridge::Clock;

// The emulated radio behind a bridge, on a virtual clock: a byte takes one character time on the wire
// and the radio answers once it has heard it, as on the cable.
struct RadioBridge : PortBridge {
    RadioBridge(const RadioImage& image, Start start, const Faults& faults) : radio(image, start) {
        radio.SetFaults(faults);
    }
    OpenError Open(const LineSettings&) override { return openError; }
    void Close() override { ++closes; }
    bool Send(const std::uint8_t* data, std::size_t n) override {
        for (std::size_t i = 0; i < n; ++i) {
            if (lostAfterHostBytes == 0) return false;
            --lostAfterHostBytes;
            std::vector<LineEvent> events;
            radio.OnHostByte(data[i], events);
            const Clock::time_point heard = now + kCharTime;
            for (const LineEvent& e : events) {
                if (e.kind == LineEvent::Kind::Pause) {
                    lineFree = std::max(lineFree, heard) + std::chrono::milliseconds(e.pauseMs);
                    continue;
                }
                lineFree = std::max(lineFree, heard) + (e.kind == LineEvent::Kind::Echo ? 0ns : kCharTime);
                line.push_back({lineFree, e.kind == LineEvent::Kind::LineError ? kLineError : e.value});
            }
            // The page learns of a vanished device from the write that fails.
            if (radio.HangUpRequested()) return false;
        }
        return true;
    }
    void Receive(Clock::time_point deadline, std::deque<int>& arrived) override {
        ++receives;
        if (line.empty() || line.front().first > deadline) {
            now = std::max(now, deadline);
            return;
        }
        // What the page forwards in one message: everything due by the first item's arrival, there
        // one hop later.
        now = std::max(now, line.front().first);
        while (!line.empty() && line.front().first <= now) {
            arrived.push_back(line.front().second);
            line.pop_front();
        }
        now += hop;
    }
    void Discard() override {
        while (!line.empty() && line.front().first <= now) line.pop_front();
    }
    Clock::time_point Now() override { return now; }
    std::size_t EchoWindow() const override { return window; }

    RadioEmulator radio;
    std::size_t window = 1;
    Clock::duration hop{};
    Clock::time_point now{}, lineFree{};
    std::deque<std::pair<Clock::time_point, int>> line;
    OpenError openError = OpenError::None;
    int lostAfterHostBytes = 1 << 30;
    int closes = 0, receives = 0;
};

struct BridgeRig : JobRecorders {
    BridgeRig(const RadioImage& image, Start start, const Faults& faults)
        : bridge(image, start, faults), port(bridge) {
        port.SetLeadName("3");
    }
    RadioBridge bridge;
    BridgedSerialPort port;
};

// One transfer's outcome, as the user and the radio see it.
struct Outcome {
    JobStatus status;
    std::vector<int> messages, statuses;
    int position;
    std::string sent;
    std::optional<RadioImage> image;
    RadioImage radio;
};

Outcome Transfer(SerialPort& port, JobRecorders& rig, RadioEmulator& radio, bool download) {
    Outcome o{};
    if (download) {
        const DownloadJobResult r = RunDownloadJob(port, rig.Env(), DocumentFor(radio.Image()), {});
        o.status = r.status, o.image = r.image;
    } else {
        const UploadJobResult r = RunUploadJob(port, rig.Env(), RadioImage{}, false);
        o.status = r.status, o.image = r.image;
    }
    o.messages = rig.prompter.ids, o.statuses = rig.progress.statuses, o.position = rig.progress.position;
    o.sent = AsText(radio.HostBytes());
    o.radio = radio.Image();
    return o;
}

TEST(BridgedPort, TransfersEndAsOverTheInProcessPort) {
    struct Case {
        const char* name;
        Start start;
        Faults faults;
    };
    const Case cases[] = {
        {"in clone mode", Start::Immediate, {}},
        {"switched on first", Start::PowerOnPrompt, {.powerOnDelayMs = 3000}},
        {"echo lost", Start::PowerOnPrompt, {.dropEchoOfHostByte = 1}},
        {"frame cut", Start::Immediate, {.cutFrameAfter = 100}},
        {"line error in the image", Start::Immediate, {.lineErrorAtFrameByte = 40}},
        {"line error before '!'", Start::Immediate, {.lineErrorAtFrameByte = 0}},
        {"bad FrameSum", Start::Immediate, {.frameSumDelta = 1}},
        {"write refused", Start::Immediate, {.writeAnswer = kNak}},
        {"write unanswered twice", Start::Immediate, {.unansweredWrites = 2}},
        {"line error for the write's answer", Start::Immediate, {.lineErrorAsWriteAnswer = true}},
        {"line drops", Start::Immediate, {.hangUpAtHostByte = 30}},
    };
    const RadioImage image = PatternImage(9);
    // With a window, the bytes on the line when a fault shows are sent anyway, and counted later.
    for (std::size_t window : {1, 16}) {
        for (bool download : {false, true}) {
            for (const Case& c : cases) {
                SCOPED_TRACE(std::string(c.name) + (download ? " (download)" : " (upload)") + " window " +
                             std::to_string(window));
                SimRig sim(image, c.start, c.faults);
                RadioEmulator* simRadio = sim.radio->With([](RadioEmulator& e) { return &e; });
                const Outcome want = Transfer(sim.port, sim, *simRadio, download);
                BridgeRig rig(image, c.start, c.faults);
                rig.bridge.window = window;
                const Outcome got = Transfer(rig.port, rig, rig.bridge.radio, download);
                EXPECT_EQ(got.status, want.status);
                EXPECT_EQ(got.messages, want.messages);
                EXPECT_EQ(got.statuses, want.statuses);
                EXPECT_LE(want.position - got.position, static_cast<int>(window) - 1);
                EXPECT_GE(want.position - got.position, 0);
                if (window == 1) {
                    EXPECT_EQ(got.position, want.position);
                    EXPECT_EQ(got.sent, want.sent);
                } else {
                    EXPECT_EQ(got.sent.substr(0, want.sent.size()), want.sent);
                }
                EXPECT_EQ(got.image, want.image);
                EXPECT_EQ(got.radio, want.radio);
                EXPECT_EQ(rig.port.LinkLost(), rig.bridge.radio.HangUpRequested());
            }
        }
    }
}

// The image's bytes wait for their echoes: one at a time, every byte would wait for the hop from the
// device as well; a window of them keeps the line busy, and a Cancel still stops within the window.
TEST(BridgedPort, AWindowOfEchoesKeepsTheLineBusy) {
    const auto downloadTime = [](std::size_t window, Clock::duration hop) {
        BridgeRig rig(PatternImage(4), Start::Immediate, {});
        rig.bridge.window = window;
        rig.bridge.hop = hop;
        EXPECT_EQ(RunDownloadJob(rig.port, rig.Env(), DocumentFor(PatternImage(4)), {}).status, JobStatus::Completed);
        return rig.bridge.now - Clock::time_point{};
    };
    const auto wire = downloadTime(1, 0ms);
    EXPECT_GT(downloadTime(1, 1ms), wire + 250ms);
    EXPECT_LT(downloadTime(16, 1ms), wire + 30ms);

    BridgeRig rig(PatternImage(4), Start::Immediate, {});
    rig.bridge.window = 16;
    rig.bridge.hop = 1ms;
    int echoes = 0;
    const std::vector<std::uint8_t> bytes(100, 0x55);
    rig.port.Open({});
    EXPECT_EQ(rig.port.SendEachEchoed(bytes.data(), bytes.size(), [&] { return ++echoes < 10; }),
              SerialPort::EchoRun::Stopped);
    EXPECT_EQ(echoes, 10);
    EXPECT_EQ(rig.bridge.radio.HostBytes().size(), 10u + 15u);
}

TEST(BridgedPort, OpenErrorsAndAVanishedDeviceReachTheUser) {
    for (OpenError error : {OpenError::Busy, OpenError::PermissionDenied, OpenError::NotFound}) {
        BridgeRig rig(PatternImage(1), Start::Immediate, {});
        rig.bridge.openError = error;
        EXPECT_EQ(RunUploadJob(rig.port, rig.Env(), RadioImage{}, false).status, JobStatus::Failed);
        EXPECT_EQ(rig.port.LastOpenError(), error);
        EXPECT_FALSE(rig.port.IsOpen());
        EXPECT_EQ(rig.prompter.ids, std::vector<int>{error == OpenError::Busy               ? 4002
                                                     : error == OpenError::PermissionDenied ? 4000
                                                                                            : 80});
    }
    // The cable pulled while the image goes out: the write fails at once, no time-out is waited for.
    BridgeRig rig(PatternImage(1), Start::Immediate, {});
    rig.bridge.lostAfterHostBytes = 100;
    const DownloadJobResult r = RunDownloadJob(rig.port, rig.Env(), DocumentFor(PatternImage(1)), {});
    EXPECT_EQ(r.status, JobStatus::Failed);
    EXPECT_EQ(rig.prompter.ids, std::vector<int>{81});
    EXPECT_TRUE(rig.port.LinkLost());
    EXPECT_LT(rig.bridge.now - Clock::time_point{}, 2s);
    rig.port.Close();
    rig.port.Close();
    EXPECT_EQ(rig.bridge.closes, 1);

    // Unplugged while the computer waits for the radio: the read that hears of it ends the wait.
    BridgeRig silent(PatternImage(1), Start::Immediate, {.silent = true});
    silent.bridge.line.push_back({Clock::time_point{} + 300ms, PortBridge::kLinkLost});
    EXPECT_EQ(RunUploadJob(silent.port, silent.Env(), RadioImage{}, false).status, JobStatus::Failed);
    EXPECT_EQ(silent.prompter.ids, std::vector<int>{81});
    EXPECT_LT(silent.bridge.now - Clock::time_point{}, 1s);
}

} // namespace
} // namespace rt62
