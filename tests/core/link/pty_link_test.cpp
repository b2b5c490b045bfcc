// The real POSIX port against the emulated radio on a pseudo-terminal (which a browser has not).
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)

#include <gtest/gtest.h>

#include <future>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/image/strings.h"

#include "core/link/posix_serial_port.h"
#include "tests/rig/pty_radio.h"
#include "tests/core/link/link_test_support.h"

namespace rt62 {
namespace {

using namespace std::chrono_literals;
using namespace test;
using Faults = RadioEmulator::Faults;
using Start = RadioEmulator::Start;

// Waits for a job running on a worker as the window runs it; one still running after the limit is
// cancelled and reported, so a fault can fail the test but never hang it.
template <class T> T Finish(std::future<T>& job, CancelToken& cancel, std::chrono::seconds limit = 20s) {
    if (job.wait_for(limit) != std::future_status::ready) {
        ADD_FAILURE() << "transfer still running after " << limit.count() << " s";
        cancel.Request();
    }
    return job.get();
}

struct PtyRig : JobRecorders {
    PtyRig(const RadioImage& radioImage, Start start, const Faults& faults = {})
        : radio(radioImage, start, /*paced=*/false) {
        radio.With([&](RadioEmulator& r) {
            r.SetFaults(faults);
            return 0;
        });
        started = radio.Start();
        port = std::make_unique<PosixSerialPort>(radio.DevicePath());
        port->SetLeadName(radio.DevicePath());
    }
    std::string Sent() {
        return AsText(radio.With([](RadioEmulator& r) { return r.HostBytes(); }));
    }
    RadioImage RadioSide() {
        return radio.With([](RadioEmulator& r) { return r.Image(); });
    }
    std::future<UploadJobResult> StartUpload() {
        return std::async(std::launch::async,
                          [this] { return RunUploadJob(*port, Env(), RadioImage{}, false); });
    }
    UploadJobResult Upload() {
        auto job = StartUpload();
        return Finish(job, cancel);
    }
    DownloadJobResult Download(const RadioImage& doc) {
        auto job = std::async(std::launch::async, [&] { return RunDownloadJob(*port, Env(), doc, {}); });
        return Finish(job, cancel);
    }

