// The clone protocol against the emulated radio on the in-process port (virtual clock: no waiting).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "image/fields.h"
#include "link/sim_port.h"
#include "link/transfer_job.h"
#include "link_test_support.h"

namespace rt62 {
namespace {

using test::PatternImage;
using test::RecordingProgress;
using test::RecordingPrompter;
using Faults = RadioEmulator::Faults;
using Start = RadioEmulator::Start;

struct Rig {
    explicit Rig(const RadioImage& radioImage, Start start = Start::Immediate)
        : radio(std::make_shared<SimulatedRadio>(radioImage, start)),
          port(radio, SimulatedSerialPort::Clock::Virtual, /*paced=*/false) {
        port.SetLeadName("3");
    }
    JobEnvironment Env() { return {cancel, progress, prompter}; }
    std::vector<std::uint8_t> HostBytes() {
        return radio->With([](RadioEmulator& r) { return r.HostBytes(); });
    }
    RadioImage RadioSide() {
        return radio->With([](RadioEmulator& r) { return r.Image(); });
    }
    void SetFaults(const std::function<void(Faults&)>& f) {
        radio->With([&](RadioEmulator& r) {
            f(r.MutableFaults());
            return 0;
        });
    }

    std::shared_ptr<SimulatedRadio> radio;
    SimulatedSerialPort port;
    CancelToken cancel;
    RecordingProgress progress;
    RecordingPrompter prompter;
};

std::vector<std::uint8_t> Bytes(std::initializer_list<int> list) {
    std::vector<std::uint8_t> v;
    for (int b : list)
        v.push_back(static_cast<std::uint8_t>(b));
    return v;
}

TEST(FrameSum, StartsFromTheFrameHeader) {
    RadioImage zeros{};
    EXPECT_EQ(FrameSum(kFrameStart, 1, 1, zeros), 0x23);
    RadioImage ff;
    ff.fill(0xFF);
    EXPECT_EQ(FrameSum(kFrameStart, 1, 1, ff), static_cast<std::uint8_t>(0x23 + 254 * 0xFF));
}

struct UploadCase {
    const char* name;
    Start start;
    std::function<void(Faults&)> faults;
    JobStatus status;
    std::vector<int> messages;
    std::vector<std::uint8_t> hostBytes; // what the computer sent; empty: not checked
    int retries;
    int position; // progress at the end; 0: not checked
};

TEST(UploadImage, AnswersEveryRadioBehaviourAsTheExchangeDemands) {
    const int ack = kAck, nak = kNak;
    const std::vector<UploadCase> cases = {
        {"radio answers 'p' at once",
         Start::Immediate,
         [](Faults&) {},
         JobStatus::Completed,
         {83},
         Bytes({'p', ack}),
         0,
         256},
        {"radio offers 'P' first",
         Start::PowerOnPrompt,
         [](Faults&) {},
         JobStatus::Completed,
         {83},
         Bytes({'p', ' ', 'p', ack}),
         0,
         256},
        {"'P' after a delay longer than one read",
         Start::PowerOnPrompt,
         [](Faults& f) { f.powerOnDelayMs = 3000; },
         JobStatus::Completed,
         {83},
         Bytes({'p', ' ', 'p', ack}),
         0,
         256},
        {"line error while waiting for '!'",
         Start::Immediate,
         [](Faults& f) { f.lineErrorAtFrameByte = 0; },
         JobStatus::Failed,
         {81},
         Bytes({'p'}),
         0,
         0},
        {"echo of ' ' lost",
         Start::PowerOnPrompt,
         [](Faults& f) { f.dropEchoOfHostByte = 1; },
         JobStatus::Failed,
         {81},
         {},
         0,
         0},
        {"line error on header byte 1",
         Start::Immediate,
         [](Faults& f) { f.lineErrorAtFrameByte = 1; },
         JobStatus::Failed,
         {96},
         Bytes({'p'}),
         0,
         0},
        {"line error on header byte 2",
         Start::Immediate,
         [](Faults& f) { f.lineErrorAtFrameByte = 2; },
         JobStatus::Failed,
         {96},
         Bytes({'p'}),
         0,
         0},
        {"line error on the first image byte",
         Start::Immediate,
         [](Faults& f) { f.lineErrorAtFrameByte = 3; },
         JobStatus::Failed,
         {97},
         Bytes({'p'}),
         0,
         0},
        {"line error on the last image byte",
         Start::Immediate,
         [](Faults& f) { f.lineErrorAtFrameByte = 256; },
         JobStatus::Failed,
         {97},
         Bytes({'p'}),
         0,
         0},
        {"line error on the FrameSum",
         Start::Immediate,
         [](Faults& f) { f.lineErrorAtFrameByte = 257; },
         JobStatus::Failed,
         {98},
         Bytes({'p'}),
         0,
         256},
        {"FrameSum off by one",
         Start::Immediate,
         [](Faults& f) { f.frameSumDelta = 1; },
         JobStatus::Failed,
         {99},
         Bytes({'p', nak}),
         0,
         256},
        {"header bytes other than 0x01 are summed as they come",
         Start::Immediate,
         [](Faults& f) {
             f.headerByte1 = 0x7E;
             f.headerByte2 = 0xFF;
         },
         JobStatus::Completed,
         {83},
         Bytes({'p', ack}),
         0,
         256},
        {"frame cut in the middle",
         Start::Immediate,
         [](Faults& f) { f.cutFrameAfter = 100; },
         JobStatus::Completed,
         {83},
         Bytes({'p', ack, 'p', ack}),
         1,
         256 + 99},
        {"frame cut after '!'",
         Start::Immediate,
         [](Faults& f) { f.cutFrameAfter = 1; },
         JobStatus::Completed,
         {83},
         Bytes({'p', ack, 'p', ack}),
         1,
         256},
        {"FrameSum missing",
         Start::Immediate,
         [](Faults& f) { f.cutFrameAfter = 257; },
         JobStatus::Completed,
         {83},
         Bytes({'p', ack, 'p', ack}),
         1,
         512},
    };
    const RadioImage radioImage = PatternImage(3);
    for (const UploadCase& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(radioImage, c.start);
        rig.SetFaults(c.faults);
        UploadJobResult r = RunUploadJob(rig.port, rig.Env(), RadioImage{}, false);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(rig.prompter.Ids(), c.messages);
        if (!c.hostBytes.empty()) {
            EXPECT_EQ(rig.HostBytes(), c.hostBytes);
        }
        EXPECT_EQ(rig.progress.Count(kStrRetry), c.retries);
        if (c.position) {
            EXPECT_EQ(rig.progress.position, c.position);
        }
        EXPECT_EQ(rig.progress.range, 256);
        EXPECT_EQ(rig.progress.title, kStrUploadTitle);
        EXPECT_EQ(r.image.has_value(), c.status == JobStatus::Completed);
        if (r.image) {
            EXPECT_EQ(*r.image, radioImage);
        }
        if (c.messages == std::vector<int>{81}) {
            EXPECT_EQ(rig.prompter.All()[0].args, std::vector<std::string>{"3"});
        }
    }
}

TEST(UploadImage, StatusTextsFollowThePhases) {
    Rig rig(PatternImage(1));
    rig.SetFaults([](Faults& f) { f.cutFrameAfter = 20; });
    RunUploadJob(rig.port, rig.Env(), RadioImage{}, false);
    // Each attempt starts with "Switch radio...", the frame with "Please wait"; the second with "Retry".
    EXPECT_EQ(rig.progress.statuses, (std::vector<int>{kStrSwitchRadio, kStrPleaseWait, kStrRetry,
                                                       kStrSwitchRadio, kStrPleaseWait}));
    EXPECT_TRUE(rig.progress.steady);
}

TEST(UploadJob, ModifiedDocumentAsksBeforeTakingTheImage) {
    struct Case {
        bool modified;
        Answer answer;
        JobStatus status;
        std::vector<int> messages;
    };
    const Case cases[] = {
        {false, Answer::No, JobStatus::Completed, {83}},
        {true, Answer::Yes, JobStatus::Completed, {100, 83}},
        {true, Answer::No, JobStatus::Declined, {100}},
    };
    for (const Case& c : cases) {
        Rig rig(PatternImage(5));
        rig.prompter.SetAnswer(kStrOverwrite, c.answer);
        UploadJobResult r = RunUploadJob(rig.port, rig.Env(), RadioImage{}, c.modified);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(rig.prompter.Ids(), c.messages);
        EXPECT_EQ(r.image.has_value(), c.status == JobStatus::Completed);
    }
}

TEST(TransferJobs, PortThatCannotOpenShowsProblemWithComPort) {
    Rig rig(PatternImage(0));
    rig.port.SetOpenFails(true);
    EXPECT_EQ(RunUploadJob(rig.port, rig.Env(), RadioImage{}, false).status, JobStatus::Failed);
    EXPECT_EQ(RunDownloadJob(rig.port, rig.Env(), RadioImage{}, {}).status, JobStatus::Failed);
    EXPECT_EQ(rig.prompter.Ids(), (std::vector<int>{80, 80}));
    EXPECT_EQ(rig.progress.range, 0); // the bar never appears
    EXPECT_TRUE(rig.HostBytes().empty());
}

// The document's image: same hardware bytes as the radio, its own bytes elsewhere.
RadioImage DocumentImageFor(const RadioImage& radio) {
    RadioImage doc = PatternImage(40);
    std::copy(radio.begin() + kHardwareCheckFirst, radio.begin() + kHardwareCheckLast + 1,
              doc.begin() + kHardwareCheckFirst);
    StoreImageChecksum(doc);
    return doc;
}

struct DownloadCase {
    const char* name;
    std::function<void(Faults&)> faults;
    JobStatus status;
    std::vector<int> messages;
    int retries;
    bool written; // the radio holds the merged image afterwards
};

TEST(DownloadImage, AnswersEveryWriteOutcome) {
    const std::vector<DownloadCase> cases = {
        {"clean", [](Faults&) {}, JobStatus::Completed, {89}, 0, true},
        {"NAK", [](Faults& f) { f.writeAnswer = kNak; }, JobStatus::Failed, {101}, 0, false},
        {"some other answer", [](Faults& f) { f.writeAnswer = 'x'; }, JobStatus::Failed, {101}, 0, false},
        {"no answer once", [](Faults& f) { f.unansweredWrites = 1; }, JobStatus::Completed, {89}, 1, true},
        {"line error on the 30th read of the answer",
         [](Faults& f) {
             f.lineErrorAsWriteAnswer = true;
             f.writeAnswerDelayMs = 29 * 505 + 1;
         },
         JobStatus::Failed,
         {101},
         0,
         false},
        {"line error on the 29th read, then silence",
         [](Faults& f) {
             f.lineErrorAsWriteAnswer = true;
             f.writeAnswerDelayMs = 28 * 505 + 1;
         },
         JobStatus::Completed,
         {89},
         1,
         true},
        // Host bytes: 'p' 0, ACK 1, '`' 2, '!' 3, 0x01 4 and 5, image 6-259, FrameSum 260.
        {"echo of '`' lost", [](Faults& f) { f.dropEchoOfHostByte = 2; }, JobStatus::Failed, {81}, 0, false},
        {"echo of '!' lost", [](Faults& f) { f.dropEchoOfHostByte = 3; }, JobStatus::Failed, {96}, 0, false},
        {"echo of a header byte lost",
         [](Faults& f) { f.dropEchoOfHostByte = 5; },
         JobStatus::Failed,
         {96},
         0,
         false},
        {"echo of an image byte lost",
         [](Faults& f) { f.dropEchoOfHostByte = 100; },
         JobStatus::Failed,
         {96},
         0,
         false},
        // The ACK then stands in for the echo; the answer wait runs out and the write is repeated.
        {"echo of the FrameSum lost",
         [](Faults& f) { f.dropEchoOfHostByte = 260; },
         JobStatus::Completed,
         {89},
         1,
         true},
    };
    for (const DownloadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const RadioImage radioImage = PatternImage(9);
        Rig rig(radioImage);
        rig.SetFaults(c.faults);
        const RadioImage doc = DocumentImageFor(radioImage);
        DownloadJobResult r = RunDownloadJob(rig.port, rig.Env(), doc, {});
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(rig.prompter.Ids(), c.messages);
        EXPECT_EQ(rig.progress.Count(kStrRetry), c.retries);
        EXPECT_EQ(rig.progress.range, 517);
        EXPECT_EQ(rig.progress.title, kStrDownloadTitle);
        ASSERT_TRUE(r.image.has_value()); // merged before the write began
        EXPECT_EQ(rig.RadioSide() == *r.image, c.written);
        // A repeated write does not count its missing answer.
        if (c.status == JobStatus::Completed) {
            EXPECT_EQ(rig.progress.position, 517 + 258 * c.retries);
        }
    }
}

TEST(DownloadImage, WritesExactlyTheMergedImage) {
    RadioImage radioImage = PatternImage(11);
    RadioImage doc = DocumentImageFor(radioImage);
    Rig rig(radioImage);
    DownloadJobResult r = RunDownloadJob(rig.port, rig.Env(), doc, {});
    ASSERT_EQ(r.status, JobStatus::Completed);
    const std::vector<std::uint8_t> sent = rig.HostBytes();
    ASSERT_EQ(sent.size(), 2u + 1 + 258);
    EXPECT_EQ(std::vector<std::uint8_t>(sent.begin(), sent.begin() + 6), Bytes({'p', kAck, '`', '!', 1, 1}));
    RadioImage written;
    std::copy(sent.begin() + 6, sent.begin() + 260, written.begin());
    EXPECT_EQ(written, *r.image);
    EXPECT_EQ(sent.back(), FrameSum('!', 1, 1, written));
    EXPECT_EQ(ReadImageChecksum(written), ComputeImageChecksum(written));
}

TEST(DownloadImage, MergesTheRadiosOwnBytes) {
    struct Case {
        const char* name;
        std::uint8_t radioE8;
        bool serviceMode;
        bool marketingChanged;
        bool radioBytesTaken;
        bool marketingTaken;
        bool clearMark;
    };
    const Case cases[] = {
        {"ordinary radio", 0x12, false, false, true, true, false},
        {"radio bytes unset (0xFF)", 0xFF, false, false, false, true, false},
        {"radio bytes unset (0x00)", 0x00, false, false, false, true, false},
        {"edited marketing outside service mode", 0x12, false, true, true, true, false},
        {"service mode without marketing edit", 0x12, true, false, true, true, false},
        {"service mode with marketing edit", 0x12, true, true, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RadioImage radioImage = PatternImage(21);
        radioImage[kRadioBytesFirst] = c.radioE8;
        RadioImage doc = DocumentImageFor(radioImage);
        Rig rig(radioImage);
        int normalized = 0;
        DownloadOptions options{c.serviceMode, c.marketingChanged, [&](RadioImage&) { ++normalized; }};
        DownloadJobResult r = RunDownloadJob(rig.port, rig.Env(), doc, options);
        ASSERT_EQ(r.status, JobStatus::Completed);
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
    }
}

TEST(DownloadImage, EditedMarketingMarkSurvivesAFailedWrite) {
    RadioImage radioImage = PatternImage(2);
    Rig rig(radioImage);
    rig.SetFaults([](Faults& f) { f.writeAnswer = kNak; });
    DownloadJobResult r = RunDownloadJob(rig.port, rig.Env(), DocumentImageFor(radioImage), {true, true, {}});
    EXPECT_EQ(r.status, JobStatus::Failed);
    EXPECT_FALSE(r.clearMarketingMark);
}

TEST(DownloadImage, HardwareMismatchStopsBeforeWriting) {
    struct Case {
        const char* name;
        bool serviceMode;
        Answer answer;
        JobStatus status;
        std::vector<int> messages;
        Buttons buttons;
    };
    const Case cases[] = {
        {"normal mode", false, Answer::Ok, JobStatus::Failed, {87}, Buttons::Ok},
        {"service mode, OK", true, Answer::Ok, JobStatus::Completed, {87, 89}, Buttons::OkCancel},
        {"service mode, Cancel", true, Answer::Cancel, JobStatus::Failed, {87}, Buttons::OkCancel},
    };
    for (std::size_t at = kHardwareCheckFirst; at <= kHardwareCheckLast;
         at += kHardwareCheckLast - kHardwareCheckFirst) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " at byte " + std::to_string(at));
            RadioImage radioImage = PatternImage(7);
            RadioImage doc = DocumentImageFor(radioImage);
            doc[at] ^= 0x01;
            Rig rig(radioImage);
            rig.prompter.SetAnswer(kStrHardwareMismatch, c.answer);
            DownloadJobResult r = RunDownloadJob(rig.port, rig.Env(), doc, {c.serviceMode, false, {}});
            EXPECT_EQ(r.status, c.status);
            EXPECT_EQ(rig.prompter.Ids(), c.messages);
            EXPECT_EQ(rig.prompter.All()[0].buttons, c.buttons);
            const std::vector<std::uint8_t> sent = rig.HostBytes();
            const bool wrote = std::count(sent.begin(), sent.end(), '`') > 0;
            EXPECT_EQ(wrote, c.status == JobStatus::Completed);
            EXPECT_EQ(r.image.has_value(), c.status == JobStatus::Completed);
            if (r.image) {
                EXPECT_EQ((*r.image)[at], doc[at]);
            } // the document's hardware goes out
        }
    }
}

