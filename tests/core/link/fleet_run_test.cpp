// The fleet run over the simulated fleet: codes, merged bytes, read-back, skips, the log and resuming.
#include <gtest/gtest.h>

#include <ctime>
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
    using Args = std::vector<std::string>;
    const struct {
        AniCodeSource source;
        int count;
        std::vector<FleetLogLine> log;
        std::vector<std::string> codes; // empty: refused with `refusal` and its arguments
        int refusal;
        Args args;
    } cases[] = {
        {{"A0098", {}}, 3, {}, {"A0098", "A0099", "A0100"}, 0, {}},
        {{"1001", {}}, 2, {Logged("s1", "1001"), Logged("s2", "1002"), Logged("s3", "1003", FleetResult::NoAnswer)},
         {"1003", "1004"}, 0, {}},
        // A code of another width, or below the start, does not move it.
        {{"1001", {}}, 1, {Logged("s1", "20011"), Logged("s2", "0999")}, {"1001"}, 0, {}},
        {{"98", {}}, 2, {}, {"98", "99"}, 0, {}},
        // Outgrowing names the code counted from: the start, or on a resumed run the last one used.
        {{"98", {}}, 3, {}, {}, kStrAniOutgrows, {"98", "3", "2"}},
        {{"99", {}}, 1, {Logged("s1", "99")}, {}, kStrAniOutgrows, {"99", "1", "2"}},
        {{"97", {}}, 3, {Logged("s1", "98"), Logged("s2", "97")}, {}, kStrAniOutgrows, {"98", "3", "2"}},
        {{"A10", {}}, 1, {Logged("s1", "A99")}, {}, kStrAniOutgrows, {"A99", "1", "3"}},
        {{"12#", {}}, 1, {}, {}, kStrAniCannotCount, {"12#"}},
        {{"12E", {}}, 1, {}, {}, kStrAniNotACode, {"12E"}},
        {{"", {"7", "3", "5"}}, 0, {Logged("s1", "3")}, {"5"}, 0, {}},
        {{"", {"7", "3", "5"}}, 2, {}, {"7", "3"}, 0, {}},
        // A list too short: the codes left, then the radios asked for (0: one).
        {{"", {"7", "3"}}, 3, {}, {}, kStrAniListShort, {"2", "3"}},
        {{"", {"7", "3", "5"}}, 3, {Logged("s1", "7")}, {}, kStrAniListShort, {"2", "3"}},
        {{"", {"7"}}, 0, {Logged("s1", "7")}, {}, kStrAniListShort, {"0", "1"}},
        // Edges: a list exactly as long as asked for, a code at the end of its width, a resumed log
        // written in another order than the codes count.
        {{"", {"7", "3"}}, 2, {}, {"7", "3"}, 0, {}},
        {{"", {"7", "3", "5", "9"}}, 0, {Logged("s1", "5"), Logged("s2", "7")}, {"9"}, 0, {}},
        {{"999999999999998", {}}, 2, {}, {"999999999999998", "999999999999999"}, 0, {}},
        {{"999999999999998", {}}, 3, {}, {}, kStrAniOutgrows, {"999999999999998", "3", "15"}},
        {{"A10", {}}, 2, {Logged("s1", "A12"), Logged("s2", "A10"), Logged("s3", "A11")}, {"A13", "A14"}, 0, {}},
        {{"A10", {}}, 1, {Logged("s1", "A12", FleetResult::VerifyFailed), Logged("s2", "A10")}, {"A11"}, 0, {}},
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
            EXPECT_EQ(prompter.args, std::vector<Args>{c.args}) << what;
        } else {
            EXPECT_EQ(codes, c.codes) << what;
            EXPECT_TRUE(prompter.ids.empty()) << what;
        }
    }
}

std::string Fields(const FleetLogLine& l) {
    return l.time + "|" + l.serial + "|" + l.aniCode + "|" + std::string(FleetResultWord(l.result)) + "|" + l.backupFile;
}