    PtyRadio radio;
    bool started = false;
    std::unique_ptr<PosixSerialPort> port;
};

TEST(PtyLink, UploadThenDownloadThenUploadAgain) {
    // The image holds 0xFF and 0x00 runs: the marked stream must carry them.
    RadioImage radioImage = PatternImage(5);
    radioImage[kRadioBytesFirst] = 0xFF; // the radio's own bytes are unset: ours are kept
    PtyRig rig(radioImage, Start::Immediate, {.cutFrameAfter = 120});
    ASSERT_TRUE(rig.started);
    UploadJobResult up = rig.Upload();
    ASSERT_EQ(up.status, JobStatus::Completed);
    EXPECT_EQ(*up.image, radioImage);
    // The first frame stops short: ACK, then a new request.
    EXPECT_EQ(rig.Sent(), AsText({'p', kAck, 'p', kAck}));
    EXPECT_EQ(rig.progress.Count(kStrRetry), 1);

    RadioImage doc = DocumentFor(radioImage);
    doc[20] = doc[21] = 0xFF;
    DownloadJobResult down = rig.Download(doc);
    ASSERT_EQ(down.status, JobStatus::Completed);
    const RadioImage written = rig.RadioSide();
    EXPECT_EQ(written, *down.image);
    EXPECT_TRUE(std::equal(written.begin(), written.begin() + 0xF0, doc.begin()));
    EXPECT_TRUE(std::equal(written.begin() + 0xF2, written.begin() + 0xFC, radioImage.begin() + 0xF2));

    rig.port->Close(); // a new session on the same device sees the written image
    UploadJobResult again = rig.Upload();
    ASSERT_EQ(again.status, JobStatus::Completed);
    EXPECT_EQ(*again.image, written);
    EXPECT_EQ(rig.prompter.ids, (std::vector<int>{83, 89, 83}));
}

TEST(PtyLink, PromptThenSilenceIsAnsweredOnceAndWaitsForCancel) {
    PtyRig rig(PatternImage(1), Start::PowerOnPrompt, {.silentAfterPrompt = true});
    ASSERT_TRUE(rig.started);
    auto job = rig.StartUpload();
    EXPECT_TRUE(rig.radio.WaitFor([](const RadioEmulator& r) { return r.HostBytes().size() >= 3; }, 5s));
    rig.cancel.Request();
    EXPECT_EQ(Finish(job, rig.cancel, 5s).status, JobStatus::Cancelled);
    EXPECT_EQ(rig.Sent().substr(0, 3), "p p");
    EXPECT_TRUE(rig.prompter.ids.empty());
}

TEST(PtyLink, HangUpIsReportedNotWaitedFor) {
    // Host byte after which the peer hangs up; -1: it closes while the port waits for 'P'.
    for (int at : {-1, 0, 200}) {
        SCOPED_TRACE(at);
        const RadioImage radioImage = PatternImage(4);
        PtyRig rig(radioImage, at < 0 ? Start::PowerOnPrompt : Start::Immediate,
                   {.silent = at < 0, .hangUpAtHostByte = at});
        ASSERT_TRUE(rig.started);
        auto job = std::async(std::launch::async, [&] {
            return at > 0 ? RunDownloadJob(*rig.port, rig.Env(), DocumentFor(radioImage), {}).status
                          : RunUploadJob(*rig.port, rig.Env(), RadioImage{}, false).status;
        });
        if (at < 0) {
            rig.radio.WaitFor([](const RadioEmulator& r) { return !r.HostBytes().empty(); }, 5s);
            rig.radio.HangUp();
        }
        EXPECT_EQ(Finish(job, rig.cancel, 10s), JobStatus::Failed);
        EXPECT_EQ(rig.prompter.ids, std::vector<int>{81});
        EXPECT_EQ(rig.prompter.args.at(0), std::vector<std::string>{rig.radio.DevicePath()});
    }
}

TEST(PosixSerialPort, RefusesWhatIsNotAFreeSerialDeviceAndReportsASilentLine) {
    PtyRig rig(PatternImage(0), Start::Immediate, {.noEcho = true});
    ASSERT_TRUE(rig.started);
    PosixSerialPort& port = *rig.port;
    ASSERT_TRUE(port.Open(LineSettings{}));
    EXPECT_TRUE(OpenCloneLink(port)); // already open: used as it is
    const struct {
        std::string path;
        LineSettings settings;
        OpenError why;
        int message; // what the user is told
    } cases[] = {
        {"/dev/rt62-no-such-port", {}, OpenError::NotFound, 80},
        {"/dev/null", {}, OpenError::Settings, 80},                         // not a terminal
        {rig.radio.DevicePath(), {}, OpenError::Busy, 4002},                // in use by the first port
        {rig.radio.DevicePath(), {4801, 8, 0, 2}, OpenError::Settings, 80}, // unsupported speed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        PosixSerialPort other(c.path);
        EXPECT_FALSE(other.Open(c.settings));
        EXPECT_FALSE(other.IsOpen());
        EXPECT_EQ(other.LastOpenError(), c.why);
        RecordingPrompter prompter;
        ShowPortProblem(prompter, &other);
        EXPECT_EQ(prompter.ids, std::vector<int>{c.message});
    }

    std::vector<std::uint8_t> big(kPortQueueSize + 1, 0x55);
    EXPECT_FALSE(port.Write(big.data(), big.size())); // more than the queue holds: nothing goes
    EXPECT_TRUE(port.Write(big.data(), kPortQueueSize));
    EXPECT_TRUE(
        rig.radio.WaitFor([](const RadioEmulator& r) { return r.HostBytes().size() == kPortQueueSize; }, 5s));
    std::uint8_t b = 0x42;
    std::size_t count = 7;
    EXPECT_EQ(port.ReadByte(b, count), ReadResult::Ok); // a silent line is no error
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(b, 0x42);
    EXPECT_EQ(port.ReadExact(&b, 1), ReadResult::NoData);
    EXPECT_FALSE(port.SendEchoed(&b, 1)); // no cable: the echo never comes
    EXPECT_FALSE(port.LinkLost());

    port.Close();
    EXPECT_TRUE(PosixSerialPort(rig.radio.DevicePath()).Open(LineSettings{})); // free again after Close
}

// A user outside the group that owns the port is told so, with the group to join.
TEST(PosixSerialPort, NoPermissionNamesTheDialoutGroup) {
    // A bare pseudo-terminal, no radio thread: the child below is forked from a single thread.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    const std::string path = ptsname(master);
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    pid_t pid = fork();
    if (pid == 0) {
        // Root opens anything: the attempt is made as the unprivileged user.
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
        PosixSerialPort port(path);
        port.SetLeadName(path);
        RecordingPrompter prompter;
        const bool opened = port.Open(LineSettings{});
        ShowPortProblem(prompter, &port);
        const std::string text = FormatString(prompter.ids.at(0), prompter.args.at(0));
        const bool told = text.find("Problem with COM port") == 0 && text.find(path) != std::string::npos &&
                          text.find("dialout") != std::string::npos;
        _exit(!opened && port.LastOpenError() == OpenError::PermissionDenied && told ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(master);
}

} // namespace
} // namespace rt62

#endif
