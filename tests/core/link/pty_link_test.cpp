// The real POSIX port against the emulated radio on a pseudo-terminal.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <future>

#include "link/posix_serial_port.h"
#include "link/pty_radio.h"
#include "link/sim_port.h"
#include "link/transfer_job.h"
#include "link_test_support.h"

namespace rt62 {
namespace {

using namespace std::chrono_literals;
using test::PatternImage;
using test::RecordingProgress;
using test::RecordingPrompter;
using Faults = RadioEmulator::Faults;
using Start = RadioEmulator::Start;

// Runs a job on a worker as the window does; a job still running after the limit is cancelled and
// reported, so a fault can fail the test but never hang it.
template <class Job> auto RunBounded(CancelToken& cancel, Job job, std::chrono::seconds limit = 20s) {
    auto future = std::async(std::launch::async, job);
    if (future.wait_for(limit) != std::future_status::ready) {
        ADD_FAILURE() << "transfer still running after " << limit.count() << " s";
        cancel.Request();
    }
    return future.get();
}

struct PtyRig {
    PtyRig(const RadioImage& radioImage, Start start, bool paced = false) : radio(radioImage, start, paced) {
        started = radio.Start();
        port = std::make_unique<PosixSerialPort>(radio.DevicePath());
        port->SetLeadName(radio.DevicePath());
    }
    JobEnvironment Env() { return {cancel, progress, prompter}; }
    std::vector<std::uint8_t> HostBytes() {
        return radio.With([](RadioEmulator& r) { return r.HostBytes(); });
    }

