// rt62m run as a user runs it: exit codes, output, messages, and transfers against the simulated radio.
#ifndef _WIN32

#include <poll.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <termios.h>

#include <algorithm>
#include <atomic>

#include "tests/cli/cli_test_support.h"
#include "core/image/language.h"
#include "core/image/model.h"
#include "core/image/strings.h"

namespace {

using namespace rt62::test;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A message as the terminal shows it: the table text with its line breaks as plain LF.
std::string Message(int id, const std::vector<std::string>& args = {}) {
    std::string out;
    for (char c : rt62::FormatString(id, args))
        if (c != '\r') out += c;
    return out + "\n";
}

using CliTest = Rt62mTest;

TEST_F(CliTest, FactoryImagesPrintTheirGoldenTexts) {
    const char* names[] = {"vhf1", "vhf2", "uhf1", "uhf2"};
    for (int code = 0; code < 4; ++code) {
        SCOPED_TRACE(names[code]);
        // The report prints the file's name, so the scratch file carries the default file's name.
        const std::string file = P(std::string("RT62M") + names[code] + ".r62");
        Result made = Run({"new", "--band", std::to_string(code), "-o", file});
        ASSERT_EQ(made.code, 0) << made.err;
        EXPECT_EQ(made.out + made.err, "");
        // The default file built beside the program is the same factory image.
        EXPECT_EQ(Slurp(file), Slurp(fs::path(RT62_BIN_DIR) / fs::path(file).filename()));

        for (const char* command : {"report", "channels", "dump"}) {
            SCOPED_TRACE(command);
            Result r = Run({command, file});
            EXPECT_EQ(r.code, 0);
            EXPECT_EQ(r.err, "");
            const std::string golden =
                Slurp(fs::path(RT62_FIXTURES) / "cli" / (std::string(command) + "_" + names[code] + ".txt"));
            ASSERT_FALSE(golden.empty());
            EXPECT_EQ(r.out, golden);
        }
        Result info = Run({"info", file});
        EXPECT_EQ(info.code, 0);
        EXPECT_TRUE(Contains(info.out, "Serial number:   0C010001\n")) << info.out;
        EXPECT_TRUE(Contains(info.out, code < 2 ? "VHF (code " : "UHF (code "));
        EXPECT_TRUE(Contains(info.out, "(match)"));
    }

    // A changed byte makes the stored checksum disagree, and the file still reads.
    {
        std::fstream f(P("RT62Mvhf1.r62"), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(0x40);
        f.put('\x7f');
    }
    Result r = Run({"info", P("RT62Mvhf1.r62")});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(Contains(r.out, "MISMATCH")) << r.out;
}

TEST_F(CliTest, FileErrorsExitWithOneAndTheirMessage) {
    std::ofstream(P("bare.r62"), std::ios::binary) << std::string(254, '\0');
    const struct {
        std::string file, message;
    } cases[] = {
        {P("missing.r62"), Message(32, {P("missing.r62")})},
        {P("bare.r62"), Message(37)},
        {P("fifo"), Message(32, {P("fifo")})}, // no writer: reading it would block for ever
    };
    ASSERT_EQ(mkfifo(P("fifo").c_str(), 0644), 0);
    for (const auto& c : cases)
        for (const char* command : {"report", "channels", "dump", "info"}) {
            SCOPED_TRACE(c.file + " " + command);
            Result r = Run({command, c.file});
            EXPECT_EQ(r.code, 1);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, c.message);
        }
    // A download stops at a file it cannot read, before the radio is reached.
    for (const auto& c : cases) {
        Result r = Run({"download", "--port", "sim:", c.file});
        EXPECT_EQ(r.code, 1) << c.file;
        EXPECT_EQ(r.err, c.message);
    }

    // A folder that is not there: message 35, and nothing is left half-written.
    Result r = Run({"new", "--band", "0", "-o", P("nofolder/x.r62")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, Message(35, {P("nofolder/x.r62")}));
    EXPECT_FALSE(fs::exists(P("nofolder")));
}

// A small file system of its own, full but for what the test leaves in it; only root may mount one.
struct FullFileSystem {
    explicit FullFileSystem(const fs::path& where) : path(where) {
        fs::create_directories(path);
        mounted = geteuid() == 0 && mount("tmpfs", path.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~FullFileSystem() {
        if (mounted) umount(path.c_str());
    }
    // Takes every free block, so the next write of any size fails.
    void Fill() const {
        std::ofstream filler(path / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        for (int i = 0; i < 64 && filler.write(block.data(), block.size()); ++i) {
        }
    }
    fs::path path;
    bool mounted = false;
};

// The writer's own table covers every kind of target; here each refusal the commands report, and no
// Upload before it.
TEST_F(CliTest, WritersKeepTheOldFileOrRefuseTheTarget) {
    const std::string old = std::string(262, 'o');
    FullFileSystem full(dir / "full");
    enum Kind { Folder, ReadOnly, Full };
    for (const Kind kind : {Folder, ReadOnly, Full})
        for (const char* command : {"new", "upload"}) {
            SCOPED_TRACE(std::to_string(kind) + " " + command);
            if (kind == Full && !full.mounted) continue;
            std::string target = P(std::string(command) + "-" + std::to_string(kind));
            std::string message;
            if (kind == Folder) {
                fs::create_directory(target);
                message = Message(35, {target});
            } else if (kind == ReadOnly) {
                std::ofstream(target, std::ios::binary) << old;
                fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
                message = Message(49, {target});
            } else {
                target = (full.path / command).string();
                std::ofstream(target, std::ios::binary) << old;
                full.Fill();
                message = Message(33);
            }
            const std::vector<std::string> args =
                std::string(command) == "new"
                    ? std::vector<std::string>{"new", "--band", "0", "-o", target}
                    : std::vector<std::string>{"upload", "--port", "sim:", "-q", "-o", target};
            Result r = Run(args);
            EXPECT_EQ(r.code, 1) << r.err;
            EXPECT_EQ(r.err, message); // one message, and no "Upload is completed" before it
            if (kind == Folder)
                EXPECT_TRUE(fs::is_directory(target));
            else
                EXPECT_EQ(Slurp(target), old);
            if (kind == Full) {
                // no temporary beside the file, the filler and the backup
                EXPECT_EQ(std::distance(fs::directory_iterator(full.path), fs::directory_iterator()),
                          std::string(command) == "new" ? 2 : 3);
                fs::remove(full.path / "filler");
            }
        }
}

// Help and version on stdout with 0; usage errors on stderr with 2, naming the option where there is one.
TEST_F(CliTest, UsageErrorsAndHelp) {
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out, err; // parts of stdout and stderr
    } cases[] = {
        {{}, 2, "", ""},
        {{"frobnicate"}, 2, "", ""},
        {{"dump", ""}, 2, "", ""},
        {{"new", "--band", "4", "-o", "x.r62"}, 2, "", ""},
        {{"new", "--band", "1"}, 2, "", ""},
        {{"new", "--band", "1", "-o", "x.r62", "extra"}, 2, "", ""},
        {{"upload", "--port", "COM17", "-o", "x.r62"}, 2, "", ""},
        {{"download", "--port", "sim:", "a.r62", "b.r62"}, 2, "", ""},
        {{"--version"}, 0, "rt62m 1.00\n", ""},
        {{"--help"}, 0, "upload", ""},
        {{"new", "--help"}, 0, "-b,--band", ""},
        {{"help", "upload"}, 0, "-t,--timeout", ""},
        {{"upload", "-h"}, 0, "wait without limit", ""},
        {{"help", "frobnicate"}, 2, "", "unknown command 'frobnicate'"},
        {{"new", "--band=7", "-o", "x.r62"}, 2, "", "--band"},
        {{"new", "-o", "x.r62"}, 2, "", "--band is required"},
        {{"upload", "--port", "sim:", "-o", "x.r62", "--speed", "9600"}, 2, "", "unknown option '--speed'"},
        {{"upload", "--port=COM17", "-o", "x.r62"}, 2, "", "--port: 'COM17' is not a port"},
        {{"upload", "--port", "sim:", "-o", "x.r62", "--timeout", "0"}, 2, "", "--timeout"},
        {{"upload", "--port", "sim:", "-o", "x.r62", "--timeout", "soon"}, 2, "", "--timeout"},
        {{"report", "a.r62", "b.r62"}, 2, "", "unexpected argument 'b.r62'"},
        {{"info", "--", "-x"}, 1, "", "File Name = -x"}, // after "--" a dash is a file name
        {{"ports"}, 0, "sim:\t\t\tSimulated radio\t\n", ""},
        {{"help", "ports"}, 0, "/dev/serial/by-id", ""},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        SCOPED_TRACE(joined);
        Result r = Run(c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_TRUE(Contains(r.out, c.out)) << r.out;
        EXPECT_TRUE(Contains(r.err, c.err)) << r.err;
        EXPECT_EQ(c.code == 0 ? r.err : r.out, "");
        EXPECT_NE(c.code == 0 ? r.out : r.err, "");
    }
    EXPECT_FALSE(fs::exists("x.r62"));
}

// The messages follow the system's language or --lang; what scripts read and the exit codes do not.
TEST_F(CliTest, MessagesInTheUsersLanguage) {
    const struct {
        std::vector<std::pair<std::string, std::string>> env;
        std::vector<std::string> args;
        const char* language; // the messages' language; null for a usage error
        const char* part;     // a part of the message, in that language's own words
    } cases[] = {
        {{{"LANGUAGE", "de"}}, {"info", P("missing.r62")}, "de", "Fehler beim Öffnen der Datei"},
        {{{"LANGUAGE", ""}, {"LANG", "zh_CN.UTF-8"}}, {"info", P("missing.r62")}, "zh_CN", "打开文件出错"},
        {{{"LANGUAGE", ""}, {"LC_ALL", "fr_FR.UTF-8"}, {"LANG", "de_DE.UTF-8"}}, {"info", P("missing.r62")}, "fr",
         "Impossible d'ouvrir"},
        {{{"LANGUAGE", "de"}}, {"--lang", "pl", "info", P("missing.r62")}, "pl", "Nie można otworzyć pliku"},
        {{{"LANGUAGE", "de"}}, {"--lang=en", "info", P("missing.r62")}, "en", "Problem opening file"},
        {{}, {"--lang", "tlh", "info", P("missing.r62")}, nullptr, "unknown language 'tlh'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.part);
        env = c.env;
        Result r = Run(c.args);
        EXPECT_EQ(r.code, c.language ? 1 : 2);
        EXPECT_TRUE(Contains(r.err, c.part)) << r.err;
        if (!c.language) continue;
        rt62::SetLanguage(*rt62::FindLanguage(c.language));
        EXPECT_EQ(r.err, Message(32, {P("missing.r62")}));
        rt62::SetLanguage(rt62::EnglishLanguage());
    }
    // Columns that scripts read stay in English.
    env = {{"LANGUAGE", "de"}};
    EXPECT_TRUE(Contains(Run({"ports"}).out, "sim:\t\t\tSimulated radio\t\n"));
    ASSERT_EQ(Run({"new", "--band", "1", "-o", P("de.r62")}).code, 0);
    const std::string header = Run({"channels", "--header", P("de.r62")}).out;
    EXPECT_EQ(header.substr(0, header.find('\t', header.find("Receive"))), "Type\tW/N\tFrequency Receive");
}

TEST_F(CliTest, DashIsStandardInputAndOutput) {
    const std::string file = P("vhf.r62");
    ASSERT_EQ(Run({"new", "--band", "1", "-o", file}).code, 0);
    const std::string bytes = Slurp(file);
    Result toStdout = Run({"new", "--band", "1", "-o", "-"});
    EXPECT_EQ(toStdout.code, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, bytes);
    EXPECT_FALSE(fs::exists("-"));

    const struct {
        const char* name;
        std::string input;
        int code;
        std::string err;
    } cases[] = {
        {"a data file", bytes, 0, ""},
        {"short input", bytes.substr(0, 100), 1, Message(37)},
        {"longer input", bytes + "x", 1, Message(37)},
        {"nothing", "", 1, Message(37)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Result fromStdin = Run({"channels", "-"}, c.input);
        EXPECT_EQ(fromStdin.code, c.code);
        EXPECT_EQ(fromStdin.err, c.err);
        EXPECT_EQ(fromStdin.out, c.code == 0 ? Run({"channels", file}).out : "");
    }

    Result header = Run({"channels", "--header", file});
    EXPECT_EQ(
        header.out.substr(0, header.out.find('\n')),
        "Type\tW/N\tFrequency Receive\tFrequency Transmit\tSUB AUDIO Dec\tSUB AUDIO Enc\tPwr Save RX\t"
        "Pwr Save TX\tPwr H/L\tScan\tVTS\tTOT\tLock out\tSQ\tANI\tEncr\tPage\tPROX\t2-Tone P\t2-Tone S");
    EXPECT_EQ(header.out.substr(header.out.find('\n') + 1), Run({"channels", file}).out);

    Result up = Run({"upload", "--port", "sim:", "-o", "-", "--quiet"});
    EXPECT_EQ(up.code, 0) << up.err;
    const rt62::RadioImage factory = rt62::MakeFactoryImage(0).image;
    EXPECT_EQ(up.out, std::string(factory.begin(), factory.end()) + std::string(8, '\0')); // Default Split 0.0
    EXPECT_EQ(up.err, "Upload is completed\n"); // --quiet leaves only the messages
}

static std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        out.push_back(e.path());
    return out;
}

TEST_F(CliTest, ImagesReadFromTheRadioAreBackedUp) {
    const std::string file = P("radio.r62");
    const fs::path defaultFolder = dir / "xdg-data" / "RT62MWin" / "backups";
    const fs::path chosen = dir / "chosen";
    std::ofstream(P("not-a-folder")) << "x";
    struct Case {
        std::vector<std::string> args;
        int code;
        size_t inDefault, inChosen; // backups in each folder afterwards
        bool fileWritten;
    };
    const Case cases[] = {
        {{"upload", "-p", "sim:", "-o", file}, 0, 1, 0, true},
        {{"download", "-p", "sim:", file}, 0, 2, 0, true}, // the read before the write
        {{"upload", "-p", "sim:", "--backup-dir", chosen.string(), "-o", file}, 0, 2, 1, true},
        {{"verify", "-p", "sim:", "--backup-dir=" + chosen.string(), file}, 0, 2, 2, true},
        {{"upload", "-p", "sim:", "--no-backup", "-o", file}, 0, 2, 2, true},
        // A folder that cannot be made: the question is answered No, so nothing goes on without a backup.
        {{"upload", "-p", "sim:", "--backup-dir", P("not-a-folder"), "-o", P("other.r62")}, 1, 2, 2, false},
        {{"upload", "-p", "sim:", "--backup-dir", chosen.string(), "--no-backup", "-o", file}, 2, 2, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[3]);
        const Result r = Run(c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_EQ(FilesIn(defaultFolder).size(), c.inDefault);
        EXPECT_EQ(FilesIn(chosen).size(), c.inChosen);
        EXPECT_EQ(fs::exists(c.fileWritten ? file : P("other.r62")), c.fileWritten);
    }
    // A backup opens as the data file the upload wrote.
    const auto backups = FilesIn(chosen);
    ASSERT_FALSE(backups.empty());
    EXPECT_EQ(Slurp(backups.front()), Slurp(file));
}

TEST_F(CliTest, HardwareMismatchAndServiceMode) {
    const std::string uhf = P("uhf.r62");
    ASSERT_EQ(Run({"new", "--band", "2", "-o", uhf}).code, 0);
    const std::string bytes = Slurp(uhf);
    const struct {
        const char* name;
        std::vector<std::string> extra;
        std::string input;
        int code;
    } cases[] = {
        {"normal mode stops", {}, "", 1},
        {"service mode, question not confirmed", {"--service-mode"}, "melto-varis\n", 1},
        {"service mode, confirmed; typed in capitals", {"--service-mode", "--yes"}, "MELTO-VARIS\n", 0},
        {"wrong password is normal mode", {"--service-mode", "--yes"}, "melto-vari\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args{"download", "--port", "sim:", uhf};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        Result r = Run(args, c.input);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_TRUE(Contains(r.err, "Hardware configuration mismatched!"));
        EXPECT_TRUE(Contains(r.err, "Download Function\n"));
        EXPECT_EQ(Contains(r.err, "Download is completed\n"), c.code == 0);
        EXPECT_EQ(Slurp(uhf), bytes); // the data file is not touched
    }
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
    bool WaitForRequest() {
        pollfd p{master, POLLIN, 0};
        char c;
        return poll(&p, 1, 10000) > 0 && read(master, &c, 1) == 1;
    }
    int master = -1;
    std::string path;
};

TEST_F(CliTest, SilentLineTimesOutOrIsInterruptedWithoutAFile) {
    const std::string file = P("never.r62");
    // A line that babbles without ever sending a frame gives up alike: --timeout counts the time
    // without progress, not silence.
    for (const bool babbles : {false, true}) {
        SCOPED_TRACE(babbles ? "babbling" : "silent");
        SilentLine line;
        ASSERT_FALSE(line.path.empty());
        std::atomic<bool> stop{false};
        std::thread noise([&] {
            while (babbles && !stop) {
                [[maybe_unused]] ssize_t w = write(line.master, "x", 1);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        Result r = Run({"upload", "--port", line.path, "-o", file, "--timeout", "1"});
        stop = true;
        noise.join();
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(Contains(r.err, "Check that lead is connected to COM " + line.path + "\n")) << r.err;
    }
    EXPECT_FALSE(fs::exists(file));

    // Ctrl+C, SIGTERM and SIGHUP cancel without a message: only the caption and perhaps the first
    // status are shown, and the old file is as it was, with no temporary beside it.
    const std::string old = "old contents";
    std::ofstream(file, std::ios::binary) << old;
    for (const auto& [sig, code] : {std::pair{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}}) {
        SCOPED_TRACE(sig);
        SilentLine fresh; // an earlier run's request would still be waiting on the old line
        pid_t pid = Start({"upload", "--port", fresh.path, "-o", file});
        EXPECT_TRUE(fresh.WaitForRequest());
        kill(pid, sig);
        Result cancelled = Finish(pid);
        EXPECT_EQ(cancelled.code, code);
        const std::string caption = "Upload Function\n";
        EXPECT_TRUE(cancelled.err == caption ||
                    cancelled.err == caption + "Switch radio OFF, then back ON to start uploading\n")
            << cancelled.err;
        EXPECT_EQ(Slurp(file), old);
        std::vector<std::string> left;
        for (const auto& e : fs::directory_iterator(dir))
            left.push_back(e.path().filename().string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"err", "never.r62", "out"}));
    }
}

TEST_F(CliTest, InterruptAtThePasswordPromptGivesTheEchoBack) {
    const std::string file = P("vhf.r62");
    ASSERT_EQ(Run({"new", "--band", "0", "-o", file}).code, 0);
    SilentLine terminal; // the pseudo-terminal is the program's keyboard here
    ASSERT_FALSE(terminal.path.empty());
    const int slave = open(terminal.path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    pid_t pid = Start({"download", "--port", "sim:", file, "--service-mode"}, "", slave);
    for (int i = 0; i < 1000 && !Contains(Slurp(dir / "err"), "Password: "); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    termios during{};
    tcgetattr(slave, &during);
    EXPECT_EQ(during.c_lflag & ECHO, 0u); // the password is not shown while it is typed
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    termios after{};
    tcgetattr(slave, &after);
    EXPECT_NE(after.c_lflag & ECHO, 0u);
    close(slave);
}

#ifdef RT62_HAVE_YAML
TEST_F(CliTest, TextExportImportRoundTripAndImportErrorsWriteNothing) {
    const std::string a = P("a.r62");
    ASSERT_EQ(Run({"new", "--band", "1", "-o", a}).code, 0);
    {
        // A Default Split no field can hold (a damaged or foreign file): shown clamped, carried exactly.
        std::fstream f(a, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(254);
        f << std::string(8, '\x7f');
    }
    // export to standard output, import from standard input: the same 262 bytes.
    Result yaml = Run({"export", a});
    EXPECT_TRUE(Contains(yaml.out, "\ndefault_split: \"99.9\"\n")) << yaml.out;
    ASSERT_EQ(yaml.code, 0) << yaml.err;
    EXPECT_TRUE(Contains(yaml.out, "format: rt62m-1\nradio:\n  band: VHF\n"));
    Result back = Run({"import", "-", "-o", P("b.r62")}, yaml.out);
    ASSERT_EQ(back.code, 0) << back.err;
    EXPECT_EQ(Slurp(P("b.r62")), Slurp(a));

    const std::string old = Slurp(a);
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string input, err;
    } cases[] = {
        {"value out of band",
         {"import", "-", "-o", a},
         "format: rt62m-1\nchannels:\n  3:\n    receive: 500.0\n",
         "line 4, column 14: channels[3].receive: 500.0 is outside 134.00000-174.00000 MHz for VHF"},
        {"missing input", {"import", P("none.yaml"), "-o", a}, "", "Problem opening file"},
        {"strict CSV",
         {"csv-import", "-", "-o", a, "--strict"},
         "Location,Frequency,Tone,rToneFreq\n1,146.52,Tone,150.0\n",
         "row 2: tone 150.0 Hz"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Result r = Run(c.args, c.input);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(Contains(r.err, c.err)) << r.err;
        EXPECT_EQ(Slurp(a), old); // untouched, byte for byte
    }
}

// diff between files of either form, and verify against the simulated radio (it holds the factory
// VHF image).
TEST_F(CliTest, DiffAndVerifyExitCodes) {
    const std::string a = P("a.r62"), b = P("b.r62");
    ASSERT_EQ(Run({"new", "--band", "0", "-o", a}).code, 0);
    ASSERT_EQ(
        Run({"import", "-", "-o", b, "--base", a}, "format: rt62m-1\nchannels:\n  2:\n    wide: false\n")
            .code,
        0);
    std::ofstream(P("a.yaml")) << Run({"export", a}).out;
    // A data file one byte longer or shorter is no data file to compare.
    const std::string whole = Slurp(a);
    std::ofstream(P("long.r62"), std::ios::binary) << whole << '\0';
    std::ofstream(P("short.r62"), std::ios::binary) << whole.substr(0, whole.size() - 1);
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out;
    } cases[] = {
        {{"diff", a, a}, 0, ""},
        {{"diff", a, P("a.yaml")}, 0, ""},
        {{"diff", a, b}, 1, "channels[2].wide: true -> false\n"},
        {{"diff", P("a.yaml"), b}, 1, "channels[2].wide: true -> false\n"},
        {{"diff", a, P("missing.r62")}, 2, ""},
        {{"diff", a, P("long.r62")}, 2, ""},
        {{"diff", a, P("short.r62")}, 2, ""},
        {{"diff", a}, 2, ""},
        {{"verify", "--quiet", "--port", "sim:", a}, 0, ""},
        {{"verify", "--quiet", "--port", "sim:", b}, 1, "channels[2].wide: true -> false\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        Result r = Run(c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        // Equal files print nothing; different ones start with their field lines.
        if (c.out.empty()) {
            EXPECT_EQ(r.out, "");
        } else {
            EXPECT_EQ(r.out.substr(0, c.out.size()), c.out);
        }
    }
}
#endif

TEST_F(CliTest, CsvImportOfMixedRows) {
    const std::string base = P("base.r62"), out = P("out.r62");
    ASSERT_EQ(Run({"new", "--band", "0", "-o", base}).code, 0);
    const std::string csv = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,Mode,Power\n"
                            "1,Calling,146.520000,,0,,88.5,FM,High\n"
                            "2,Repeater,146.940000,-,0.6,Tone,150.0,FM,High\n"
                            "3,Narrow,147.000000,,0,Tone,100.0,NFM,Low\n"
                            "17,Far,146.000000,,0,,88.5,FM,High\n";
    Result r = Run({"csv-import", "-", "-o", out, "--base", base}, csv);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "row 3: tone 150.0 Hz is not a CTCSS code of this radio")) << r.err;
    EXPECT_TRUE(Contains(r.err, "row 5: location 17")) << r.err;
    EXPECT_TRUE(Contains(r.err, "2 channels imported, 2 rows skipped")) << r.err;
    Result exported = Run({"csv-export", out});
    ASSERT_EQ(exported.code, 0) << exported.err;
    EXPECT_TRUE(Contains(exported.out, "\n3,,147.000000,,0.000000,Tone,100.0,")) << exported.out;
}

} // namespace

#endif
