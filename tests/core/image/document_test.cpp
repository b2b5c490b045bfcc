#include "core/image/document.h"

#include <gtest/gtest.h>

#include "tests/core/image/file_test_support.h"

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "core/image/fields.h"
#include "core/image/model.h"

namespace rt62 {
namespace {

namespace fs = std::filesystem;
using namespace test;

// Answers questions from a queue (Ok/default when empty) and records every message.
class ScriptedPrompter : public Prompter {
  public:
    Answer show(int id, Buttons buttons, Icon, const std::vector<std::string>&) override {
        ids.push_back(id);
        if (answers.empty()) return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<Answer> answers;
    std::vector<int> ids;
};

Bytes DataFileBytes(const RadioImage& image, double split) {
    Bytes bytes(image.begin(), image.end());
    FileTrailerBytes t = DefaultSplitBytes(split);
    bytes.insert(bytes.end(), t.begin(), t.end());
    return bytes;
}

// A scratch folder per test, also made the working directory (default files are written there).
class DocumentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        oldCwd = fs::current_path();
        dir = MakeScratchDir("rt62doc-");
        fs::create_directories(dir / "prog");
        fs::create_directories(dir / "work");
        fs::current_path(dir / "work");
    }
    void TearDown() override {
        fs::current_path(oldCwd);
        RemoveScratchDir(dir);
    }
    std::string P(const std::string& name) const { return (dir / name).string(); }

    fs::path oldCwd;
    fs::path dir;
    ScriptedPrompter prompter;
};

TEST(DefaultFileName, MatchesTheFourNamesIgnoringCaseAndFolder) {
    for (const char* yes : {"RT62Mvhf1.r62", "/opt/x/rt62muhf2.R62", "C:\\Prog\\RT62MVHF2.R62"})
        EXPECT_TRUE(CRT62MDoc::IsDefaultFileName(yes)) << yes;
    for (const char* no : {"RT62Muhf3.r62", "RT62Mvhf1.r62.bak", "RT62Mvhf1.r62/other.r62", "<none>", ""})
        EXPECT_FALSE(CRT62MDoc::IsDefaultFileName(no)) << no;
}

TEST_F(DocumentTest, OpenAndReadFailuresKeepTheDocumentAndShowTheirMessage) {
    WriteBytes(P("ok.r62"), DataFileBytes(MakeFactoryImage(2).image, 5.0));
    WriteBytes(P("bare.r62"), Bytes(254, 0x11));
    WriteBytes(P("empty.r62"), {});
    WriteBytes(P("short.r62"), Bytes(100, 0x11));
    const struct {
        std::string path;
        int message; // 0: none
    } cases[] = {
        {P("ok.r62"), 0},
        {P("missing.r62"), kStrOpenFailed},
        {"", kStrOpenFailed},
        {P("prog"), kStrOpenFailed},
        {P("bare.r62"), kStrBadFormat},
        {P("empty.r62"), kStrBadFormat},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        CRT62MDoc doc(prompter);
        doc.Reload(kNoPath);
        const RadioImage before = doc.Image();
        const std::string pathBefore = doc.CurrentPath();
        prompter.ids.clear();
        EXPECT_EQ(doc.OpenCommand(c.path, {}), c.message == 0);
        EXPECT_EQ(prompter.ids, c.message ? std::vector<int>{c.message} : std::vector<int>{});
        EXPECT_EQ(doc.CurrentPath(), c.message ? pathBefore : c.path);
        EXPECT_EQ(doc.Image() == before, c.message != 0); // a refused file changes nothing
    }

    // A load that passes the probe but is short keeps the defaults and the path asked for.
    CRT62MDoc doc(prompter);
    prompter.ids.clear();
    doc.Reload(P("short.r62"));
    EXPECT_EQ(prompter.ids, std::vector<int>{kStrReadFailed});
    EXPECT_FALSE(doc.IsFileLoaded());
    EXPECT_EQ(doc.CurrentPath(), P("short.r62"));
    ImageModel defaults;
    LoadDefaults(defaults);
    EXPECT_EQ(doc.Image(), defaults.image);
}

TEST_F(DocumentTest, DefaultSplitOfAFileIsSanitized) {
    const struct {
        double stored, loaded;
    } cases[] = {{0.6, 0.6},
                 {std::numeric_limits<double>::quiet_NaN(), 0.0},
                 {std::numeric_limits<double>::infinity(), 0.0},
                 {1234.5, 99.9},
                 {-100.0, -99.9}};
    for (const auto& c : cases) {
        WriteBytes(P("t.r62"), DataFileBytes(MakeFactoryImage(0).image, c.stored));
        CRT62MDoc doc(prompter);
        doc.Open(P("t.r62"));
        EXPECT_TRUE(doc.IsFileLoaded());
        EXPECT_EQ(doc.DefaultSplit(), c.loaded) << c.stored;
    }
    EXPECT_EQ(DefaultSplitBytes(1.0), (FileTrailerBytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F})); // little-endian
}