    PtyRadio radio;
    bool started = false;
    std::unique_ptr<PosixSerialPort> port;
    CancelToken cancel;
    RecordingProgress progress;
    RecordingPrompter prompter;
};

RadioImage DocumentFor(const RadioImage& radio) {
    RadioImage doc = PatternImage(77);
    std::copy(radio.begin() + kHardwareCheckFirst, radio.begin() + kHardwareCheckLast + 1,
              doc.begin() + kHardwareCheckFirst);
    return doc;
}

TEST(PtyLink, UploadThenDownloadThenUploadAgain) {
    const RadioImage radioImage =
        PatternImage(5); // holds 0xFF and 0x00 runs: the marked stream must carry them
    PtyRig rig(radioImage, Start::Immediate);
    ASSERT_TRUE(rig.started);
    UploadJobResult up =
        RunBounded(rig.cancel, [&] { return RunUploadJob(*rig.port, rig.Env(), RadioImage{}, false); });
    ASSERT_EQ(up.status, JobStatus::Completed);
    EXPECT_EQ(*up.image, radioImage);

    RadioImage doc = DocumentFor(radioImage);
    doc[20] = 0xFF;
    doc[21] = 0xFF;
    DownloadJobResult down =
        RunBounded(rig.cancel, [&] { return RunDownloadJob(*rig.port, rig.Env(), doc, {}); });
    ASSERT_EQ(down.status, JobStatus::Completed);
    EXPECT_EQ(rig.radio.With([](RadioEmulator& r) { return r.Image(); }), *down.image);

    rig.port->Close(); // a new session on the same device sees the written image
    UploadJobResult again =
        RunBounded(rig.cancel, [&] { return RunUploadJob(*rig.port, rig.Env(), RadioImage{}, false); });
    ASSERT_EQ(again.status, JobStatus::Completed);
    EXPECT_EQ(*again.image, *down.image);
    EXPECT_EQ(rig.prompter.Ids(), (std::vector<int>{83, 89, 83}));
}

TEST(PtyLink, PacedUploadTakesAtLeastTheWireTime) {
    const RadioImage radioImage = PatternImage(6);
    PtyRig rig(radioImage, Start::Immediate, /*paced=*/true);
    ASSERT_TRUE(rig.started);
    const auto begin = std::chrono::steady_clock::now();
    UploadJobResult up =
        RunBounded(rig.cancel, [&] { return RunUploadJob(*rig.port, rig.Env(), RadioImage{}, false); });
    const auto wall = std::chrono::steady_clock::now() - begin;
    ASSERT_EQ(up.status, JobStatus::Completed);
    EXPECT_EQ(*up.image, radioImage);
    EXPECT_GE(wall, kCharTime * 260); // 'p', the 258-byte frame and the ACK, one after another
}

TEST(PtyLink, PromptThenSilenceIsAnsweredOnceAndWaitsForCancel) {
    PtyRig rig(PatternImage(1), Start::PowerOnPrompt);
    ASSERT_TRUE(rig.started);
    rig.radio.With([](RadioEmulator& r) {
        r.MutableFaults().silentAfterPrompt = true;
        return 0;
    });
    auto job = std::async(std::launch::async,
                          [&] { return RunUploadJob(*rig.port, rig.Env(), RadioImage{}, false); });
    const bool replied =
        rig.radio.WaitFor([](const RadioEmulator& r) { return r.HostBytes().size() >= 3; }, 5s);
    rig.cancel.Request();
    ASSERT_EQ(job.wait_for(5s), std::future_status::ready) << "cancel was not honoured";
    EXPECT_TRUE(replied);
    EXPECT_EQ(job.get().status, JobStatus::Cancelled);
    const std::vector<std::uint8_t> sent = rig.HostBytes();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(std::vector<std::uint8_t>(sent.begin(), sent.begin() + 3),
              (std::vector<std::uint8_t>{'p', ' ', 'p'}));
    EXPECT_TRUE(rig.prompter.Ids().empty());
}

TEST(PtyLink, CutFrameSendsAckBeforeTheNewRequest) {
    const RadioImage radioImage = PatternImage(2);
    PtyRig rig(radioImage, Start::Immediate);
    ASSERT_TRUE(rig.started);
    rig.radio.With([](RadioEmulator& r) {
        r.MutableFaults().cutFrameAfter = 120;
        return 0;
    });
    UploadJobResult up =
        RunBounded(rig.cancel, [&] { return RunUploadJob(*rig.port, rig.Env(), RadioImage{}, false); });
    ASSERT_EQ(up.status, JobStatus::Completed);
    EXPECT_EQ(*up.image, radioImage);
    EXPECT_EQ(rig.HostBytes(), (std::vector<std::uint8_t>{'p', kAck, 'p', kAck}));
    EXPECT_EQ(rig.progress.Count(kStrRetry), 1);
    EXPECT_GT(rig.progress.position, rig.progress.range);
}

TEST(PtyLink, RadioWithUnsetOwnBytesKeepsOurs) {
    RadioImage radioImage = PatternImage(3);
    radioImage[kRadioBytesFirst] = 0xFF;
    PtyRig rig(radioImage, Start::Immediate);
    ASSERT_TRUE(rig.started);
    const RadioImage doc = DocumentFor(radioImage);
    DownloadJobResult down =
        RunBounded(rig.cancel, [&] { return RunDownloadJob(*rig.port, rig.Env(), doc, {}); });
    ASSERT_EQ(down.status, JobStatus::Completed);
    const RadioImage written = rig.radio.With([](RadioEmulator& r) { return r.Image(); });
    EXPECT_TRUE(std::equal(written.begin() + 0xE8, written.begin() + 0xF0, doc.begin() + 0xE8));
    EXPECT_TRUE(std::equal(written.begin() + 0xF2, written.begin() + 0xFC, radioImage.begin() + 0xF2));
}

TEST(PtyLink, HangUpIsReportedNotWaitedFor) {
    struct Case {
        const char* name;
        int hangUpAtHostByte; // -1: the peer closes while the port waits for 'P'
        bool download;
    };
    const Case cases[] = {
        {"while waiting for 'P'", -1, false},
        {"after the request", 0, false},
        {"inside the write", 200, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RadioImage radioImage = PatternImage(4);
        PtyRig rig(radioImage, c.hangUpAtHostByte < 0 ? Start::PowerOnPrompt : Start::Immediate);
        ASSERT_TRUE(rig.started);
        rig.radio.With([&](RadioEmulator& r) {
            r.MutableFaults().hangUpAtHostByte = c.hangUpAtHostByte;
            r.MutableFaults().silent = c.hangUpAtHostByte < 0;
            return 0;
        });
        auto job = std::async(std::launch::async, [&] {
            return c.download ? RunDownloadJob(*rig.port, rig.Env(), DocumentFor(radioImage), {}).status
                              : RunUploadJob(*rig.port, rig.Env(), RadioImage{}, false).status;
        });
        if (c.hangUpAtHostByte < 0) {
            rig.radio.WaitFor([](const RadioEmulator& r) { return !r.HostBytes().empty(); }, 5s);
            rig.radio.HangUp();
        }
        if (job.wait_for(10s) != std::future_status::ready) {
            ADD_FAILURE() << "the transfer hangs after a hang-up";
            rig.cancel.Request();
        }
        EXPECT_EQ(job.get(), JobStatus::Failed);
        EXPECT_EQ(rig.prompter.Ids(), std::vector<int>{81});
        EXPECT_EQ(rig.prompter.All().at(0).args, std::vector<std::string>{rig.radio.DevicePath()});
    }
}

TEST(PosixSerialPort, OpenRefusesWhatIsNotAFreeSerialDevice) {
    PtyRadio radio(PatternImage(0), Start::Immediate, false);
    ASSERT_TRUE(radio.Start());
    PosixSerialPort first(radio.DevicePath());
    ASSERT_TRUE(first.Open(LineSettings{}));
    EXPECT_TRUE(OpenCloneLink(first)); // already open: used as it is

    struct Case {
        const char* name;
        std::string path;
        LineSettings settings;
    };
    const Case cases[] = {
        {"no such device", "/dev/rt62-no-such-port", {}},
        {"not a terminal", "/dev/null", {}},
        {"in use by another port", radio.DevicePath(), {}},
        {"unsupported speed", radio.DevicePath(), {4801, 8, 0, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PosixSerialPort port(c.path);
        EXPECT_FALSE(port.Open(c.settings));
        EXPECT_FALSE(port.IsOpen());
    }
    first.Close();
    PosixSerialPort second(radio.DevicePath());
    EXPECT_TRUE(second.Open(LineSettings{})); // free again after Close
}

TEST(PosixSerialPort, WriteLimitAndSilentLineResults) {
    PtyRadio radio(PatternImage(0), Start::Immediate, false);
    ASSERT_TRUE(radio.Start());
    radio.With([](RadioEmulator& r) {
        r.MutableFaults().noEcho = true;
        return 0;
    });
    PosixSerialPort port(radio.DevicePath());
    ASSERT_TRUE(port.Open(LineSettings{}));
    std::vector<std::uint8_t> big(kPortQueueSize + 1, 0x55);
    EXPECT_FALSE(port.Write(big.data(), big.size()));
    EXPECT_TRUE(radio.With([](RadioEmulator& r) { return r.HostBytes().empty(); }));
    EXPECT_TRUE(port.Write(big.data(), kPortQueueSize));
    EXPECT_TRUE(
        radio.WaitFor([](const RadioEmulator& r) { return r.HostBytes().size() == kPortQueueSize; }, 5s));

    std::uint8_t b = 0x42;
    std::size_t count = 7;
    EXPECT_EQ(port.ReadByte(b, count), ReadResult::Ok);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(b, 0x42);
    EXPECT_EQ(port.ReadExact(&b, 1), ReadResult::NoData);
    EXPECT_FALSE(port.SendEchoed(&b, 1)); // no cable: the echo never comes
    EXPECT_FALSE(port.LinkLost());
}

} // namespace
} // namespace rt62

#endif
