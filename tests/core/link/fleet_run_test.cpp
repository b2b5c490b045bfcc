// The fleet run over the simulated fleet: codes, merged bytes, read-back, skips, the log and resuming.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/image/fields.h"
#include "core/link/fleet_run.h"
#include "core/link/sim_port.h"
#include "tests/core/link/link_test_support.h"
#include "tests/support/scratch_dir.h"

namespace rt62 {
namespace {

namespace fs = std::filesystem;
using test::RecordingPrompter;
using test::RecordingProgress;

TEST(FleetCodes, CountUpAndParse) {
    const struct {
        const char* code;
        std::optional<std::string> next;
    } counts[] = {{"1001", "1002"}, {"A0099", "A0100"}, {"*0", "*1"}, {"0999", "1000"},
                  {"999", std::nullopt}, {"12#", std::nullopt}, {"#9", std::nullopt}};
    for (const auto& c : counts)
        EXPECT_EQ(NextAniCode(c.code), c.next) << c.code;

    const struct {
        const char* text;
        std::optional<std::string> code;
    } parses[] = {{" 12ab\t", "12AB"}, {"*#0", "*#0"}, {"123456789012345", "123456789012345"},
                  {"1234567890123456", std::nullopt}, {"12E", std::nullopt}, {"", std::nullopt},
                  {"1 2", std::nullopt}};
    for (const auto& p : parses)
        EXPECT_EQ(ParseAniCode(p.text), p.code) << p.text;
}

FleetLogLine Logged(const std::string& serial, const std::string& code, FleetResult r = FleetResult::Programmed) {
    return {"2026-01-01T00:00:00", serial, code, r, ""};
}

TEST(FleetCodes, PlanGoesOnAfterTheLogAndRefusesOverflow) {
    const struct {
        AniCodeSource source;
        int count;
        std::vector<FleetLogLine> log;
        std::vector<std::string> codes; // empty: refused with `refusal`
        int refusal;
    } cases[] = {
        {{"A0098", {}}, 3, {}, {"A0098", "A0099", "A0100"}, 0},
        {{"1001", {}}, 2, {Logged("s1", "1001"), Logged("s2", "1002"), Logged("s3", "1003", FleetResult::NoAnswer)},
         {"1003", "1004"}, 0},
        // A code of another width, or below the start, does not move it.
        {{"1001", {}}, 1, {Logged("s1", "20011"), Logged("s2", "0999")}, {"1001"}, 0},
        {{"98", {}}, 2, {}, {"98", "99"}, 0},
        {{"98", {}}, 3, {}, {}, kStrAniOutgrows},
        {{"99", {}}, 1, {Logged("s1", "99")}, {}, kStrAniOutgrows},
        {{"12#", {}}, 1, {}, {}, kStrAniCannotCount},
        {{"12E", {}}, 1, {}, {}, kStrAniNotACode},
        {{"", {"7", "3", "5"}}, 0, {Logged("s1", "3")}, {"5"}, 0},
        {{"", {"7", "3", "5"}}, 2, {}, {"7", "3"}, 0},
        {{"", {"7", "3"}}, 3, {}, {}, kStrAniListShort},
        {{"", {"7"}}, 0, {Logged("s1", "7")}, {}, kStrAniListShort},
    };
    for (const auto& c : cases) {
        RecordingPrompter prompter;
        FleetLog log;
        log.lines = c.log;
        const auto codes = PlanAniCodes(c.source, c.count, log, prompter);
        const std::string what = c.source.start + "/" + std::to_string(c.count);
        if (c.codes.empty()) {
            EXPECT_FALSE(codes) << what;
            EXPECT_EQ(prompter.ids, std::vector<int>{c.refusal}) << what;
        } else {
            EXPECT_EQ(codes, c.codes) << what;
            EXPECT_TRUE(prompter.ids.empty()) << what;
        }
    }
}

TEST(FleetCodes, LogLinesRoundTripThroughCsv) {
    const FleetLogLine line{"2026-12-08T10:00:00", "1F000001", "A*#", FleetResult::VerifyFailed,
                            "/tmp/a,\"b\".r62"};
    const auto back = ParseFleetLogLine(FleetLogText(line));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->backupFile, line.backupFile);
    EXPECT_EQ(back->result, FleetResult::VerifyFailed);
    EXPECT_FALSE(ParseFleetLogLine("a,b,c,finished,d"));
    EXPECT_FALSE(ParseFleetLogLine("a,b,c,programmed"));
}

struct NullObserver : FleetObserver {
    void RadioStarting(int, int) override {}
    void Prompt(int id, const std::vector<std::string>& args) override {
        if (id == kStrFleetConnect) connects.push_back(args.at(0) + " of " + args.at(1));
    }
    void RadioDone(const FleetRadio& r) override { done.push_back(r); }
    std::vector<FleetRadio> done;
    std::vector<std::string> connects;
};

class FleetRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = test::MakeScratchDir("rt62-fleet-");
        // The template: the VHF radios' hardware, its own bytes everywhere else.
        request_.templateImage = test::DocumentFor(SimulatedFleet::FactoryImage(0));
        request_.codes.start = "A0099";
        request_.count = 4;
        request_.logPath = (dir_ / "fleet.csv").string();
        request_.backup = BackupSettings{true, (dir_ / "backups").string(), {}};
    }
    void TearDown() override { test::RemoveScratchDir(dir_); }

    FleetSummary Run() {
        SimulatedSerialPort port(fleet_, SimulatedSerialPort::Clock::Virtual, false);
        if (hook_) port.SetReadHook(hook_);
        return RunFleet(port, request_, control_, progress_, prompter_, observer_);
    }
    std::vector<std::string> LogLines() const {
        std::ifstream in(request_.logPath);
        std::vector<std::string> out;
        for (std::string l; std::getline(in, l);)
            out.push_back(l);
        return out;
    }
    // (serial, code, result) of every log line after the header.
    std::vector<std::string> LogSummary() const {
        std::vector<std::string> out;
        for (const std::string& l : LogLines()) {
            const auto line = ParseFleetLogLine(l);
            if (line)
                out.push_back(line->serial + " " + line->aniCode + " " + std::string(FleetResultWord(line->result)));
        }
        return out;
    }
    RadioImage RadioNow(int index) {
        return fleet_->Radio(index)->With([](RadioEmulator& r) { return r.Image(); });
    }

    fs::path dir_;
    std::shared_ptr<SimulatedFleet> fleet_ = std::make_shared<SimulatedFleet>();
    FleetRequest request_;
    FleetControl control_;
    RecordingProgress progress_;
    RecordingPrompter prompter_;
    NullObserver observer_;
    std::function<void(int)> hook_;
};

