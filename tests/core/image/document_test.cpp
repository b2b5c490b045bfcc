#include "image/document.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "image/fields.h"
#include "image/model.h"

namespace rt62 {
namespace {

namespace fs = std::filesystem;

// Answers questions from a queue (Ok/default when empty) and records every message id.
class ScriptedPrompter : public Prompter {
public:
    Answer show(int id, Buttons buttons, Icon, const std::vector<std::string>& args) override {
        ids.push_back(id);
        argsSeen.push_back(args);
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
    std::deque<Answer> answers;
    std::vector<int> ids;
    std::vector<std::vector<std::string>> argsSeen;
};

std::vector<std::uint8_t> ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> DataFileBytes(const RadioImage& image, double split) {
    std::vector<std::uint8_t> bytes(image.begin(), image.end());
    FileTrailerBytes t = DefaultSplitBytes(split);
    bytes.insert(bytes.end(), t.begin(), t.end());
    return bytes;
}

// A scratch folder per test, also made the working directory (default files are written there).
class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        oldCwd = fs::current_path();
        dir = fs::temp_directory_path() /
              ("rt62doc-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir / "prog");
        fs::create_directories(dir / "work");
        fs::current_path(dir / "work");
    }
    void TearDown() override {
        fs::current_path(oldCwd);
        std::error_code ec;
        fs::permissions(dir, fs::perms::all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }
    std::string P(const std::string& name) const { return (dir / name).string(); }
    // Files of a folder other than the ones named.
    static std::vector<std::string> Listing(const fs::path& folder) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path oldCwd;
    fs::path dir;
    ScriptedPrompter prompter;
};

TEST(DefaultFileName, MatchesTheFourNamesIgnoringCaseAndFolder) {
    struct Case {
        const char* path;
        bool isDefault;
    } cases[] = {
        {"RT62Mvhf1.r62", true},          {"/opt/x/rt62muhf2.R62", true}, {"C:\\Prog\\RT62MVHF2.R62", true},
        {"dir/RT62Muhf1.r62", true},      {"RT62Muhf3.r62", false},       {"RT62Mvhf1.r62.bak", false},
        {"RT62Mvhf1.r62/other.r62", false}, {"<none>", false},            {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(CRT62MDoc::IsDefaultFileName(c.path), c.isDefault) << c.path;
    EXPECT_EQ(FileNameOfPath("C:\\a\\b.R62"), "b.R62");
    EXPECT_EQ(FileNameOfPath("/a/b/c.r62"), "c.r62");
    EXPECT_EQ(FileNameOfPath("<none>"), "<none>");
}

TEST_F(DocumentTest, OpenCommandProbesSizeAndReportsEachFailure) {
    WriteBytes(P("ok.r62"), DataFileBytes(MakeFactoryImage(2).image, 5.0));
    WriteBytes(P("bare.r62"), std::vector<std::uint8_t>(254, 0x11));
    WriteBytes(P("long.r62"), std::vector<std::uint8_t>(263, 0x11));
    WriteBytes(P("empty.r62"), {});
    struct Case {
        std::string path;
        OpenProbe probe;
        int message;  // 0: none
    } cases[] = {
        {P("ok.r62"), OpenProbe::Ok, 0},
        {P("missing.r62"), OpenProbe::CannotOpen, kStrOpenFailed},
        {"", OpenProbe::CannotOpen, kStrOpenFailed},
        {P("prog"), OpenProbe::CannotOpen, kStrOpenFailed},
        {P("bare.r62"), OpenProbe::WrongSize, kStrBadFormat},
        {P("long.r62"), OpenProbe::WrongSize, kStrBadFormat},
        {P("empty.r62"), OpenProbe::WrongSize, kStrBadFormat},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(CRT62MDoc::ProbeOpenFile(c.path), c.probe);
        CRT62MDoc doc(prompter);
        doc.Reload(kNoPath);
        RadioImage before = doc.Image();
        std::string pathBefore = doc.CurrentPath();
        prompter.ids.clear();
        bool loaded = doc.OpenCommand(c.path, {});
        EXPECT_EQ(loaded, c.message == 0);
        if (c.message) {
            EXPECT_EQ(prompter.ids, std::vector<int>{c.message});
            EXPECT_EQ(doc.Image(), before);  // a refused file changes nothing
            EXPECT_EQ(doc.CurrentPath(), pathBefore);
        } else {
            EXPECT_TRUE(prompter.ids.empty());
            EXPECT_EQ(doc.CurrentPath(), c.path);
            EXPECT_EQ(doc.Model().hardware.bandStepCode, 2);
            EXPECT_EQ(doc.DefaultSplit(), 5.0);
        }
    }
}

TEST_F(DocumentTest, ReadFailuresKeepTheImageAndShowTheirMessage) {
    CRT62MDoc doc(prompter);
    doc.Model() = MakeFactoryImage(3);
    doc.SetDefaultSplit(1.5);
    RadioImage before = doc.Image();
    WriteBytes(P("short.r62"), std::vector<std::uint8_t>(100, 0xAB));

    EXPECT_FALSE(doc.ReadDataFile(P("short.r62")));
    EXPECT_FALSE(doc.ReadDataFile(P("missing.r62")));
    EXPECT_FALSE(doc.ReadDataFile(""));
    EXPECT_EQ(prompter.ids, (std::vector<int>{kStrReadFailed, kStrOpenFailed, kStrOpenFailed}));
    EXPECT_EQ(prompter.argsSeen[0], std::vector<std::string>{P("short.r62")});
    EXPECT_EQ(doc.Image(), before);
    EXPECT_EQ(doc.DefaultSplit(), 1.5);

    // A load that passes the probe but is short keeps the defaults and the path asked for.
    prompter.ids.clear();
    doc.Reload(P("short.r62"));
    EXPECT_EQ(prompter.ids, std::vector<int>{kStrReadFailed});
    EXPECT_FALSE(doc.IsFileLoaded());
    EXPECT_EQ(doc.CurrentPath(), P("short.r62"));
    ImageModel defaults;
    LoadDefaults(defaults);
    EXPECT_EQ(doc.Image(), defaults.image);
}

TEST_F(DocumentTest, TrailerOfAFileIsSanitized) {
    struct Case {
        double stored, loaded;
    } cases[] = {{0.6, 0.6},
                 {std::numeric_limits<double>::quiet_NaN(), 0.0},
                 {std::numeric_limits<double>::infinity(), 0.0},
                 {1234.5, 99.9},
                 {-100.0, -99.9}};
    for (const Case& c : cases) {
        WriteBytes(P("t.r62"), DataFileBytes(MakeFactoryImage(0).image, c.stored));
        CRT62MDoc doc(prompter);
        doc.Open(P("t.r62"));
        EXPECT_TRUE(doc.IsFileLoaded());
        EXPECT_EQ(doc.DefaultSplit(), c.loaded) << c.stored;
    }
    EXPECT_EQ(DefaultSplitBytes(1.0), (FileTrailerBytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));  // little-endian
}

TEST_F(DocumentTest, WriteIsCompleteAndLeavesNoScratchFile) {
    CRT62MDoc doc(prompter);
    doc.Model() = MakeFactoryImage(1);
    doc.SetDefaultSplit(-0.6);
    doc.SetModifiedFlag();
    WriteBytes(P("a.r62"), std::vector<std::uint8_t>(262, 0x55));
    fs::permissions(P("a.r62"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    ASSERT_TRUE(doc.WriteDataFile(P("a.r62")));
    EXPECT_TRUE(prompter.ids.empty());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(ReadAll(P("a.r62")), DataFileBytes(doc.Image(), -0.6));
    EXPECT_EQ(fs::status(P("a.r62")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Listing(dir), (std::vector<std::string>{"a.r62", "prog", "work"}));

    // Through a link, the link stays and the file it names gets the data.
    fs::create_symlink(P("a.r62"), P("link.r62"));
    doc.SetDefaultSplit(2.5);
    ASSERT_TRUE(doc.WriteDataFile(P("link.r62")));
    EXPECT_TRUE(fs::is_symlink(P("link.r62")));
    EXPECT_EQ(ReadAll(P("a.r62")), DataFileBytes(doc.Image(), 2.5));
}

TEST_F(DocumentTest, WriteFailuresKeepTheOldFileAndTheModifiedFlag) {
    std::vector<std::uint8_t> old(262, 0x77);
    WriteBytes(P("ro.r62"), old);
    fs::permissions(P("ro.r62"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    WriteBytes(P("plain"), {1, 2, 3});
    struct Case {
        std::string path;
    } cases[] = {{P("nofolder/x.r62")}, {P("plain/x.r62")}, {P("ro.r62")}, {P("prog")}, {""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CRT62MDoc doc(prompter);
        doc.SetModifiedFlag();
        prompter.ids.clear();
        EXPECT_FALSE(doc.WriteDataFile(c.path));
        EXPECT_EQ(prompter.ids, std::vector<int>{kStrCreateFailed});
        EXPECT_TRUE(doc.IsModified());
    }
    EXPECT_EQ(ReadAll(P("ro.r62")), old);
    EXPECT_EQ(Listing(dir), (std::vector<std::string>{"plain", "prog", "ro.r62", "work"}));
}

TEST_F(DocumentTest, SaveWritesTheNormalizedImageWithItsChecksum) {
    CRT62MDoc doc(prompter);
    doc.Model() = MakeFactoryImage(0);
    doc.Image()[0x12] = 0x01;  // scan bit of channel 1, decoded below so it survives normalization
    DecodeImage(doc.Model());
    doc.Image()[0xFC] = doc.Image()[0xFD] = 0;
    // Save As keeps the whole path, however long.
    std::string path = P(std::string(120, 'n') + ".r62");
    ASSERT_TRUE(doc.SaveAs(path));
    EXPECT_EQ(doc.Title(), path);
    std::vector<std::uint8_t> bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), kDataFileSize);
    RadioImage written;
    std::copy_n(bytes.begin(), kImageSize, written.begin());
    EXPECT_EQ(ReadImageChecksum(written), ComputeImageChecksum(written));
    EXPECT_NE(ReadImageChecksum(written), 0);
    EXPECT_EQ(written[0x12], 0x01);
}

TEST_F(DocumentTest, SaveRefusesReadOnlyNoFileAndUnconfirmedDefaultFile) {
    std::vector<std::uint8_t> old(262, 0x42);
    WriteBytes(P("ro.r62"), old);
    fs::permissions(P("ro.r62"), fs::perms::owner_read);
    WriteBytes(P("RT62Muhf1.r62"), old);

    struct Case {
        std::string path;
        std::deque<Answer> answers;
        std::vector<int> messages;
        bool saved;
    } cases[] = {
        {P("ro.r62"), {}, {kStrReadOnly}, false},
        {kNoPath, {}, {kStrOpenFailed}, false},
        {P("RT62Muhf1.r62"), {Answer::No}, {kStrWriteDefault}, false},
        {P("RT62Muhf1.r62"), {Answer::Yes}, {kStrWriteDefault}, true},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.path);
        CRT62MDoc doc(prompter);
        doc.SetCurrentPath(c.path);
        doc.SetModifiedFlag();
        prompter.ids.clear();
        prompter.argsSeen.clear();
        prompter.answers = c.answers;
        EXPECT_EQ(doc.Save(), c.saved);
        EXPECT_EQ(prompter.ids, c.messages);
        EXPECT_EQ(doc.IsModified(), !c.saved);
        if (c.messages[0] == kStrOpenFailed) {
            EXPECT_EQ(prompter.argsSeen[0], std::vector<std::string>{"<none>"});
        }
    }
    EXPECT_EQ(ReadAll(P("ro.r62")), old);
    EXPECT_EQ(ReadAll(P("RT62Muhf1.r62")).size(), kDataFileSize);
    EXPECT_NE(ReadAll(P("RT62Muhf1.r62")), old);
}

TEST_F(DocumentTest, SaveChangesQuestionStopsUnlessChangesAreSafe) {
    struct Case {
        const char* what;
        bool modified;
        std::deque<Answer> answers;
        std::optional<std::string> chosen;
        bool goOn;
        bool stillModified;
        bool written;
    } cases[] = {
        {"unmodified", false, {}, std::nullopt, true, false, false},
        {"cancel", true, {Answer::Cancel}, std::nullopt, false, true, false},
        {"no discards", true, {Answer::No}, std::nullopt, true, false, false},
        {"yes saves", true, {Answer::Yes}, std::string("saved.r62"), true, false, true},
        {"yes then save-as cancelled", true, {Answer::Yes}, std::nullopt, false, true, false},
        {"yes then unwritable", true, {Answer::Yes}, std::string("nofolder/x.r62"), false, true, false},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(P("saved.r62"));
        CRT62MDoc doc(prompter);
        doc.SetModifiedFlag(c.modified);
        prompter.answers = c.answers;
        prompter.ids.clear();
        int asked = 0;
        std::optional<std::string> chosen = c.chosen ? std::optional<std::string>(P(*c.chosen)) : std::nullopt;
        bool goOn = doc.AskSaveChanges([&] {
            ++asked;
            return chosen;
        });
        EXPECT_EQ(goOn, c.goOn);
        EXPECT_EQ(doc.IsModified(), c.stillModified);
        EXPECT_EQ(fs::exists(P("saved.r62")), c.written);
        EXPECT_EQ(asked, !c.answers.empty() && c.answers.front() == Answer::Yes ? 1 : 0);
        if (c.modified) {
            EXPECT_EQ(prompter.ids.front(), kStrSaveChanges);
        }
    }
}

TEST_F(DocumentTest, NewStopsWhenTheQuestionStops) {
    WriteBytes(P("f.r62"), DataFileBytes(MakeFactoryImage(3).image, 0.0));
    CRT62MDoc doc(prompter, P("prog"));
    doc.Open(P("f.r62"));
    doc.SetModifiedFlag();
    prompter.answers = {Answer::Yes};
    EXPECT_FALSE(doc.New([] { return std::optional<std::string>(); }));
    EXPECT_EQ(doc.CurrentPath(), P("f.r62"));
    EXPECT_EQ(doc.Model().hardware.bandStepCode, 3);

    prompter.answers = {Answer::No};
    EXPECT_TRUE(doc.New({}));
    EXPECT_EQ(doc.Model().hardware.bandStepCode, 0);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, NewDocumentSearchesDefaultFilesInItsOrder) {
    // Present files (by code) -> the one that is loaded.
    struct Case {
        std::vector<int> present;
        int loaded;  // -1: none, the default is written into the working folder
    } cases[] = {{{2}, 2}, {{1, 2}, 2}, {{3, 1}, 1}, {{0, 1, 2, 3}, 0}, {{3}, 3}, {{}, -1}};
    for (const Case& c : cases) {
        fs::remove_all(dir / "prog");
        fs::create_directories(dir / "prog");
        fs::remove(dir / "work" / kDefaultFileNames[0]);
        for (int code : c.present)
            WriteBytes(dir / "prog" / kDefaultFileNames[code], DataFileBytes(MakeFactoryImage(code).image, 0.0));
        CRT62MDoc doc(prompter, P("prog"));
        prompter.ids.clear();
        doc.OnNewDocument();
        EXPECT_TRUE(prompter.ids.empty());
        if (c.loaded >= 0) {
            EXPECT_EQ(doc.CurrentPath(), (dir / "prog" / kDefaultFileNames[c.loaded]).string());
            EXPECT_TRUE(doc.IsFileLoaded());
            EXPECT_EQ(doc.Model().hardware.bandStepCode, c.loaded);
            EXPECT_FALSE(fs::exists(dir / "work" / kDefaultFileNames[0]));
        } else {
            EXPECT_EQ(doc.CurrentPath(), "<none>");
            EXPECT_FALSE(doc.IsFileLoaded());
            EXPECT_EQ(ReadAll(dir / "work" / kDefaultFileNames[0]).size(), kDataFileSize);
        }
    }
}

TEST_F(DocumentTest, BandChangeLoadsTheBandsDefaultOrWritesIt) {
    WriteBytes(dir / "prog" / kDefaultFileNames[2], DataFileBytes(MakeFactoryImage(2).image, 0.0));
    CRT62MDoc doc(prompter, P("prog"));
    doc.Model() = MakeFactoryImage(0);
    EXPECT_TRUE(doc.LoadBandDefault(2));
    EXPECT_EQ(doc.CurrentPath(), (dir / "prog" / kDefaultFileNames[2]).string());
    EXPECT_EQ(doc.Model().hardware.bandStepCode, 2);

    doc.Model() = MakeFactoryImage(3);
    EXPECT_FALSE(doc.LoadBandDefault(3));
    EXPECT_EQ(doc.CurrentPath(), "<none>");
    std::vector<std::uint8_t> written = ReadAll(dir / "work" / kDefaultFileNames[3]);
    ASSERT_EQ(written.size(), kDataFileSize);
    EXPECT_TRUE(std::equal(doc.Image().begin(), doc.Image().end(), written.begin()));
    EXPECT_TRUE(prompter.ids.empty());
}

}  // namespace
}  // namespace rt62
