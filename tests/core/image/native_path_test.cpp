// Data files in folders named outside ASCII, on every system: the writer, the reader and the checks
// must keep such names intact (Windows' narrow file calls would not).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/image/data_file.h"
#include "core/image/native_path.h"
#include "tests/support/scratch_dir.h"

namespace rt62 {
namespace {

namespace fs = std::filesystem;

struct ForeignFolder {
    test::ScratchFolder scratch{"rt62 J\xc3\xb6rg \xe6\x9d\x8e-"};
    const fs::path& path = scratch.path;
    const std::string utf8 = Utf8FromPath(path);
    std::string File(const std::string& name) const { return utf8 + "/" + name; }
};

std::vector<std::uint8_t> Bytes(std::uint8_t fill, std::size_t n = kDataFileSize) {
    return std::vector<std::uint8_t>(n, fill);
}

TEST(NativePath, Utf8NamesSurviveTheRoundTrip) {
    for (const char* name : {"plain.r62", "J\xc3\xb6rg.r62", "\xe6\x9d\x8e\xe5\x9b\x9b.r62", "\xf0\x9f\x93\xbb.r62"})
        EXPECT_EQ(Utf8FromPath(PathFromUtf8(name)), name);
}

#ifndef _WIN32 // Windows reads the arguments again from its wide command line, not from argv
TEST(NativePath, ArgumentsAndEnvironment) {
    // The program's own name is never an argument, also when it is all there is or is missing.
    char prog[] = "rt62m", a[] = "J\xc3\xb6rg.r62", b[] = "--x";
    char* argv[] = {prog, a, b, nullptr};
    const struct {
        int argc;
        std::vector<std::string> args;
    } cases[] = {{0, {}}, {1, {}}, {2, {a}}, {3, {a, b}}};
    for (const auto& c : cases) EXPECT_EQ(ArgumentsUtf8(c.argc, argv), c.args) << c.argc;
    // Set to nothing is still set.
    ::setenv("RT62_TEST_EMPTY", "", 1);
    ::unsetenv("RT62_TEST_UNSET");
    EXPECT_TRUE(EnvironmentHas("RT62_TEST_EMPTY"));
    EXPECT_FALSE(EnvironmentHas("RT62_TEST_UNSET"));
    EXPECT_EQ(EnvironmentUtf8("RT62_TEST_UNSET"), "");
}
#endif

TEST(NativePath, WriterAndReaderKeepForeignNames) {
    ForeignFolder dir;
    const std::string file = dir.File("r\xc3\xa9glage.r62");
    ASSERT_EQ(CheckWritable(file), WriteStatus::Ok);
    ASSERT_EQ(WriteFileBytes(file, Bytes(0x11)), WriteStatus::Ok);
    EXPECT_TRUE(fs::is_regular_file(PathFromUtf8(file)));
    EXPECT_EQ(RegularFileSize(file), kDataFileSize);
    // Replaced whole, and nothing else left in the folder (no temporary file).
    ASSERT_EQ(WriteFileBytes(file, Bytes(0x22, 5)), WriteStatus::Ok);
    const ReadOutcome back = ReadFileBytes(file);
    EXPECT_EQ(back.status, ReadStatus::Ok);
    EXPECT_EQ(back.bytes, Bytes(0x22, 5));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);

    // The refusals: a folder, a read-only file, a folder that is not there.
    EXPECT_EQ(WriteFileBytes(dir.utf8, Bytes(1)), WriteStatus::NotRegular);
    fs::permissions(PathFromUtf8(file), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(WriteFileBytes(file, Bytes(0x33)), WriteStatus::ReadOnly);
    EXPECT_EQ(ReadFileBytes(file).bytes, Bytes(0x22, 5));
    EXPECT_EQ(WriteFileBytes(dir.File("gone/x.r62"), Bytes(1)), WriteStatus::CannotCreate);
    EXPECT_EQ(ReadFileBytes(dir.File("missing.r62")).status, ReadStatus::CannotOpen);
}

TEST(NativePath, TextLineEndsFollowTheSystem) {
#ifdef _WIN32
    const char* want = "a\r\nb\r\n\r\nc";
#else
    const char* want = "a\nb\r\n\nc";
#endif
    EXPECT_EQ(NativeLineEnds("a\nb\r\n\nc"), want);
    EXPECT_EQ(NativeLineEnds(""), "");
}

} // namespace
} // namespace rt62
