// The data-file writer and reader on every kind of target a user may name.
#include "core/image/data_file.h"

#include <gtest/gtest.h>

#include "tests/core/image/file_test_support.h"

// POSIX targets: devices, pipes, sockets, owners. A browser saves through its own file pickers.
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

namespace rt62 {
namespace {

namespace fs = std::filesystem;
using namespace test;

std::set<std::string> Names(const fs::path& dir) {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir))
        out.insert(e.path().filename().string());
    return out;
}

ino_t Inode(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

// Runs f in a child process (as the unprivileged user "nobody" when the test runs as root) and
// returns its exit code; lets a case change limits or drop rights without touching the test.
int InChild(const std::function<int()>& f, bool asOtherUser) {
    pid_t pid = fork();
    if (pid == 0) {
        if (asOtherUser && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
        _exit(f());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class DataFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = MakeScratchDir("rt62file-");
        fs::create_directories(dir / "tmp");
        // Open to the unprivileged user of the child-process cases.
        fs::permissions(dir, fs::perms::all);
        fs::permissions(dir / "tmp", fs::perms::all);
        ::setenv("TMPDIR", (dir / "tmp").c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("TMPDIR");
        RemoveScratchDir(dir);
    }
    fs::path P(const std::string& name) const { return dir / name; }

    fs::path dir;
    const Bytes old = Bytes(262, 0x11);
    const Bytes fresh = Bytes(262, 0x77);
};

TEST_F(DataFileTest, EachKindOfTargetIsWrittenThroughOrRefusedUntouched) {
    WriteBytes(P("plain.r62"), old);
    ASSERT_EQ(::chmod(P("plain.r62").c_str(), 0640), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(P("plain.r62").c_str(), 1234, 5678), 0);
    }
    struct stat plain {};
    ::stat(P("plain.r62").c_str(), &plain);
    WriteBytes(P("linked.r62"), old);
    fs::create_symlink("linked.r62", P("link.r62"));
    fs::create_symlink("created.r62", P("dangling.r62"));
    fs::create_symlink("loop2.r62", P("loop1.r62"));
    fs::create_symlink("loop1.r62", P("loop2.r62"));
    WriteBytes(P("hard.r62"), old);
    fs::create_hard_link(P("hard.r62"), P("hard2.r62"));
    WriteBytes(P("ro.r62"), old);
    fs::permissions(P("ro.r62"), fs::perms::owner_read | fs::perms::group_read);
    fs::create_directory(P("folder"));
    ASSERT_EQ(::mkfifo(P("fifo").c_str(), 0644), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, P("sock").c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    if (root) {
        ASSERT_EQ(::mknod(P("full").c_str(), S_IFCHR | 0666, makedev(1, 7)), 0); // as /dev/full
    }

    struct Case {
        std::string target;
        WriteStatus status;
        std::string changed; // the file that must hold the new bytes afterwards
    };
    std::vector<Case> cases = {
        {"plain.r62", WriteStatus::Ok, "plain.r62"},
        {"new.r62", WriteStatus::Ok, "new.r62"},
        {"link.r62", WriteStatus::Ok, "linked.r62"},
        {"dangling.r62", WriteStatus::Ok, "created.r62"},
        {"hard.r62", WriteStatus::Ok, "hard2.r62"},
        {"loop1.r62", WriteStatus::CannotCreate, ""},
        {"ro.r62", WriteStatus::ReadOnly, ""},
        {"missing/x.r62", WriteStatus::CannotCreate, ""},
        {"plain.r62/x.r62", WriteStatus::CannotCreate, ""},
        {"folder", WriteStatus::NotRegular, ""},
        {"fifo", WriteStatus::NotRegular, ""},
        {"sock", WriteStatus::NotRegular, ""},
        {"", WriteStatus::CannotCreate, ""},
    };
    if (root) cases.push_back({"full", WriteStatus::NotRegular, ""});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        const fs::path target = c.target.empty() ? fs::path() : P(c.target);
        const auto before = Names(dir);
        const ino_t inode = Inode(target);
        // The check before a transfer refuses exactly what the write refuses.
        EXPECT_EQ(CheckWritable(target.string()), c.status);
        EXPECT_EQ(WriteFileBytes(target.string(), fresh), c.status);
        auto after = Names(dir);
        if (c.target == "new.r62" || c.target == "dangling.r62") after.erase(c.changed);
        EXPECT_EQ(after, before); // nothing replaced, nothing left over
        EXPECT_TRUE(Names(dir / "tmp").empty());
        if (!c.changed.empty()) {
            EXPECT_EQ(ReadAll(P(c.changed)), fresh);
        } else {
            EXPECT_EQ(Inode(target), inode);
            std::error_code ec;
            if (fs::is_regular_file(target, ec)) {
                EXPECT_EQ(ReadAll(target), old);
            }
        }
    }
    EXPECT_TRUE(fs::is_symlink(P("link.r62")));
    EXPECT_TRUE(fs::is_fifo(P("fifo")));
    EXPECT_EQ(fs::hard_link_count(P("hard.r62")), 2u);
    // The replaced file keeps its mode, owner and group.
    struct stat after {};
    ::stat(P("plain.r62").c_str(), &after);
    EXPECT_EQ(after.st_mode, plain.st_mode);
    EXPECT_EQ(after.st_uid, plain.st_uid);
    EXPECT_EQ(after.st_gid, plain.st_gid);
    ::close(sock);
}

// Where a rename would lose something, the file is rewritten in place; its old contents are kept
// aside only for the time of the write.
TEST_F(DataFileTest, InPlaceWhenTheFolderOrTheOwnerCannotBeKept) {
    const bool root = geteuid() == 0;
    if (!root) GTEST_SKIP() << "needs a second user for the owner and folder cases";
    // A folder the user may not write, with a file the user may.
    fs::create_directory(P("ro"));
    WriteBytes(P("ro/mine.r62"), old);
    ASSERT_EQ(::chown(P("ro/mine.r62").c_str(), 65534, 65534), 0);
    fs::permissions(P("ro"), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
    // A file whose group the user is not a member of: a new file could not be given it.
    WriteBytes(P("group.r62"), old);
    ASSERT_EQ(::chown(P("group.r62").c_str(), 65534, 0), 0);
    ASSERT_EQ(::chmod(P("group.r62").c_str(), 0664), 0);

    for (const char* name : {"ro/mine.r62", "group.r62"}) {
        SCOPED_TRACE(name);
        const fs::path target = P(name);
        const ino_t inode = Inode(target);
        const std::string path = target.string();
        EXPECT_EQ(InChild([&] { return static_cast<int>(WriteFileBytes(path, fresh)); }, true), 0);
        EXPECT_EQ(ReadAll(target), fresh);
        EXPECT_EQ(Inode(target), inode);
        struct stat st {};
        ::stat(target.c_str(), &st);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, name[0] == 'g' ? 0u : 65534u);
        EXPECT_TRUE(Names(dir / "tmp").empty());
    }
    EXPECT_EQ(Names(P("ro")), std::set<std::string>{"mine.r62"});
}

// A write that cannot complete: the old file stays, byte for byte, and no temporary is left (on a
// file system that is really full too: the command-line test of the writers).
TEST_F(DataFileTest, FailedWriteLeavesTheOldFile) {
    // The writer's process may not make files beyond 1000 bytes: the new contents do not fit,
    // the old ones (and their copy) do.
    const Bytes big(4000, 0x33);
    const Bytes small(100, 0x44);
    WriteBytes(P("a.r62"), small);
    WriteBytes(P("hard.r62"), small);
    fs::create_hard_link(P("hard.r62"), P("hard2.r62")); // rewritten in place, then put back
    for (const char* name : {"a.r62", "hard.r62"}) {
        SCOPED_TRACE(name);
        const std::string path = P(name).string();
        const int status = InChild(
            [&] {
                ::signal(SIGXFSZ, SIG_IGN);
                rlimit lim{1000, 1000};
                ::setrlimit(RLIMIT_FSIZE, &lim);
                return static_cast<int>(WriteFileBytes(path, big));
            },
            false);
        EXPECT_EQ(status, static_cast<int>(WriteStatus::WriteFailed));
        EXPECT_EQ(ReadAll(P(name)), small);
        EXPECT_TRUE(Names(dir / "tmp").empty());
    }
    EXPECT_EQ(ReadAll(P("hard2.r62")), small);
    EXPECT_EQ(Names(dir), (std::set<std::string>{"a.r62", "hard.r62", "hard2.r62", "tmp"}));
}

TEST_F(DataFileTest, ReadingTakesOnlyRegularFilesAndNeverBlocks) {
    WriteBytes(P("data.r62"), old);
    WriteBytes(P("empty.r62"), {});
    ASSERT_EQ(::mkfifo(P("fifo").c_str(), 0644), 0); // no writer: an open for reading would wait
    fs::create_symlink("data.r62", P("link.r62"));
    const struct {
        std::string path;
        ReadStatus status;
        std::optional<std::uintmax_t> size;
    } cases[] = {
        {P("data.r62").string(), ReadStatus::Ok, 262},
        {P("link.r62").string(), ReadStatus::Ok, 262},
        {P("empty.r62").string(), ReadStatus::CannotRead, 0},
        {P("fifo").string(), ReadStatus::CannotOpen, std::nullopt},
        {dir.string(), ReadStatus::CannotOpen, std::nullopt},
        {"/dev/zero", ReadStatus::CannotOpen, std::nullopt},
        {P("missing").string(), ReadStatus::CannotOpen, std::nullopt},
        {"", ReadStatus::CannotOpen, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(RegularFileSize(c.path), c.size);
        ReadOutcome r = ReadFileBytes(c.path);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.bytes, c.status == ReadStatus::Ok ? old : Bytes{});
    }

    // A stream is read to its end or to the limit, whichever comes first.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ASSERT_TRUE(WriteDescriptorBytes(fds[1], Bytes(300, 0x5A)));
    ::close(fds[1]);
    ReadOutcome r = ReadDescriptorBytes(fds[0], 263);
    EXPECT_EQ(r.status, ReadStatus::Ok);
    EXPECT_EQ(r.bytes, Bytes(263, 0x5A));
    ::close(fds[0]);
}

} // namespace
} // namespace rt62

#endif
