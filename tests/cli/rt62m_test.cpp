// rt62m run as a user runs it: exit codes, standard output, and the messages on standard error.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "image/strings.h"

namespace {

namespace fs = std::filesystem;

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// A message as the terminal shows it: the table text with its line breaks as plain LF.
std::string Message(int id, const std::vector<std::string>& args = {}) {
    std::string text = rt62::FormatString(id, args), out;
    for (char c : text)
        if (c != '\r') out += c;
    return out + "\n";
}

class Rt62mTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("rt62cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    Result Run(const std::vector<std::string>& args) const {
        std::string cmd = Quote(std::string(RT62_BIN_DIR) + "/rt62m");
        for (const std::string& a : args) cmd += " " + Quote(a);
        cmd += " > " + Quote((dir / "out").string()) + " 2> " + Quote((dir / "err").string()) + " < /dev/null";
        int status = std::system(cmd.c_str());
        Result r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = Slurp(dir / "out");
        r.err = Slurp(dir / "err");
        return r;
    }
    std::string P(const std::string& name) const { return (dir / name).string(); }
    fs::path dir;
};

TEST_F(Rt62mTest, FactoryImagesPrintTheirGoldenTexts) {
    const char* names[] = {"vhf1", "vhf2", "uhf1", "uhf2"};
    for (int code = 0; code < 4; ++code) {
        SCOPED_TRACE(names[code]);
        // The report prints the file's name, so the scratch file carries the default file's name.
        std::string file = P(std::string("RT62M") + names[code] + ".r62");
        Result made = Run({"new", "--band", std::to_string(code), "-o", file});
        ASSERT_EQ(made.code, 0) << made.err;
        EXPECT_EQ(made.out + made.err, "");
        EXPECT_EQ(fs::file_size(file), 262u);
        // The default file built beside the program is the same factory image.
        EXPECT_EQ(Slurp(file), Slurp(fs::path(RT62_BIN_DIR) / fs::path(file).filename()));

        for (const char* command : {"report", "channels", "dump"}) {
            SCOPED_TRACE(command);
            Result r = Run({command, file});
            EXPECT_EQ(r.code, 0);
            EXPECT_EQ(r.err, "");
            std::string golden = Slurp(fs::path(RT62_FIXTURES) / "cli" / (std::string(command) + "_" + names[code] + ".txt"));
            ASSERT_FALSE(golden.empty());
            EXPECT_EQ(r.out, golden);
        }
        Result info = Run({"info", file});
        EXPECT_EQ(info.code, 0);
        EXPECT_NE(info.out.find("Serial number:   0C010001\n"), std::string::npos) << info.out;
        EXPECT_NE(info.out.find(code < 2 ? "VHF (code " : "UHF (code "), std::string::npos);
        EXPECT_NE(info.out.find("(match)"), std::string::npos);
    }
}

TEST_F(Rt62mTest, UnreadableFilesFailWithTheOpenMessage) {
    std::ofstream(P("bare.r62"), std::ios::binary) << std::string(254, '\0');
    std::ofstream(P("empty.r62"), std::ios::binary);
    struct Case {
        std::string file;
        std::string message;
    } cases[] = {
        {P("missing.r62"), Message(32, {P("missing.r62")})},
        {P("bare.r62"), Message(37)},
        {P("empty.r62"), Message(37)},
        {dir.string(), Message(32, {dir.string()})},
    };
    for (const Case& c : cases)
        for (const char* command : {"report", "channels", "dump", "info"}) {
            SCOPED_TRACE(c.file + " " + command);
            Result r = Run({command, c.file});
            EXPECT_EQ(r.code, 1);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, c.message);
        }
}

TEST_F(Rt62mTest, CheckSumMismatchIsReportedButTheFileStillReads) {
    ASSERT_EQ(Run({"new", "--band", "1", "-o", P("f.r62")}).code, 0);
    {
        std::fstream f(P("f.r62"), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(0x40);
        f.put('\x7f');
    }
    Result r = Run({"info", P("f.r62")});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("MISMATCH"), std::string::npos) << r.out;
}

TEST_F(Rt62mTest, NewReportsAFolderItCannotWriteAndKeepsNothingHalfWritten) {
    std::string target = P("nofolder/x.r62");
    Result r = Run({"new", "--band", "0", "-o", target});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, Message(35, {target}));
    EXPECT_FALSE(fs::exists(P("nofolder")));
}

TEST_F(Rt62mTest, UsageErrorsExitWithTwo) {
    std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"report"},
        {"report", "a.r62", "b.r62"},
        {"channels", "--all"},
        {"dump", ""},
        {"new"},
        {"new", "--band", "4", "-o", "x.r62"},
        {"new", "--band", "-1", "-o", "x.r62"},
        {"new", "--band", "1"},
        {"new", "-o", "x.r62"},
        {"new", "--band"},
        {"new", "--band", "1", "-o", "x.r62", "extra"},
    };
    for (const auto& args : cases) {
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        SCOPED_TRACE(joined);
        Result r = Run(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_FALSE(fs::exists("x.r62"));

    Result help = Run({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* command : {"channels FILE", "report FILE", "dump FILE", "info FILE", "new --band N -o FILE"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
}

}  // namespace