TEST_F(DocumentTest, WriteIsCompleteOrLeavesTheOldFile) {
    // Save As keeps the whole path, however long, and the file's permissions.
    const std::string path = P(std::string(120, 'n') + ".r62");
    WriteBytes(path, Bytes(262, 0x55));
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(path, perms);
    CRT62MDoc doc(prompter);
    doc.Model() = MakeFactoryImage(1);
    doc.Image()[0xFC] = doc.Image()[0xFD] = 0;
    doc.SetDefaultSplit(-0.6);
    doc.SetModifiedFlag();
    ASSERT_TRUE(doc.SaveAs(path));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.Title(), path);
    EXPECT_EQ(ReadAll(path), DataFileBytes(doc.Image(), -0.6));
    EXPECT_EQ(ReadImageChecksum(doc.Image()), ComputeImageChecksum(doc.Image()));
#ifdef _WIN32
    // Windows files have a read-only attribute and no links for users.
    doc.SetDefaultSplit(2.5);
    ASSERT_TRUE(doc.WriteDataFile(path));
    const long entries = 4;
#else
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, perms);

    // Through a link, the link stays and the file it names gets the data.
    fs::create_symlink(path, P("link.r62"));
    doc.SetDefaultSplit(2.5);
    ASSERT_TRUE(doc.WriteDataFile(P("link.r62")));
    EXPECT_TRUE(fs::is_symlink(P("link.r62")));
    const long entries = 5;
#endif
    EXPECT_EQ(ReadAll(path), DataFileBytes(doc.Image(), 2.5));

    fs::permissions(path, fs::perms::owner_read);
    WriteBytes(P("plain"), {1, 2, 3});
    // A read-only file is refused with the same message Save gives for it.
    const std::pair<std::string, int> refused[] = {{P("nofolder/x.r62"), kStrCreateFailed},
                                                   {P("plain/x.r62"), kStrCreateFailed},
                                                   {path, kStrReadOnly},
                                                   {P("prog"), kStrCreateFailed},
                                                   {std::string(), kStrCreateFailed}};
    for (const auto& [bad, message] : refused) {
        SCOPED_TRACE(bad);
        doc.SetModifiedFlag();
        prompter.ids.clear();
        EXPECT_FALSE(doc.WriteDataFile(bad));
        EXPECT_EQ(prompter.ids, std::vector<int>{message});
        EXPECT_TRUE(doc.IsModified());
    }
    EXPECT_EQ(ReadAll(path), DataFileBytes(doc.Image(), 2.5));
    // No scratch file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), entries);
}

