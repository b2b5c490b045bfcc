// rt62m upload and download from a terminal: the simulated radio, a silent line, Ctrl+C.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "image/model.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int code = -1;
    std::string err;
};

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class LinkCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("rt62link-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // Starts rt62m with input on its standard input; standard error goes to a file.
    pid_t Start(const std::vector<std::string>& args, const std::string& input = "") {
        int in[2];
        if (pipe(in) != 0) return -1;
        pid_t pid = fork();
        if (pid == 0) {
            dup2(in[0], 0);
            close(in[0]);
            close(in[1]);
            int err = open((dir / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int out = open((dir / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(err, 2);
            dup2(out, 1);
            std::vector<std::string> all{std::string(RT62_BIN_DIR) + "/rt62m"};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (std::string& a : all)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(in[0]);
        if (!input.empty()) [[maybe_unused]]
            ssize_t w = write(in[1], input.data(), input.size());
        close(in[1]);
        return pid;
    }

    // Waits for the child, killing it after the limit so a hang fails the test instead of stalling it.
    Outcome Finish(pid_t pid, std::chrono::seconds limit = std::chrono::seconds(20)) {
        Outcome o;
        int status = 0;
        const auto end = std::chrono::steady_clock::now() + limit;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > end) {
                ADD_FAILURE() << "rt62m did not finish";
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        o.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        o.err = Slurp(dir / "err");
        return o;
    }

    Outcome Run(const std::vector<std::string>& args, const std::string& input = "") {
        return Finish(Start(args, input));
    }

    fs::path dir;
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(LinkCliTest, UploadAndDownloadWithTheSimulatedRadio) {
    const fs::path file = dir / "radio.r62";
    Outcome up = Run({"upload", "--port", "sim:", "-o", file.string()});
    EXPECT_EQ(up.code, 0) << up.err;
    EXPECT_TRUE(Contains(up.err, "Upload Function\n"));
    EXPECT_TRUE(Contains(up.err, "Upload is completed\n"));
    const std::string bytes = Slurp(file);
    ASSERT_EQ(bytes.size(), 262u);
    const rt62::RadioImage factory = rt62::MakeFactoryImage(0).image;
    EXPECT_EQ(bytes.substr(0, 254), std::string(factory.begin(), factory.end()));
    EXPECT_EQ(bytes.substr(254), std::string(8, '\0')); // Default Split 0.0

    Outcome down = Run({"download", "--port=sim:", file.string()});
    EXPECT_EQ(down.code, 0) << down.err;
    EXPECT_TRUE(Contains(down.err, "Download Function\n"));
    EXPECT_TRUE(Contains(down.err, "Download is completed\n"));
    EXPECT_EQ(Slurp(file), bytes); // the data file is not touched
}

TEST_F(LinkCliTest, HardwareMismatchAndServiceMode) {
    const fs::path uhf = dir / "uhf.r62";
    ASSERT_EQ(Run({"new", "--band", "2", "-o", uhf.string()}).code, 0);
    struct Case {
        const char* name;
        std::vector<std::string> extra;
        std::string input;
        int code;
        bool completed;
    };
    const Case cases[] = {
        {"normal mode stops", {}, "", 1, false},
        {"service mode, question not confirmed", {"--service-mode"}, "melto-varis\n", 1, false},
        {"service mode, confirmed; typed in capitals", {"--service-mode", "--yes"}, "MELTO-VARIS\n", 0, true},
        {"wrong password is normal mode", {"--service-mode", "--yes"}, "melto-vari\n", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args{"download", "--port", "sim:", uhf.string()};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        Outcome o = Run(args, c.input);
        EXPECT_EQ(o.code, c.code) << o.err;
        EXPECT_TRUE(Contains(o.err, "Hardware configuration mismatched!"));
        EXPECT_EQ(Contains(o.err, "Download is completed"), c.completed);
    }
}

TEST_F(LinkCliTest, UsageErrors) {
    const std::vector<std::vector<std::string>> cases = {
        {"upload", "-o", "x.r62"},
        {"upload", "--port", "sim:"},
        {"upload", "--port", "COM17", "-o", "x.r62"},
        {"upload", "--port", "ttyS0", "-o", "x.r62"},
        {"upload", "--port", "sim:", "-o", "x.r62", "--timeout", "0"},
        {"upload", "--port", "sim:", "-o", "x.r62", "--speed", "9600"},
        {"download", "--port", "sim:"},
        {"download", "--port", "sim:", "a.r62", "b.r62"},
    };
    for (const auto& args : cases) {
        Outcome o = Run(args);
        EXPECT_EQ(o.code, 2) << args[1] << " " << args.back();
    }
    EXPECT_FALSE(fs::exists("x.r62"));
}

// A pseudo-terminal nobody answers on: a lead without a radio (and without the cable's echo).
struct SilentLine {
    SilentLine() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) path = ptsname(master);
    }
    ~SilentLine() {
        if (master >= 0) close(master);
    }
    // True once the program has sent its first byte.
    bool WaitForRequest(std::chrono::milliseconds limit) {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(limit.count())) <= 0) return false;
        char c;
        return read(master, &c, 1) == 1;
    }
    int master = -1;
    std::string path;
};

TEST_F(LinkCliTest, TimeoutNamesThePortAndWritesNoFile) {
    SilentLine line;
    ASSERT_FALSE(line.path.empty());
    const fs::path file = dir / "never.r62";
    Outcome o = Run({"upload", "--port", line.path, "-o", file.string(), "--timeout", "1"});
    EXPECT_EQ(o.code, 1);
    EXPECT_TRUE(Contains(o.err, "Check that lead is connected to COM " + line.path + "\n")) << o.err;
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(file.string() + ".part"));
}

TEST_F(LinkCliTest, InterruptCancelsWithoutAMessage) {
    SilentLine line;
    ASSERT_FALSE(line.path.empty());
    const fs::path file = dir / "never.r62";
    pid_t pid = Start({"upload", "--port", line.path, "-o", file.string()});
    EXPECT_TRUE(line.WaitForRequest(std::chrono::seconds(10)));
    kill(pid, SIGINT);
    Outcome o = Finish(pid);
    EXPECT_EQ(o.code, 130);
    // Only the caption and perhaps the first status: the request may be seen before that is shown.
    std::string err = o.err;
    const std::string status = "Switch radio OFF, then back ON to start uploading\n";
    if (err.size() > status.size() && err.compare(err.size() - status.size(), status.size(), status) == 0)
        err.erase(err.size() - status.size());
    EXPECT_EQ(err, "Upload Function\n");
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(file.string() + ".part"));
}

} // namespace

#endif