TEST(TransferJobs, CancelEndsEveryPhaseQuietly) {
    struct Case {
        const char* name;
        Start start;
        std::function<void(Faults&)> faults;
        int cancelAtRead;
        bool merged;
    };
    // Reads of a clean download: echo of 'p' 0, frame 1-258, echo of ACK 259, echo of '`' 260,
    // echoes of the frame 261-518, answer 519.
    const Case cases[] = {
        {"no cable, waiting for 'P'", Start::Immediate, [](Faults& f) { f.noEcho = f.silent = true; }, 40,
         false},
        {"radio off, waiting for 'P'", Start::PowerOnPrompt, [](Faults& f) { f.silent = true; }, 7, false},
        {"'P' then silence", Start::PowerOnPrompt, [](Faults& f) { f.silentAfterPrompt = true; }, 30, false},
        {"during the frame", Start::Immediate, [](Faults&) {}, 100, false},
        {"before the FrameSum", Start::Immediate, [](Faults&) {}, 258, false},
        {"during the write", Start::Immediate, [](Faults&) {}, 300, true},
        {"waiting for the answer", Start::Immediate, [](Faults& f) { f.unansweredWrites = 100; }, 2000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RadioImage radioImage = PatternImage(4);
        Rig rig(radioImage, c.start);
        rig.SetFaults(c.faults);
        std::size_t sentAtCancel = 0;
        rig.port.SetReadHook([&](int read) {
            if (read == c.cancelAtRead) {
                rig.cancel.Request();
                sentAtCancel = rig.HostBytes().size();
            }
        });
        DownloadJobResult r = RunDownloadJob(rig.port, rig.Env(), DocumentImageFor(radioImage), {});
        EXPECT_EQ(r.status, JobStatus::Cancelled);
        EXPECT_TRUE(rig.prompter.Ids().empty());
        EXPECT_EQ(r.image.has_value(), c.merged);
        // Nothing more is sent once the request is seen (at most the byte whose echo was awaited).
        EXPECT_LE(rig.HostBytes().size(), sentAtCancel + 1);
    }
}

TEST(TransferJobs, SilentRadioIsWaitedForUntilCancelled) {
    Rig rig(PatternImage(4));
    rig.SetFaults([](Faults& f) { f.silent = true; });
    rig.port.SetReadHook([&](int read) {
        if (read == 5000) rig.cancel.Request();
    });
    EXPECT_EQ(RunUploadJob(rig.port, rig.Env(), RadioImage{}, false).status, JobStatus::Cancelled);
    EXPECT_TRUE(rig.prompter.Ids().empty());
    EXPECT_GT(rig.port.Elapsed(), std::chrono::minutes(30)); // 5000 reads of 505 ms each, in virtual time
    EXPECT_EQ(rig.HostBytes(), Bytes({'p'}));                // one request, then the wait for 'P'
}

TEST(TransferJobs, GiveUpTimeEndsAWaitWithTheLeadMessage) {
    // The give-up time runs on the real clock, so the radio answers nothing and each read returns at once.
    Rig rig(PatternImage(4));
    rig.SetFaults([](Faults& f) { f.silent = true; });
    JobEnvironment env = rig.Env();
    env.giveUpAfter = std::chrono::milliseconds(1);
    rig.port.SetReadHook([&](int read) {
        if (read == 1000000) rig.cancel.Request(); // a safety net: the test must not hang
    });
    EXPECT_EQ(RunUploadJob(rig.port, env, RadioImage{}, false).status, JobStatus::Failed);
    EXPECT_EQ(rig.prompter.Ids(), std::vector<int>{81});
}

TEST(TransferJobs, LostLineEndsWithTheLeadMessage) {
    struct Case {
        const char* name;
        int hangUpAtHostByte;
        bool download;
    };
    const Case cases[] = {
        {"before the upload", 0, false},
        {"inside the write", 150, true},
        {"on the FrameSum of the write", 260, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RadioImage radioImage = PatternImage(4);
        Rig rig(radioImage);
        rig.SetFaults([&](Faults& f) { f.hangUpAtHostByte = c.hangUpAtHostByte; });
        JobStatus status = c.download
                               ? RunDownloadJob(rig.port, rig.Env(), DocumentImageFor(radioImage), {}).status
                               : RunUploadJob(rig.port, rig.Env(), RadioImage{}, false).status;
        EXPECT_EQ(status, JobStatus::Failed);
        EXPECT_EQ(rig.prompter.Ids(), std::vector<int>{81});
    }
}

TEST(SimulatedRadio, KeepsWhatItWasSentAcrossPorts) {
    auto radio = std::make_shared<SimulatedRadio>(PatternImage(8));
    CancelToken cancel;
    RecordingProgress progress;
    RecordingPrompter prompter;
    JobEnvironment env{cancel, progress, prompter};
    RadioImage doc = DocumentImageFor(PatternImage(8));
    DownloadJobResult written;
    {
        SimulatedSerialPort port(radio, SimulatedSerialPort::Clock::Virtual, true);
        written = RunDownloadJob(port, env, doc, {});
        ASSERT_EQ(written.status, JobStatus::Completed);
        // Paced: every character takes 11 bit times, and the write waits for each echo.
        EXPECT_GE(port.Elapsed(), kCharTime * (258 + 1 + 2 + 258 + 1));
    }
    SimulatedSerialPort again(radio, SimulatedSerialPort::Clock::Virtual, false);
    UploadJobResult read = RunUploadJob(again, env, RadioImage{}, false);
    ASSERT_EQ(read.status, JobStatus::Completed);
    EXPECT_EQ(*read.image, *written.image);
}

} // namespace
} // namespace rt62