TEST_F(FleetRunTest, ProgramsEachRadioWithItsCodeAndSkipsTheUhfOne) {
    const RadioImage templateBefore = request_.templateImage;
    const FleetSummary s = Run();
    EXPECT_EQ(s.programmed, 3);
    EXPECT_EQ(s.notProgrammed, 1);
    EXPECT_FALSE(s.AllProgrammed());
    EXPECT_EQ(LogSummary(), (std::vector<std::string>{"1F000001 A0099 programmed", "1F000002 A0100 programmed",
                                                      "1F000003  hardware differs", "1F000004 A0101 programmed"}));
    const std::vector<std::string> lines = LogLines();
    ASSERT_FALSE(lines.empty()) << "an empty log";
    EXPECT_EQ(lines.front(), kFleetLogHeader);
    EXPECT_EQ(request_.templateImage, templateBefore);
    EXPECT_EQ(std::count(prompter_.ids.begin(), prompter_.ids.end(), kStrFleetHardware), 1);

    const char* codes[] = {"A0099", "A0100", nullptr, "A0101"};
    for (int i = 0; i < 4; ++i) {
        const RadioImage factory = SimulatedFleet::FactoryImage(i);
        const RadioImage now = RadioNow(i);
        if (!codes[i]) {
            EXPECT_EQ(now, factory) << "the skipped radio is not written";
            continue;
        }
        EXPECT_EQ(ReadDtmfCode(now), codes[i]);
        EXPECT_EQ(ReadSerialNumber(now), ReadSerialNumber(factory));
        // The channels are the template's; the radio-owned bytes stay the radio's.
        EXPECT_TRUE(std::equal(now.begin() + 0x1E, now.begin() + 0xBE, templateBefore.begin() + 0x1E));
        EXPECT_TRUE(std::equal(now.begin() + kRadioBytesFirst, now.begin() + kRadioBytesLast + 1,
                               factory.begin() + kRadioBytesFirst));
        EXPECT_TRUE(fs::exists(observer_.done[static_cast<std::size_t>(i)].backupFile));
    }
}