// Our own log read back, with what a person or a spreadsheet leaves in it.
TEST(FleetCodes, LogsReadBackAsWritten) {
    // The columns in the header's order, plain fields bare.
    const char* text = "2026-12-08T10:00:00,1F000001,A12,programmed,x.r62";
    const FleetLogLine one{"2026-12-08T10:00:00", "1F000001", "A12", FleetResult::Programmed, "x.r62"};
    EXPECT_EQ(FleetLogText(one), text);
    ASSERT_TRUE(ParseFleetLogLine(text));
    EXPECT_EQ(Fields(*ParseFleetLogLine(text)), Fields(one));

    // Every text field with each thing that must be quoted to stay one field (a quote alone, doubled, at
    // either end; a comma; line breaks), and what must not be: each written, then read back whole, alone
    // and in a file of them all; every result in turn, line ends of both kinds.
    const std::string awkward[] = {"a\"b", "\"", "\"\"", "\"x\"", "x\"", "a,b", ",", "a\nb", "a\r\nb",
                                   "b\r", "a\"\",b", " x ", "plain"};
    std::string FleetLogLine::*const textFields[] = {&FleetLogLine::time, &FleetLogLine::serial,
                                                     &FleetLogLine::aniCode, &FleetLogLine::backupFile};
    const FleetResult results[] = {FleetResult::Programmed, FleetResult::VerifyFailed,
                                   FleetResult::HardwareDiffers, FleetResult::NoAnswer, FleetResult::Cancelled};
    std::vector<FleetLogLine> written;
    for (auto field : textFields) {
        for (const std::string& value : awkward) {
            // (Appended, not "literal" + string: GCC 12 at -O3 warns falsely about the latter.)
            std::string serial = "1F00000", code = "A";
            serial += std::to_string(written.size() % 7);
            code += std::to_string(written.size() % 5);
            FleetLogLine line{"2026-12-08T10:00:01", serial, code, results[written.size() % 5], "/b/1.r62"};
            line.*field = value;
            const std::string out = FleetLogText(line);
            const bool quoted = value.find_first_of(",\"\r\n") != std::string::npos;
            EXPECT_EQ(out.find('"') != std::string::npos, quoted) << out;
            const auto back = ParseFleetLogLine(out);
            EXPECT_TRUE(back && Fields(*back) == Fields(line)) << out;
            written.push_back(line);
        }
    }

    test::ScratchFolder dir{"rt62-fleetlog-"};
    const std::string path = (dir.path / "log.csv").string();
    const std::string h = std::string(kFleetLogHeader) + "\n";
    std::string all = h;
    for (std::size_t i = 0; i < written.size(); ++i) all += FleetLogText(written[i]) + (i % 2 ? "\r\n" : "\n");
    const struct {
        std::string text; // "-": no file at all
        FleetLogStatus status;
        std::size_t lines;
        bool endsOpen;
    } cases[] = {
        {all, FleetLogStatus::Ok, written.size(), false},
        {h + "\n \n" + text + "\n\n", FleetLogStatus::Ok, 1, false}, // blank lines
        {h + text, FleetLogStatus::Ok, 1, true},
        {h, FleetLogStatus::Ok, 0, false},
        {"", FleetLogStatus::Missing, 0, false},
        {"-", FleetLogStatus::Missing, 0, false},
        {h + text + ",extra\n", FleetLogStatus::NotALog, 0, false},
        {h + "t,s,1,programmed\n", FleetLogStatus::NotALog, 0, false},
        {h + "t,s,1,finished,b\n", FleetLogStatus::NotALog, 0, false},
        {h + "t,\"s,1,programmed,b\n", FleetLogStatus::NotALog, 0, false},
        {"name,phone\n" + std::string(text) + "\n", FleetLogStatus::NotALog, 0, false},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(path);
        if (c.text != "-") std::ofstream(path, std::ios::binary) << c.text;
        FleetLog log;
        EXPECT_EQ(ReadFleetLog(path, log), c.status) << c.text;
        if (c.status != FleetLogStatus::Ok) continue;
        EXPECT_EQ(log.lines.size(), c.lines) << c.text;
        EXPECT_EQ(log.endsOpen, c.endsOpen) << c.text;
        if (c.text != all) continue;
        for (std::size_t i = 0; i < written.size(); ++i) EXPECT_EQ(Fields(log.lines.at(i)), Fields(written[i]));
        // Only a programmed line uses a code or names a radio as done, the last such line for a radio.
        for (const FleetLogLine& w : written) {
            bool used = false;
            std::string last;
            for (const FleetLogLine& l : written) {
                if (l.result != FleetResult::Programmed) continue;
                used = used || l.aniCode == w.aniCode;
                if (l.serial == w.serial) last = l.aniCode;
            }
            EXPECT_EQ(log.CodeUsed(w.aniCode), used) << w.aniCode;
            EXPECT_EQ(log.ProgrammedCode(w.serial), last) << w.serial;
        }
    }
}

