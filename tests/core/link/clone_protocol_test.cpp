// The clone protocol against the emulated radio on the in-process port (virtual clock: no waiting).
#include <gtest/gtest.h>

#include "tests/core/link/link_test_support.h"

namespace rt62 {
namespace {

using namespace test;
using Faults = RadioEmulator::Faults;
using Start = RadioEmulator::Start;
constexpr Start kOn = Start::Immediate, kOff = Start::PowerOnPrompt;
constexpr JobStatus kDone = JobStatus::Completed, kFailed = JobStatus::Failed;

TEST(UploadImage, AnswersEveryRadioBehaviourAsTheExchangeDemands) {
    const std::string A(1, char(kAck)), N(1, char(kNak)), retry = "p" + A + "p" + A;
    struct Case {
        const char* name;
        Start start;
        Faults faults;
        JobStatus status;
        std::string sent;               // what the computer sent
        int message, retries, position; // position: progress at the end
    };
    // Frame bytes: '!' 0, header 1 and 2, image 3-256, FrameSum 257.
    const Case cases[] = {
        {"'p' answered at once", kOn, {}, kDone, "p" + A, 83, 0, 256},
        {"'P' offered first", kOff, {}, kDone, "p p" + A, 83, 0, 256},
        {"'P' after more than a read", kOff, {.powerOnDelayMs = 3000}, kDone, "p p" + A, 83, 0, 256},
        {"line error before '!'", kOn, {.lineErrorAtFrameByte = 0}, kFailed, "p", 81, 0, 0},
        {"echo of ' ' lost", kOff, {.dropEchoOfHostByte = 1}, kFailed, "p ", 81, 0, 0},
        {"line error on header 1", kOn, {.lineErrorAtFrameByte = 1}, kFailed, "p", 96, 0, 0},
        {"line error on header 2", kOn, {.lineErrorAtFrameByte = 2}, kFailed, "p", 96, 0, 1},
        {"line error on image byte 0", kOn, {.lineErrorAtFrameByte = 3}, kFailed, "p", 97, 0, 2},
        {"line error on image byte 253", kOn, {.lineErrorAtFrameByte = 256}, kFailed, "p", 97, 0, 255},
        {"line error on the FrameSum", kOn, {.lineErrorAtFrameByte = 257}, kFailed, "p", 98, 0, 256},
        {"FrameSum off by one", kOn, {.frameSumDelta = 1}, kFailed, "p" + N, 99, 0, 256},
        {"other header bytes", kOn, {.headerByte1 = 0x7E, .headerByte2 = 0xFF}, kDone, "p" + A, 83, 0, 256},
        // A frame that stops short is acknowledged and asked for again.
        {"frame cut in the middle", kOn, {.cutFrameAfter = 100}, kDone, retry, 83, 1, 256 + 99},
        {"frame cut after '!'", kOn, {.cutFrameAfter = 1}, kDone, retry, 83, 1, 256},
        {"FrameSum missing", kOn, {.cutFrameAfter = 257}, kDone, retry, 83, 1, 512},
        {"line drops after 'p'", kOn, {.hangUpAtHostByte = 0}, kFailed, "p", 81, 0, 0},
        // After ' ' 'p' five reads look for the '!'; a fifth byte that is not one opens the frame anyway.
        {"4 more 'P' before the frame", kOff, {.promptsBeforeFrame = 4}, kDone, "p p" + A, 83, 0, 256},
        {"5 more 'P' before the frame", kOff, {.promptsBeforeFrame = 5}, kFailed, "p p" + N, 99, 0, 256},
    };
    const RadioImage radioImage = PatternImage(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimRig rig(radioImage, c.start, c.faults);
        UploadJobResult r = rig.Upload();
        EXPECT_EQ(r.status, c.status);
        ASSERT_EQ(rig.prompter.ids, std::vector<int>{c.message});
        EXPECT_EQ(rig.Sent(), c.sent);
        EXPECT_EQ(rig.progress.Count(kStrRetry), c.retries);
        EXPECT_EQ(rig.progress.position, c.position);
        EXPECT_EQ(rig.progress.range, 256);
        EXPECT_EQ(rig.progress.title, kStrUploadTitle);
        EXPECT_TRUE(c.status == kDone ? r.image == radioImage : !r.image);
        using Args = std::vector<std::string>;
        EXPECT_EQ(rig.prompter.args[0], c.message == kStrCheckLead ? Args{"3"} : Args{}); // the port
    }
}

TEST(UploadImage, StatusTextsFollowThePhases) {
    SimRig rig(PatternImage(1), kOn, {.cutFrameAfter = 20});
    rig.Upload();
    EXPECT_EQ(rig.progress.statuses, (std::vector<int>{kStrSwitchRadio, kStrPleaseWait, kStrRetry,
                                                       kStrSwitchRadio, kStrPleaseWait}));
    EXPECT_TRUE(rig.progress.steady);
}

TEST(TransferJobs, PortThatCannotOpenShowsProblemWithComPort) {
    SimRig rig(PatternImage(0));
    rig.port.SetOpenFails(true);
    EXPECT_EQ(rig.Upload().status, kFailed);
    EXPECT_EQ(RunDownloadJob(rig.port, rig.Env(), RadioImage{}, {}).status, kFailed);
    EXPECT_EQ(rig.prompter.ids, (std::vector<int>{80, 80}));
    EXPECT_EQ(rig.progress.range, 0); // the bar never appears
    EXPECT_TRUE(rig.Sent().empty());
}

TEST(DownloadImage, AnswersEveryWriteOutcome) {
    struct Case {
        const char* name;
        Faults faults;
        JobStatus status;
        int message, retries, position; // position: progress at the end
    };
    // Reads wait 505 ms; the answer is awaited for 30 reads.
    auto errorAfter = [](int reads) {
        return Faults{.writeAnswerDelayMs = reads * 505 + 1, .lineErrorAsWriteAnswer = true};
    };
    // Host bytes: 'p' 0, ACK 1, '`' 2, '!' 3, 0x01 4 and 5, image 6-259, FrameSum 260.
    const Case cases[] = {
        {"clean", {}, kDone, 89, 0, 517},
        {"NAK", {.writeAnswer = kNak}, kFailed, 101, 0, 517},
        {"some other answer", {.writeAnswer = 'x'}, kFailed, 101, 0, 517},
        {"no answer once", {.unansweredWrites = 1}, kDone, 89, 1, 775},
        {"line error on read 30", errorAfter(29), kFailed, 101, 0, 517},
        {"line error on read 29, then silence", errorAfter(28), kDone, 89, 1, 775},
        {"echo of '`' lost", {.dropEchoOfHostByte = 2}, kFailed, 81, 0, 258},
        {"echo of '!' lost", {.dropEchoOfHostByte = 3}, kFailed, 96, 0, 259},
        {"echo of a header byte lost", {.dropEchoOfHostByte = 5}, kFailed, 96, 0, 261},
        {"echo of an image byte lost", {.dropEchoOfHostByte = 100}, kFailed, 96, 0, 356},
        {"line drops inside the write", {.hangUpAtHostByte = 150}, kFailed, 81, 0, 406},
        {"line drops on the FrameSum", {.hangUpAtHostByte = 260}, kFailed, 81, 0, 516},
        // The ACK then stands in for the echo; the answer wait runs out and the write is repeated.
        {"echo of the FrameSum lost", {.dropEchoOfHostByte = 260}, kDone, 89, 1, 775},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RadioImage radioImage = PatternImage(9);
        SimRig rig(radioImage, kOn, c.faults);
        // Service mode with an edited marketing area: only a write that took clears the edit mark.
        DownloadJobResult r = RunDownloadJob(rig.port, rig.Env(), DocumentFor(radioImage), {true, true, {}});
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(rig.prompter.ids, std::vector<int>{c.message});
        EXPECT_EQ(rig.progress.Count(kStrRetry), c.retries);
        EXPECT_EQ(rig.progress.range, 517);
        EXPECT_EQ(rig.progress.title, kStrDownloadTitle);
        EXPECT_EQ(r.clearMarketingMark, c.status == kDone);
        ASSERT_TRUE(r.image.has_value()); // merged before the write began
        EXPECT_TRUE(c.status != kDone || rig.RadioSide() == *r.image);
        EXPECT_EQ(rig.progress.position, c.position);
    }
}

TEST(DownloadImage, MergesTheRadiosOwnBytes) {
    struct Case {
        const char* name;
        std::uint8_t radioE8;
        bool serviceMode, marketingChanged;
        bool radioBytesTaken, marketingTaken, clearMark;
    };
    const Case cases[] = {
        {"ordinary radio", 0x12, false, false, true, true, false},
        {"radio bytes unset (0xFF)", 0xFF, false, false, false, true, false},
        {"radio bytes unset (0x00)", 0x00, false, false, false, true, false},
        {"edited marketing outside service mode", 0x12, false, true, true, true, false},
        {"service mode without marketing edit", 0x12, true, false, true, true, false},
        {"service mode with marketing edit", 0x12, true, true, true, false, true},
    };
    EXPECT_EQ(FrameSum(kFrameStart, 1, 1, RadioImage{}), 0x23); // the sum starts from the header
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RadioImage radioImage = PatternImage(21);
        radioImage[kRadioBytesFirst] = c.radioE8;
        RadioImage doc = DocumentFor(radioImage);
        SimRig rig(radioImage);
        int normalized = 0;
        DownloadOptions options{c.serviceMode, c.marketingChanged, [&](RadioImage&) { ++normalized; }};
        DownloadJobResult r = RunDownloadJob(rig.port, rig.Env(), doc, options);
        ASSERT_EQ(r.status, kDone);
        EXPECT_EQ(normalized, 1);
        const RadioImage& out = *r.image;
        const RadioImage& radioOwned = c.radioBytesTaken ? radioImage : doc;
        const RadioImage& marketing = c.marketingTaken ? radioImage : doc;
        EXPECT_TRUE(std::equal(out.begin() + 0xE8, out.begin() + 0xF0, radioOwned.begin() + 0xE8));
        EXPECT_TRUE(std::equal(out.begin() + 0xF2, out.begin() + 0xFC, marketing.begin() + 0xF2));
        EXPECT_TRUE(std::equal(out.begin(), out.begin() + 0xE8, doc.begin()));
        EXPECT_EQ(ReadImageChecksum(out), ComputeImageChecksum(out));
        EXPECT_EQ(r.clearMarketingMark, c.clearMark);
        EXPECT_EQ(rig.RadioSide(), out);
        EXPECT_EQ(rig.progress.frames, (std::vector<int>{258, -258})); // one frame read, one sent
        // Byte for byte: the request and its ACK, then '`' and the frame with its FrameSum.
        EXPECT_EQ(rig.Sent(), AsText({'p', kAck, '`', '!', 1, 1}) + std::string(out.begin(), out.end()) +
                                  char(FrameSum('!', 1, 1, out)));
    }
}

TEST(DownloadImage, HardwareMismatchStopsBeforeWriting) {
    // Service mode, the answer to the question, then what follows: its buttons and all messages.
    const std::tuple<bool, Answer, JobStatus, Buttons, std::vector<int>> cases[] = {
        {false, Answer::Ok, kFailed, Buttons::Ok, {87}},
        {true, Answer::Ok, kDone, Buttons::OkCancel, {87, 89}},
        {true, Answer::Cancel, kFailed, Buttons::OkCancel, {87}},
    };
    for (std::size_t at : {kHardwareCheckFirst, kHardwareCheckLast}) {
        for (const auto& [serviceMode, answer, status, buttons, messages] : cases) {
            SCOPED_TRACE(::testing::Message() << "service mode " << serviceMode << ", byte " << at);
            RadioImage radioImage = PatternImage(7);
            RadioImage doc = DocumentFor(radioImage);
            doc[at] ^= 0x01;
            SimRig rig(radioImage);
            rig.prompter.answers[kStrHardwareMismatch] = answer;
            DownloadJobResult r = RunDownloadJob(rig.port, rig.Env(), doc, {serviceMode, false, {}});
            EXPECT_EQ(r.status, status);
            ASSERT_EQ(rig.prompter.ids, messages);
            EXPECT_EQ(rig.prompter.buttons[0], buttons);
            EXPECT_EQ(rig.Sent().find('`') != std::string::npos, status == kDone);
            // The document's hardware bytes are what goes out.
            EXPECT_TRUE(status == kDone ? r.image && (*r.image)[at] == doc[at] : !r.image);
        }
    }
}

TEST(TransferJobs, CancelEndsEveryPhaseQuietly) {
    // Reads of a clean download: echo of 'p' 0, frame 1-258, echo of ACK 259, echo of '`' 260,
    // echoes of the frame 261-518, answer 519. Cancelled after 260, the image was merged.
    const std::tuple<const char*, Start, Faults, int> cases[] = {
        {"no cable, waiting for 'P'", kOn, {.noEcho = true, .silent = true}, 40},
        {"radio off, waiting for 'P'", kOff, {.silent = true}, 7},
        {"'P' then silence", kOff, {.silentAfterPrompt = true}, 30},
        {"during the frame", kOn, {}, 100},
        {"before the FrameSum", kOn, {}, 258},
        {"during the write", kOn, {}, 300},
        {"waiting for the answer", kOn, {.unansweredWrites = 100}, 2000},
    };
    for (const auto& [name, start, faults, cancelAtRead] : cases) {
        SCOPED_TRACE(name);
        const RadioImage radioImage = PatternImage(4);
        SimRig rig(radioImage, start, faults);
        std::size_t sentAtCancel = 0;
        rig.port.SetReadHook([&, at = cancelAtRead](int read) {
            if (read != at) return;
            rig.cancel.Request();
            sentAtCancel = rig.Sent().size();
        });
        DownloadJobResult r = RunDownloadJob(rig.port, rig.Env(), DocumentFor(radioImage), {});
        EXPECT_EQ(r.status, JobStatus::Cancelled);
        EXPECT_TRUE(rig.prompter.ids.empty());
        EXPECT_EQ(r.image.has_value(), cancelAtRead > 260);
        // Nothing more is sent once the request is seen (at most the byte whose echo was awaited).
        EXPECT_LE(rig.Sent().size(), sentAtCancel + 1);
    }
}

TEST(TransferJobs, UploadCountsAsDoneOnlyOnceTheImageIsKept) {
    for (bool kept : {true, false}) {
        SCOPED_TRACE(kept ? "kept" : "could not be kept");
        SimRig rig(PatternImage(2));
        std::optional<RadioImage> handed;
        UploadJobResult r =
            RunUploadJob(rig.port, rig.Env(), RadioImage{}, false, [&](const RadioImage& image) {
                handed = image;
                return kept;
            });
        EXPECT_EQ(handed, PatternImage(2));
        EXPECT_EQ(r.status, kept ? kDone : kFailed);
        EXPECT_EQ(r.image.has_value(), kept);
        EXPECT_EQ(rig.prompter.ids, kept ? std::vector<int>{83} : std::vector<int>{});
        EXPECT_EQ(rig.progress.frames, std::vector<int>{258});
    }
}

// A line that never stops sending bytes, none of which opens a frame.
class BabblingPort : public SerialPort {
  public:
    bool Open(const LineSettings&) override { return open_ = true; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool Write(const std::uint8_t*, std::size_t) override { return true; }
    ReadResult ReadExact(std::uint8_t* data, std::size_t n) override {
        std::fill(data, data + n, 'x');
        return Hook();
    }
    ReadResult ReadByte(std::uint8_t& out, std::size_t& count) override {
        out = 'x';
        count = 1;
        return Hook();
    }
    void PurgeInput() override {}
    std::function<void(int)> hook;

  private:
    ReadResult Hook() {
        if (hook) hook(reads_++);
        return ReadResult::Ok;
    }
    bool open_ = false;
    int reads_ = 0;
};

TEST(TransferJobs, LineWithoutAFrameIsWaitedForUntilCancelledOrGivenUp) {
    using Clock = std::chrono::steady_clock;
    for (bool babbling : {false, true})
        for (bool giveUp : {false, true}) {
            SCOPED_TRACE(std::string(babbling ? "babbling" : "silent") +
                         (giveUp ? ", give-up time set" : ""));
            SimRig rig(PatternImage(4), kOn, {.silent = true});
            BabblingPort babble;
            JobEnvironment env = rig.Env();
            // The give-up time runs on the real clock; each read returns at once (virtual time).
            if (giveUp) env.giveUpAfter = std::chrono::milliseconds(200);
            // Without a give-up time the user cancels; with one, cancelling is a safety net only.
            const auto start = Clock::now();
            auto hook = [&](int read) {
                if (giveUp ? Clock::now() - start > std::chrono::seconds(3) : read == 5000)
                    rig.cancel.Request();
            };
            rig.port.SetReadHook(hook);
            babble.hook = hook;
            SerialPort& port = babbling ? static_cast<SerialPort&>(babble) : rig.port;
            EXPECT_EQ(RunUploadJob(port, env, RadioImage{}, false).status,
                      giveUp ? kFailed : JobStatus::Cancelled);
            EXPECT_EQ(rig.prompter.ids, giveUp ? std::vector<int>{81} : std::vector<int>{});
            EXPECT_EQ(rig.Sent(), babbling ? "" : "p"); // one request, then the wait for 'P'
        }
}

} // namespace
} // namespace rt62