TEST_F(FleetRunTest, GoesOnAfterAnExistingLogAndLeavesProgrammedRadiosAlone) {
    {
        std::ofstream log(request_.logPath);
        log << kFleetLogHeader << "\n" << FleetLogText(Logged("1F000001", "A0105")); // no line end
    }
    request_.count = 2;
    const FleetSummary s = Run();
    EXPECT_EQ(s.programmed, 1);
    EXPECT_EQ(LogSummary(), (std::vector<std::string>{"1F000001 A0105 programmed", "1F000002 A0106 programmed",
                                                      "1F000003  hardware differs"}));
    ASSERT_FALSE(observer_.done.empty());
    EXPECT_EQ(observer_.done.front().result, FleetResult::AlreadyProgrammed);
    EXPECT_EQ(ReadDtmfCode(RadioNow(0)), ReadDtmfCode(SimulatedFleet::FactoryImage(0)));
    // Each radio connected has a number of its own; the one already programmed needs one radio more.
    EXPECT_EQ(observer_.connects, (std::vector<std::string>{"1 of 2", "2 of 3", "3 of 3"}));
    for (std::size_t i = 0; i < observer_.done.size(); ++i)
        EXPECT_EQ(std::to_string(observer_.done[i].number) + " of " + std::to_string(observer_.done[i].total),
                  observer_.connects.at(i));
}

TEST_F(FleetRunTest, RefusesBeforeAnyRadio) {
    const struct {
        const char* logText; // nullptr: no log file
        std::string start;
        int refusal;
    } cases[] = {{"name,phone\n", "1", kStrFleetNotALog}, {nullptr, "99", kStrAniOutgrows}};
    for (const auto& c : cases) {
        fs::remove(request_.logPath);
        if (c.logText) std::ofstream(request_.logPath) << c.logText;
        request_.codes.start = c.start;
        prompter_.ids.clear();
        EXPECT_FALSE(Run().started);
        EXPECT_EQ(prompter_.ids, std::vector<int>{c.refusal});
        EXPECT_EQ(fs::exists(request_.logPath), c.logText != nullptr) << "a refused run makes no log";
    }
    EXPECT_EQ(fleet_->CurrentIndex(), 0);
    EXPECT_EQ(RadioNow(0), SimulatedFleet::FactoryImage(0));
}

TEST_F(FleetRunTest, ARadioLostHalfWayKeepsItsCodeForTheNext) {
    // The second radio's cable goes dead in the middle of the write.
    fleet_->Radio(1)->With([](RadioEmulator& r) { r.MutableFaults().hangUpAtHostByte = 100; });
    const FleetSummary s = Run();
    EXPECT_EQ(LogSummary(), (std::vector<std::string>{"1F000001 A0099 programmed", "1F000002 A0100 no answer",
                                                      "1F000003  hardware differs", "1F000004 A0100 programmed"}));
    EXPECT_EQ(s.programmed, 2);
}

TEST_F(FleetRunTest, ReadBackThatDiffersFailsTheRadio) {
    // The first radio keeps a channel byte other than the one written.
    hook_ = [this](int) {
        fleet_->Radio(0)->With([](RadioEmulator& r) {
            if (r.WritesAccepted() != 1 || r.Image()[0x1E] == 0x5A) return;
            RadioImage image = r.Image();
            image[0x1E] = 0x5A;
            r.SetImage(image);
        });
    };
    request_.count = 2;
    Run();
    EXPECT_EQ(LogSummary(), (std::vector<std::string>{"1F000001 A0099 verify failed", "1F000002 A0099 programmed"}));
    ASSERT_FALSE(observer_.done.empty());
    EXPECT_FALSE(observer_.done.front().differences.empty());
}

TEST_F(FleetRunTest, CancelLogsTheRadioInHandAndStops) {
    hook_ = [this](int) {
        if (fleet_->Radio(1)->With([](RadioEmulator& r) { return r.WritesAccepted(); }) == 1)
            control_.Cancel().Request();
    };
    const FleetSummary s = Run();
    EXPECT_TRUE(s.cancelled);
    EXPECT_EQ(LogSummary(), (std::vector<std::string>{"1F000001 A0099 programmed", "1F000002 A0100 cancelled"}));
}

TEST_F(FleetRunTest, StopWhileWaitingForARadioEndsWithoutALine) {
    request_.count = 3;
    fleet_->Radio(1)->With([](RadioEmulator& r) { r.MutableFaults().silent = true; });
    hook_ = [this](int) {
        if (fleet_->CurrentIndex() == 1) control_.Stop();
    };
    const FleetSummary s = Run();
    EXPECT_FALSE(s.cancelled);
    EXPECT_EQ(LogSummary(), std::vector<std::string>{"1F000001 A0099 programmed"});
}

} // namespace
} // namespace rt62
