// Backups of the radio's images: where they go, their names, how many stay, and where a transfer
// writes them (before anything else happens to the image).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "core/image/data_file.h"
#include "core/image/fields.h"
#include "core/image/native_path.h"
#include "core/link/radio_backup.h"
#include "tests/core/link/link_test_support.h"
#include "tests/support/scratch_dir.h"

namespace rt62 {
namespace {

namespace fs = std::filesystem;
using namespace test;

// A folder of its own under the system's temporary folder, removed afterwards. A user's folder may
// be named in any script; the file calls must keep such names intact.
struct TempFolder : ScratchFolder {
    TempFolder() : ScratchFolder("rt62-backup-J\xc3\xb6rg-\xe6\x9d\x8e-") {}
};

RadioImage WithSerial(const std::string& serial) {
    RadioImage image = PatternImage(5);
    WriteSerialNumber(image, serial);
    return image;
}

std::time_t At(int year, int month, int day, int h, int m, int s) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = h;
    t.tm_min = m;
    t.tm_sec = s;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

std::vector<std::uint8_t> Contents(const std::string& path) {
    return ReadFileBytes(path, 1000).bytes;
}

TEST(RadioBackup, DefaultFolderFollowsTheEnvironment) {
    using Env = std::map<std::string, std::string>;
    struct Case {
        Env env;
        std::string folder;
    };
#ifdef _WIN32
    const Case cases[] = {{{{"LOCALAPPDATA", "C:\\Users\\op\\AppData\\Local"}, {"APPDATA", "C:\\R"}},
                           "C:\\Users\\op\\AppData\\Local\\RT62MWin\\backups"},
                          {{{"LOCALAPPDATA", "C:\\Users\\J\xc3\xb6rg\\AppData\\Local"}},
                           "C:\\Users\\J\xc3\xb6rg\\AppData\\Local\\RT62MWin\\backups"},
                          {{{"XDG_DATA_HOME", "/x"}}, ""}};
#else
    const Case cases[] = {
        {{{"XDG_DATA_HOME", "/data"}, {"HOME", "/home/op"}}, "/data/RT62MWin/backups"},
        {{{"HOME", "/home/op"}}, "/home/op/.local/share/RT62MWin/backups"},
        // A relative XDG_DATA_HOME is not a place; the home folder's default is used instead.
        {{{"XDG_DATA_HOME", "data"}, {"HOME", "/home/op"}}, "/home/op/.local/share/RT62MWin/backups"},
        {{{"XDG_DATA_HOME", ""}, {"HOME", "/home/op"}}, "/home/op/.local/share/RT62MWin/backups"},
        {{}, ""},
    };
#endif
    for (const Case& c : cases) {
        const std::string got = DefaultBackupFolder([&](const char* name) -> const char* {
            auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        });
        EXPECT_EQ(got, c.folder);
    }
}

TEST(RadioBackup, NamesCarryTheLocalTimeAndTheSerialNumber) {
    const std::time_t when = At(2024, 3, 5, 9, 8, 7);
    const std::tm t = *std::localtime(&when);
    EXPECT_EQ(BackupFileName(t, WithSerial("7C123456")), "20240305-090807-7C123456.r62");
    // Nibbles 14 and 15 read as '*' and '#', which a file name should not carry.
    RadioImage odd = WithSerial("7C123456");
    odd[0xF9] = 0xEF;
    EXPECT_EQ(BackupFileName(t, odd), "20240305-090807-7C__3456.r62");
}

TEST(RadioBackup, WritesNewFilesAndKeepsTheNewest) {
    TempFolder dir;
    const fs::path folder = dir.path / "a" / "backups"; // made on the way
    const RadioImage image = WithSerial("7C123456");
    const FileTrailerBytes trailer{1, 2, 3, 4, 5, 6, 7, 8};
    const std::time_t when = At(2024, 3, 5, 9, 8, 7);

    BackupOutcome first = WriteRadioBackup(Utf8FromPath(folder), image, trailer, when);
    ASSERT_EQ(first.status, BackupStatus::Written);
    EXPECT_EQ(PathFromUtf8(first.path).filename(), "20240305-090807-7C123456.r62");
    const DataFileBytes expected = MakeDataFileBytes(image, trailer);
    EXPECT_EQ(Contents(first.path), std::vector<std::uint8_t>(expected.begin(), expected.end()));

    // The same second again: a second file, the first untouched.
    RadioImage other = image;
    other[0x20] ^= 0xFF;
    BackupOutcome second = WriteRadioBackup(Utf8FromPath(folder), other, trailer, when);
    ASSERT_EQ(second.status, BackupStatus::Written);
    EXPECT_EQ(PathFromUtf8(second.path).filename(), "20240305-090807-7C123456-2.r62");
    EXPECT_EQ(Contents(first.path), std::vector<std::uint8_t>(expected.begin(), expected.end()));

    // Fill up to more than the limit; files not named like backups are never removed.
    for (int day = 1; day <= 28; ++day)
        for (int h = 0; h < 4; ++h)
            std::ofstream(folder / (std::to_string(20230000 + 100 + day) + "-0" + std::to_string(h) +
                                    "0000-0C010001.r62"));
    for (const char* keep : {"notes.txt", "20200101-000000-0C010001.r62.bak", "2020-01-01.r62"})
        std::ofstream(folder / keep);
    const BackupOutcome third = WriteRadioBackup(Utf8FromPath(folder), image, trailer, when + 60, 100);
    ASSERT_EQ(third.status, BackupStatus::Written);
    const std::vector<std::string> names = ListBackups(Utf8FromPath(folder));
    ASSERT_EQ(names.size(), 100u);
    // 112 old ones, the two above and the new one: the 15 oldest went.
    EXPECT_EQ(PathFromUtf8(names.front()).filename(), "20230104-030000-0C010001.r62");
    EXPECT_EQ(names.back(), third.path);
    for (const char* keep : {"notes.txt", "20200101-000000-0C010001.r62.bak", "2020-01-01.r62"})
        EXPECT_TRUE(fs::exists(folder / keep)) << keep;

    // A clock set back makes the new backup the oldest by name: it stays all the same.
    const BackupOutcome back =
        WriteRadioBackup(Utf8FromPath(folder), image, trailer, At(2001, 1, 1, 0, 0, 0), 100);
    ASSERT_EQ(back.status, BackupStatus::Written);
    EXPECT_TRUE(fs::exists(PathFromUtf8(back.path)));
    EXPECT_EQ(ListBackups(Utf8FromPath(folder)).size(), 100u);
}

TEST(RadioBackup, FailureAsksWhetherToGoOn) {
    TempFolder dir;
    fs::create_directories(dir.path);
    std::ofstream(dir.path / "plain-file");
    const RadioImage image = WithSerial("7C123456");
    const std::time_t when = At(2024, 3, 5, 9, 8, 7);
    struct Case {
        const char* name;
        BackupSettings settings;
        Answer answer;
        bool goOn;
        std::vector<int> asked;
    };
    const std::string notAFolder = Utf8FromPath(dir.path / "plain-file");
    const std::string inside = Utf8FromPath(dir.path / "plain-file" / "backups");
    const Case cases[] = {
        {"written", {true, Utf8FromPath(dir.path / "ok"), {}}, Answer::No, true, {}},
        {"folder is a file, go on", {true, notAFolder, {}}, Answer::Yes, true, {kStrBackupFolderFailed}},
        {"folder is a file, stop", {true, notAFolder, {}}, Answer::No, false, {kStrBackupFolderFailed}},
        {"folder under a file", {true, inside, {}}, Answer::No, false, {kStrBackupFolderFailed}},
        {"switched off", {false, notAFolder, {}}, Answer::No, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPrompter prompter;
        prompter.answers[kStrBackupFolderFailed] = c.answer;
        EXPECT_EQ(BackUpRadioImage(prompter, c.settings, image, when), c.goOn);
        ASSERT_EQ(prompter.ids, c.asked);
        if (!c.asked.empty()) {
            EXPECT_EQ(prompter.buttons[0], Buttons::YesNo);
            EXPECT_EQ(prompter.args[0], std::vector<std::string>{c.settings.folder}); // names the folder
        }
    }
    EXPECT_EQ(ListBackups(Utf8FromPath(dir.path / "ok")).size(), 1u);
}

// The transfer hands every image it reads from the radio to the backup before anything else.
TEST(RadioBackup, TransfersBackUpTheRadiosImageFirst) {
    const RadioImage radioImage = WithSerial("7C123456");
    const RadioImage doc = DocumentFor(radioImage);
    struct Case {
        const char* name;
        bool download, goOn;
        RadioEmulator::Faults faults;
        JobStatus status;
        std::vector<int> messages;
    };
    const Case cases[] = {
        {"upload", false, true, {}, JobStatus::Completed, {83}},
        {"upload stopped by the backup", false, false, {}, JobStatus::Cancelled, {}},
        {"download", true, true, {}, JobStatus::Completed, {89}},
        {"download stopped by the backup", true, false, {}, JobStatus::Cancelled, {}},
        // The radio refuses the write: the backup of what it held stays.
        {"download whose write fails", true, true, {.writeAnswer = kNak}, JobStatus::Failed, {101}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        SimRig rig(radioImage, RadioEmulator::Start::Immediate, c.faults);
        // The document is modified, so an upload would ask before it replaces it.
        rig.prompter.answers[kStrOverwrite] = Answer::Yes;
        std::string sentBeforeBackup;
        int calls = 0;
        JobEnvironment env = rig.Env();
        env.onRadioImage = [&](const RadioImage& read) {
            ++calls;
            sentBeforeBackup = rig.Sent();
            EXPECT_EQ(read, radioImage);
            EXPECT_TRUE(rig.prompter.ids.empty()); // before the overwrite question and every message
            BackupSettings settings{true, Utf8FromPath(dir.path), {}};
            return BackUpRadioImage(rig.prompter, settings, read, At(2024, 3, 5, 9, 8, 7)) && c.goOn;
        };
        JobStatus status;
        if (c.download) {
            const DownloadJobResult r = RunDownloadJob(rig.port, env, doc, {});
            status = r.status;
            EXPECT_EQ(r.image.has_value(), c.goOn); // stopped before the merge
            EXPECT_EQ(rig.Sent().find('`') != std::string::npos, c.goOn);
        } else {
            const UploadJobResult r = RunUploadJob(rig.port, env, doc, true);
            status = r.status;
            EXPECT_EQ(r.image.has_value(), c.goOn);
        }
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(sentBeforeBackup.find('`'), std::string::npos); // nothing written to the radio yet
        std::vector<int> messages = rig.prompter.ids;
        std::erase(messages, kStrOverwrite);
        EXPECT_EQ(messages, c.messages);
        const std::vector<std::string> backups = ListBackups(Utf8FromPath(dir.path));
        ASSERT_EQ(backups.size(), 1u);
        const std::vector<std::uint8_t> bytes = Contents(backups[0]);
        ASSERT_EQ(bytes.size(), kDataFileSize);
        EXPECT_TRUE(std::equal(radioImage.begin(), radioImage.end(), bytes.begin()));
    }
}

} // namespace
} // namespace rt62
