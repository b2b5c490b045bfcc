// rt62m run as a child process in a scratch folder of its own, for the command-line tests.
#pragma once
#ifndef _WIN32

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/scratch_dir.h"

namespace rt62::test {

namespace fs = std::filesystem;

struct Result {
    int code = -1;
    std::string out, err;
};

inline std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Rt62mTest : public ::testing::Test {
  protected:
    void SetUp() override { dir = MakeScratchDir("rt62cli-"); }
    void TearDown() override { RemoveScratchDir(dir); }
    std::string P(const std::string& name) const { return (dir / name).string(); }

    // Starts rt62m with input on its standard input (or the terminal stdinFd); its output goes to
    // files in the scratch folder.
    pid_t Start(const std::vector<std::string>& args, const std::string& input = "", int stdinFd = -1) {
        int in[2];
        if (pipe(in) != 0) return -1;
        pid_t pid = fork();
        if (pid == 0) {
            dup2(stdinFd >= 0 ? stdinFd : in[0], 0);
            close(in[0]);
            close(in[1]);
            dup2(open((dir / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
            dup2(open((dir / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
            // Backups of the radio's images go to the scratch folder, never to the user's own.
            setenv("XDG_DATA_HOME", (dir / "xdg-data").c_str(), 1);
            // English whatever the machine's language, unless the test asks for another.
            setenv("LANGUAGE", "en", 1);
            for (const auto& [name, value] : env)
                setenv(name.c_str(), value.c_str(), 1);
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

    // Waits for the child, killing it after a limit so a hang fails the test instead of stalling it.
    Result Finish(pid_t pid, std::chrono::seconds limit = std::chrono::seconds(20)) {
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
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir / "out"), Slurp(dir / "err")};
    }

    Result Run(const std::vector<std::string>& args, const std::string& input = "") {
        return Finish(Start(args, input));
    }

    fs::path dir;
    std::vector<std::pair<std::string, std::string>> env; // set in rt62m's environment
};

} // namespace rt62::test

#endif
