// rt62m fleet over the simulated fleet: exit codes, the radio lines and the log, and Ctrl+C.
#ifndef _WIN32

#include <sstream>

#include "tests/cli/cli_test_support.h"

namespace {

using namespace rt62::test;

std::vector<std::string> Lines(const fs::path& p) {
    std::ifstream in(p);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

// The result column of each log line after the header, with its code: "1001 programmed".
std::vector<std::string> Results(const fs::path& log) {
    std::vector<std::string> out;
    const auto lines = Lines(log);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::istringstream in(lines[i]);
        std::string f[4];
        for (std::string& field : f)
            std::getline(in, field, ',');
        out.push_back(f[1] + " " + f[2] + " " + f[3]);
    }
    return out;
}

class FleetCliTest : public Rt62mTest {
  protected:
    void SetUp() override {
        Rt62mTest::SetUp();
        fs::copy_file(std::string(RT62_BIN_DIR) + "/RT62Mvhf1.r62", dir / "T.r62");
    }
    pid_t StartFleet(std::vector<std::string> args) {
        args.insert(args.begin(), {"fleet", "--port", "sim:fleet", (dir / "T.r62").string(), "--backup-dir",
                                   (dir / "backups").string()});
        return Start(args);
    }
    int FinishFleet(pid_t pid) { return Finish(pid, std::chrono::seconds(60)).code; }
};

TEST_F(FleetCliTest, ExitCodesAndLog) {
    std::ofstream(dir / "codes.txt") << "7A\n\n7B\n";
    const struct {
        std::vector<std::string> args;
        int exit;
        std::vector<std::string> results; // empty: no log is made
    } cases[] = {
        {{"--ani-start", "1001", "--count", "4"},
         1,
         {"1F000001 1001 programmed", "1F000002 1002 programmed", "1F000003  hardware differs",
          "1F000004 1003 programmed"}},
        {{"--ani-start", "0998", "--count", "2"}, 0, {"1F000001 0998 programmed", "1F000002 0999 programmed"}},
        {{"--ani-list", (dir / "codes.txt").string()}, 0, {"1F000001 7A programmed", "1F000002 7B programmed"}},
        {{"--ani-start", "9999", "--count", "2"}, 1, {}},
        {{"--ani-start", "1001"}, 2, {}},
        {{"--count", "2"}, 2, {}},
        {{"--ani-start", "1001", "--count", "0"}, 2, {}},
        {{"--ani-list", (dir / "codes.txt").string(), "--count", "1"}, 0, {"1F000001 7A programmed"}},
    };
    int n = 0;
    for (const auto& c : cases) {
        const fs::path log = dir / ("log" + std::to_string(n++) + ".csv");
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--log", log.string(), "-q"});
        SCOPED_TRACE(args.front() + " " + args[1]);
        EXPECT_EQ(FinishFleet(StartFleet(args)), c.exit) << Slurp(dir / "err");
        EXPECT_EQ(fs::exists(log), !c.results.empty());
        if (c.results.empty()) continue;
        const std::vector<std::string> lines = Lines(log);
        ASSERT_FALSE(lines.empty()) << "an empty log";
        EXPECT_EQ(lines.front(), "time,serial_number,ani_code,result,backup_file");
        EXPECT_EQ(Results(log), c.results);
        EXPECT_EQ(Lines(dir / "out").size(), c.results.size() + 1) << "one line per radio and the summary";
        if (n == 1) { // the first case, line by line
            EXPECT_EQ(Lines(dir / "out"),
                      (std::vector<std::string>{"Radio 1 of 4: serial 1F000001, ANI code 1001: programmed",
                                                "Radio 2 of 4: serial 1F000002, ANI code 1002: programmed",
                                                "Radio 3 of 4: serial 1F000003, ANI code -: hardware differs",
                                                "Radio 4 of 4: serial 1F000004, ANI code 1003: programmed",
                                                "3 of 4 radios programmed."}));
        }
    }
}

// A second run on the same log: a radio it shows as programmed is left alone and one more is asked
// for, unless --again says to program it with a new code.
TEST_F(FleetCliTest, ResumedLogAndAgain) {
    const fs::path log = dir / "fleet.csv";
    ASSERT_EQ(FinishFleet(StartFleet({"--ani-start", "1001", "--count", "1", "--log", log.string(), "-q"})), 0);
    ASSERT_EQ(FinishFleet(StartFleet({"--ani-start", "1001", "--count", "1", "--log", log.string()})), 0);
    EXPECT_EQ(Lines(dir / "out").front(), "Radio 1 of 1: serial 1F000001, ANI code 1001: already programmed");
    EXPECT_NE(Slurp(dir / "err").find("Radio 2 of 2: connect it"), std::string::npos) << "the prompts without -q";
    ASSERT_EQ(FinishFleet(StartFleet({"--ani-start", "1001", "--count", "1", "--log", log.string(), "--again", "-q"})),
              0);
    EXPECT_EQ(Slurp(dir / "err"), "") << "-q keeps the prompts back";
    EXPECT_EQ(Results(log), (std::vector<std::string>{"1F000001 1001 programmed", "1F000002 1002 programmed",
                                                      "1F000001 1003 programmed"}));
}

TEST_F(FleetCliTest, InterruptLogsTheRadioInHand) {
    const fs::path log = dir / "fleet.csv";
    const pid_t pid = StartFleet({"--ani-start", "1001", "--count", "4", "--log", log.string(), "-q"});
    // The second radio's backup is written as soon as it has been read: it is in hand from then on.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    auto backups = [&] {
        std::error_code ec;
        auto it = fs::directory_iterator(dir / "backups", ec);
        return ec ? 0 : std::distance(it, fs::directory_iterator());
    };
    while (backups() < 2 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill(pid, SIGINT);
    EXPECT_EQ(FinishFleet(pid), 130);
    const std::vector<std::string> results = Results(log);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0], "1F000001 1001 programmed");
    // Its code is named when the write had begun.
    EXPECT_TRUE(results[1] == "1F000002 1002 cancelled" || results[1] == "1F000002  cancelled") << results[1];
}

} // namespace

#endif