// rt62m's line per radio: its fields in order, "-" for a serial or code a radio has none of, each result.
TEST(FleetCodes, RadioLineNamesEachFieldInItsPlace) {
    const struct {
        int number, total;
        const char *serial, *code;
        FleetResult result;
        const char* line;
    } rows[] = {
        {2, 5, "1F000002", "A7", FleetResult::Programmed, "Radio 2 of 5: serial 1F000002, ANI code A7: programmed"},
        {1, 3, "", "A7", FleetResult::NoAnswer, "Radio 1 of 3: serial -, ANI code A7: no answer"},
        {3, 4, "1F000003", "", FleetResult::HardwareDiffers,
         "Radio 3 of 4: serial 1F000003, ANI code -: hardware differs"},
        {4, 4, "", "", FleetResult::Cancelled, "Radio 4 of 4: serial -, ANI code -: cancelled"},
        {1, 2, "9", "1", FleetResult::VerifyFailed, "Radio 1 of 2: serial 9, ANI code 1: verify failed"},
        {12, 13, "1F000001", "A1", FleetResult::AlreadyProgrammed,
         "Radio 12 of 13: serial 1F000001, ANI code A1: already programmed"},
    };
    for (const auto& r : rows) {
        FleetRadio radio;
        radio.number = r.number;
        radio.total = r.total;
        radio.serial = r.serial;
        radio.aniCode = r.code;
        radio.result = r.result;
        EXPECT_EQ(FleetRadioLine(radio), r.line);
    }
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

// Local time as the log writes it; such stamps sort as the times do.
using TimeStamp = std::string;
TimeStamp Now() {
    const std::time_t t = std::time(nullptr);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", std::localtime(&t));
    return buf;
}

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

TEST_F(FleetRunTest, ProgramAgainGivesALoggedRadioANewCode) {
    std::ofstream(request_.logPath) << kFleetLogHeader << "\n" << FleetLogText(Logged("1F000001", "A0105")) << "\n";
    request_.count = 2;
    request_.programAgain = true;
    const TimeStamp before = Now();
    EXPECT_TRUE(Run().AllProgrammed());
    const TimeStamp after = Now();
    EXPECT_EQ(LogSummary(), (std::vector<std::string>{"1F000001 A0105 programmed", "1F000001 A0106 programmed",
                                                      "1F000002 A0107 programmed"}));
    EXPECT_EQ(ReadDtmfCode(RadioNow(0)), "A0106");
    // Each line's time is local time, in the order of its parts, taken while the run went on.
    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 4u);
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::string time = ParseFleetLogLine(lines[i])->time;
        EXPECT_TRUE(before <= time && time <= after) << before << " " << time << " " << after;
    }
}

// The hardware check covers its first and last byte, and not the radio's own bytes beside them.
TEST_F(FleetRunTest, HardwareCheckEdges) {
    request_.count = 1;
    for (std::size_t offset : {kHardwareCheckFirst - 1, kHardwareCheckFirst, kHardwareCheckLast, kRadioBytesFirst}) {
        fleet_ = std::make_shared<SimulatedFleet>();
        fs::remove(request_.logPath);
        observer_.done.clear();
        RadioImage image = SimulatedFleet::FactoryImage(0);
        image[offset] ^= 0x01;
        fleet_->Radio(0)->With([&](RadioEmulator& r) { r.SetImage(image); });
        Run();
        const bool checked = offset >= kHardwareCheckFirst && offset <= kHardwareCheckLast;
        ASSERT_FALSE(observer_.done.empty()) << offset;
        EXPECT_EQ(observer_.done.front().result, checked ? FleetResult::HardwareDiffers : FleetResult::Programmed)
            << offset;
    }
}

TEST_F(FleetRunTest, ALogThatCannotBeWrittenEndsTheRun) {
    // Once the first radio is logged, the log's name is taken by a folder.
    hook_ = [this](int) {
        if (observer_.done.size() == 1 && fs::is_regular_file(request_.logPath)) {
            fs::remove(request_.logPath);
            fs::create_directory(request_.logPath);
        }
    };
    const FleetSummary s = Run();
    EXPECT_TRUE(s.logFailed);
    EXPECT_FALSE(s.AllProgrammed());
    ASSERT_EQ(observer_.done.size(), 2u) << "no radio after the one that could not be logged";
    ASSERT_EQ(prompter_.ids.back(), kStrFleetLogLost);
    EXPECT_EQ(prompter_.args.back(),
              (std::vector<std::string>{request_.logPath, "1F000002", "A0100", "programmed"}));
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