TEST_F(DocumentTest, SaveRefusesReadOnlyNoFileAndUnconfirmedDefaultFile) {
    const Bytes old(262, 0x42);
    WriteBytes(P("ro.r62"), old);
    fs::permissions(P("ro.r62"), fs::perms::owner_read);
    WriteBytes(P("RT62Muhf1.r62"), old);
    const struct {
        std::string path;
        std::deque<Answer> answers;
        int message;
        bool saved;
    } cases[] = {
        {P("ro.r62"), {}, kStrReadOnly, false},
        {kNoPath, {}, kStrOpenFailed, false},
        {P("RT62Muhf1.r62"), {Answer::No}, kStrWriteDefault, false},
        {P("RT62Muhf1.r62"), {Answer::Yes}, kStrWriteDefault, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        CRT62MDoc doc(prompter);
        doc.SetCurrentPath(c.path);
        doc.SetModifiedFlag();
        prompter.ids.clear();
        prompter.answers = c.answers;
        EXPECT_EQ(doc.Save(), c.saved);
        EXPECT_EQ(prompter.ids, std::vector<int>{c.message});
        EXPECT_EQ(doc.IsModified(), !c.saved);
    }
    EXPECT_EQ(ReadAll(P("ro.r62")), old);
    EXPECT_NE(ReadAll(P("RT62Muhf1.r62")), old);
}

// Answering Yes goes on only once the changes are really written (the other answers are driven
// through the main window's close).
TEST_F(DocumentTest, SaveChangesGoesOnOnlyWhenTheSaveSucceeded) {
    const struct {
        const char* chosen; // nullptr: the Save As dialog is cancelled
        bool saved;
    } cases[] = {{nullptr, false}, {"nofolder/x.r62", false}, {"saved.r62", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen ? c.chosen : "cancelled");
        CRT62MDoc doc(prompter);
        doc.SetModifiedFlag();
        prompter.answers = {Answer::Yes};
        prompter.ids.clear();
        const auto choose = [&] { return c.chosen ? std::optional(P(c.chosen)) : std::nullopt; };
        EXPECT_EQ(doc.AskSaveChanges(choose), c.saved);
        EXPECT_EQ(doc.IsModified(), !c.saved);
        EXPECT_EQ(fs::exists(P("saved.r62")), c.saved);
        EXPECT_EQ(prompter.ids.at(0), kStrSaveChanges);
    }
}

// The default files are looked for beside the program (bin/) first, then where an installed program
// keeps its data (share/rt62mwin/ beside bin/), each in band order.
TEST_F(DocumentTest, NewDocumentSearchesDefaultFilesInItsOrder) {
    const fs::path bin = dir / "usr" / "bin", share = dir / "usr" / "share" / "rt62mwin";
    const struct {
        std::vector<int> beside, installed;
        bool fromBin;
        int loaded; // -1: none, the default is written into the working folder
    } cases[] = {{{2}, {}, true, 2},         {{1, 2}, {}, true, 2}, {{3, 1}, {}, true, 1},
                 {{0, 1, 2, 3}, {}, true, 0}, {{3}, {}, true, 3},    {{}, {0, 1, 2, 3}, false, 0},
                 {{2}, {0}, false, 0},        {{0}, {0}, true, 0},   {{}, {}, true, -1}};
    for (const auto& c : cases) {
        fs::remove_all(dir / "usr");
        fs::create_directories(bin);
        fs::create_directories(share);
        fs::remove(dir / "work" / kDefaultFileNames[0]);
        for (int code : c.beside)
            WriteBytes(bin / kDefaultFileNames[code], DataFileBytes(MakeFactoryImage(code).image, 0.0));
        for (int code : c.installed)
            WriteBytes(share / kDefaultFileNames[code], DataFileBytes(MakeFactoryImage(code).image, 0.0));
        CRT62MDoc doc(prompter, bin.string());
        prompter.ids.clear();
        doc.OnNewDocument();
        SCOPED_TRACE(c.loaded);
        EXPECT_TRUE(prompter.ids.empty());
        EXPECT_EQ(doc.IsFileLoaded(), c.loaded >= 0);
        const fs::path folder = c.fromBin ? bin : share;
        EXPECT_EQ(doc.CurrentPath(), c.loaded < 0 ? kNoPath : (folder / kDefaultFileNames[c.loaded]).string());
        EXPECT_EQ(doc.Model().hardware.bandStepCode, std::max(c.loaded, 0));
        EXPECT_EQ(ReadAll(dir / "work" / kDefaultFileNames[0]).size(), c.loaded < 0 ? kDataFileSize : 0u);
    }

    // A band change loads that band's default file from either folder, or writes the current image as it.
    CRT62MDoc doc(prompter, bin.string());
    doc.Model() = MakeFactoryImage(3);
    EXPECT_FALSE(doc.LoadBandDefault(3));
    EXPECT_EQ(doc.CurrentPath(), kNoPath);
    EXPECT_EQ(ReadAll(dir / "work" / kDefaultFileNames[3]), DataFileBytes(doc.Image(), doc.DefaultSplit()));
    WriteBytes(bin / kDefaultFileNames[2], DataFileBytes(MakeFactoryImage(2).image, 0.0));
    EXPECT_TRUE(doc.LoadBandDefault(2));
    EXPECT_EQ(doc.Model().hardware.bandStepCode, 2);
    WriteBytes(share / kDefaultFileNames[1], DataFileBytes(MakeFactoryImage(1).image, 0.0));
    EXPECT_TRUE(doc.LoadBandDefault(1));
    EXPECT_EQ(doc.CurrentPath(), (share / kDefaultFileNames[1]).string());
}

} // namespace
} // namespace rt62
