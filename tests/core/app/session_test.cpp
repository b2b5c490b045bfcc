// The session's use cases over the simulated radio: transfers and the steps they leave, the port
// policy, the backups, the text forms and comparisons, the fleet plan and the service password.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/app/session.h"
#include "core/image/catalogue.h"
#include "core/image/data_file.h"
#include "core/image/fields.h"
#include "core/image/sections.h"
#include "core/image/text_strings.h"
#include "core/link/sim_port.h"
#include "tests/core/image/file_test_support.h"
#include "tests/core/link/link_test_support.h"

namespace rt62 {
namespace {

namespace fs = std::filesystem;

RadioImage RadioSideImage() {
    ImageModel radio = MakeFactoryImage(0);
    radio.channels.at(0).rxFrequency = radio.channels.at(0).txFrequency = 155.5;
    radio.marketing.serialNumber = "7C123456";
    NormalizeImage(radio);
    return radio.image;
}

// A session over a factory VHF document opened from its file, and the direct cable to a simulated
// radio that holds other channels and a serial number of its own.
struct Bench {
    test::ScratchFolder scratch{"rt62app-"};
    fs::path dir = scratch.path;
    test::RecordingPrompter prompter;
    Session session{prompter};
    CRT62MDoc& doc = session.Document();
    std::shared_ptr<SimulatedRadio> radio = std::make_shared<SimulatedRadio>(RadioSideImage());
    std::string file = (dir / "site.r62").string();

    explicit Bench(const RadioImage* fileImage = nullptr) {
        ImageModel m = MakeFactoryImage(0);
        NormalizeImage(m);
        if (fileImage) m.image = *fileImage;
        const DataFileBytes bytes = MakeDataFileBytes(m.image, DefaultSplitBytes(0.0));
        test::WriteBytes(file, test::Bytes(bytes.begin(), bytes.end()));
        EXPECT_TRUE(session.Open(file, {}).ok);
        session.SetPort(std::make_unique<SimulatedSerialPort>(radio, SimulatedSerialPort::Clock::Virtual, false));
        session.Settings().backupFolder = (dir / "backups").string();
    }
    TransferEnd Run(TransferKind kind) {
        const Transfer t = session.PrepareTransfer(kind);
        CancelToken cancel;
        test::RecordingProgress progress;
        return session.FinishTransfer(t, RunTransferJob(t, cancel, progress, prompter));
    }
    RadioImage RadioNow() {
        return radio->With([](RadioEmulator& e) { return e.Image(); });
    }
    DataFileBytes FileBytes() const {
        const test::Bytes b = test::ReadAll(file);
        DataFileBytes out{};
        std::copy(b.begin(), b.end(), out.begin());
        return out;
    }
};

TEST(SessionTransfer, EachKindLeavesItsStep) {
    const struct {
        const char* name;
        TransferKind kind;
        bool modified;
        Answer overwrite;
        JobStatus status;
        std::vector<int> messages;
        bool takesRadioImage; // the document holds the radio's image afterwards, in no file
        const char* step;     // the undo step left, "" for none
        bool modifiedAfter;
        RefreshKind refresh;
        bool serviceMarketing = false; // in service mode, with edited marketing data
        bool edited = false;           // modified by an edit the history holds, as the window makes it
    } rows[] = {
        {"upload", TransferKind::Upload, false, Answer::Yes, JobStatus::Completed, {83}, true, "Upload", false,
         RefreshKind::Contents},
        {"upload over edits", TransferKind::Upload, true, Answer::Yes, JobStatus::Completed, {100, 83}, true,
         "Upload", false, RefreshKind::Contents},
        {"upload declined", TransferKind::Upload, true, Answer::No, JobStatus::Declined, {100}, false, "", true,
         RefreshKind::Contents},
        // The radio's serial number comes into the document, which stays saved.
        {"download", TransferKind::Download, false, Answer::Yes, JobStatus::Completed, {89}, false, "Download",
         false, RefreshKind::Grid},
        // Edits go to the radio: nothing of them is lost, so nothing is asked.
        {"download of edits", TransferKind::Download, true, Answer::No, JobStatus::Completed, {89}, false, "Download",
         true, RefreshKind::Grid, false, true},
        // The edited marketing data went out instead of the radio's: the mark is cleared.
        {"download of edited marketing data", TransferKind::Download, false, Answer::Yes, JobStatus::Completed,
         {89}, false, "Download", false, RefreshKind::Grid, true},
        {"read for a comparison", TransferKind::ReadRadio, true, Answer::No, JobStatus::Completed, {83}, false, "",
         true, RefreshKind::Contents},
    };
    for (const auto& r : rows) {
        Bench b;
        if (r.edited)
            b.session.History().Record("Edit", [&] {
                b.doc.Model().channels.at(2).squelch ^= 1;
                NormalizeImage(b.doc.Model()); // in the bytes too, as a transfer sends it
            });
        else
            b.doc.SetModifiedFlag(r.modified);
        b.doc.SetMarketingChanged(r.serviceMarketing);
        b.session.Settings().serviceMode = r.serviceMarketing;
        b.prompter.answers[kStrOverwrite] = r.overwrite;
        const RadioImage before = b.doc.Image();
        const TransferEnd end = b.Run(r.kind);
        EXPECT_EQ(end.status, r.status) << r.name;
        EXPECT_EQ(b.prompter.ids, r.messages) << r.name;
        EXPECT_EQ(end.refresh, r.refresh) << r.name;
        EXPECT_EQ(b.doc.Image() == RadioSideImage(), r.takesRadioImage) << r.name;
        EXPECT_EQ(b.doc.CurrentPath(), r.takesRadioImage ? std::string(kNoPath) : b.file) << r.name;
        EXPECT_EQ(b.session.History().UndoName(), r.step) << r.name;
        EXPECT_EQ(b.doc.IsModified(), r.modifiedAfter) << r.name;
        EXPECT_FALSE(b.doc.IsMarketingChanged()) << r.name;
        EXPECT_EQ(end.radioImage.has_value(), r.kind == TransferKind::ReadRadio) << r.name;
        if (r.kind == TransferKind::Download) {
            EXPECT_EQ(b.RadioNow(), b.doc.Image());
        }
        // Every image read from the radio was kept first; the direct cable's port stays open.
        EXPECT_EQ(ListBackups((b.dir / "backups").string()).size(), 1u) << r.name;
        EXPECT_TRUE(b.session.Port() && b.session.Port()->IsOpen()) << r.name;
        if (*r.step) {
            EXPECT_TRUE(b.session.History().Undo());
            EXPECT_EQ(b.doc.Image(), before) << r.name;
            EXPECT_EQ(b.doc.CurrentPath(), b.file) << r.name;
        }
    }
}

TEST(SessionTransfer, PortPolicy) {
    // COM16 is a port that will not open.
    const auto factory = [](const std::string& name) -> std::unique_ptr<SerialPort> {
        if (name != "COM16") return CreateSerialPort(name);
        auto port =
            std::make_unique<SimulatedSerialPort>(SharedSimulatedRadio(), SimulatedSerialPort::Clock::Virtual, false);
        port->SetOpenFails(true);
        return port;
    };
    const struct {
        const char* name;
        const char* portName;
        bool perTransfer;
        bool keepsBenchPort; // the bench's open port is the session's
        JobStatus status;
        std::vector<int> messages;
        bool portAfter;
    } rows[] = {
        {"the direct cable's port", "COM1", false, true, JobStatus::Completed, {83}, true},
        // One that would not open at start-up is made for the transfer, and kept.
        {"the direct cable's port made now", "sim:", false, false, JobStatus::Completed, {83}, true},
        // A name that is no port says what a port that will not open says.
        {"no port by that name", "nonsense", false, false, JobStatus::Failed, {80}, false},
        {"a port for the one transfer", "sim:", true, false, JobStatus::Completed, {83}, false},
        {"one that will not open", "COM16", true, false, JobStatus::Failed, {80}, false},
    };
    for (const auto& r : rows) {
        Bench b;
        if (!r.keepsBenchPort) b.session.SetPort(nullptr);
        b.session.Settings().portName = r.portName;
        b.session.Settings().portPerTransfer = r.perTransfer;
        b.session.SetPortFactory(factory);
        const RadioImage before = b.doc.Image();
        EXPECT_EQ(b.Run(TransferKind::Upload).status, r.status) << r.name;
        EXPECT_EQ(b.prompter.ids, r.messages) << r.name;
        EXPECT_EQ(b.session.Port() != nullptr, r.portAfter) << r.name;
        if (r.status != JobStatus::Completed) {
            EXPECT_EQ(b.doc.Image(), before) << r.name;
        }
    }
    // The port the window opens at start-up and after File > Configure, by the same rule.
    const struct {
        const char* portName;
        bool opens, made;
    } opens[] = {{"sim:", true, true}, {"COM16", false, true}, {"nonsense", false, false}};
    Bench b;
    b.session.SetPortFactory(factory);
    for (const auto& o : opens) {
        b.session.Settings().portName = o.portName;
        EXPECT_EQ(b.session.OpenPort(), o.opens) << o.portName;
        EXPECT_EQ(b.session.Port() != nullptr, o.made) << o.portName;
    }
}

TEST(SessionTransfer, RadiosImageIsBackedUpFirst) {
    const struct {
        const char* name;
        TransferKind kind;
        std::uint8_t writeAnswer; // the radio's answer to the write
        bool folderWorks;
        Answer goOn; // the answer to "go on without a backup?"
        JobStatus status;
        std::vector<int> messages;
    } rows[] = {
        {"upload", TransferKind::Upload, kAck, true, Answer::No, JobStatus::Completed, {83}},
        // The radio refuses the write: what it held is in the backup all the same.
        {"download refused by the radio", TransferKind::Download, kNak, true, Answer::No, JobStatus::Failed, {101}},
        {"no backup, go on", TransferKind::Download, kAck, false, Answer::Yes, JobStatus::Completed, {4210, 89}},
        {"no backup, stop", TransferKind::Download, kAck, false, Answer::No, JobStatus::Cancelled, {4210}},
        {"no backup, upload stopped", TransferKind::Upload, kAck, false, Answer::No, JobStatus::Cancelled, {4210}},
    };
    for (const auto& r : rows) {
        Bench b;
        b.radio->With([&](RadioEmulator& e) { e.MutableFaults().writeAnswer = r.writeAnswer; });
        if (!r.folderWorks) {
            test::WriteBytes(b.dir / "file", {1});
            b.session.Settings().backupFolder = (b.dir / "file" / "backups").string();
        }
        b.prompter.answers[kStrBackupFolderFailed] = r.goOn;
        const RadioImage radioBefore = b.RadioNow();
        const RadioImage docBefore = b.doc.Image();
        EXPECT_EQ(b.Run(r.kind).status, r.status) << r.name;
        EXPECT_EQ(b.prompter.ids, r.messages) << r.name;
        const std::vector<std::string> files = ListBackups((b.dir / "backups").string());
        ASSERT_EQ(files.size(), r.folderWorks ? 1u : 0u) << r.name;
        if (r.folderWorks) {
            const test::Bytes kept = test::ReadAll(files[0]);
            EXPECT_TRUE(std::equal(radioBefore.begin(), radioBefore.end(), kept.begin())) << r.name;
        }
        // Stopped at the backup: the radio was not written and the document kept its image.
        if (r.status == JobStatus::Cancelled) {
            EXPECT_EQ(b.RadioNow(), radioBefore) << r.name;
            EXPECT_EQ(b.doc.Image(), docBefore) << r.name;
        }
    }
}

// A file with a bit no field owns set, as another program may have left it, and where that bit is.
struct UnownedBitFile {
    RadioImage image{};
    std::size_t at = 0;
    std::uint8_t bit = 0;
};

UnownedBitFile WithUnownedBit() {
    UnownedBitFile f;
    ImageModel m = MakeFactoryImage(0);
    NormalizeImage(m);
    const DataFileMask& unowned = UnownedBits();
    for (f.at = 0x02; !unowned[f.at]; ++f.at) {
    }
    f.bit = unowned[f.at] & static_cast<std::uint8_t>(-unowned[f.at]); // its lowest unowned bit
    m.image[f.at] |= f.bit;
    StoreImageChecksum(m.image);
    f.image = m.image;
    return f;
}

#ifdef RT62_HAVE_YAML

TEST(SessionText, AnUneditedDocumentExportsAndComparesAsItsFile) {
    const UnownedBitFile file = WithUnownedBit();
    Bench b(&file.image);
    // The same text rt62m export gives for the file, and its import gives the bytes back.
    const TextImport back = b.session.ParseText(b.session.ExportText(TextKind::Yaml), TextKind::Yaml, false);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.bytes, b.FileBytes());
    EXPECT_TRUE(b.session.CompareWithFile(b.file).report.lines.empty());

    // A read for a comparison leaves the document's bytes as they are.
    ASSERT_TRUE(b.Run(TransferKind::ReadRadio).radioImage);
    EXPECT_EQ(b.doc.Image(), file.image);

    // An edit in the sections goes into the export, and is the one difference from the file.
    b.doc.Model().channels.at(0).rxFrequency = b.doc.Model().channels.at(0).txFrequency = 147.0;
    const Comparison c = b.session.CompareWithFile(b.file);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.report.lines.front().text.rfind("channels[1].receive: 147.00000 -> ", 0), 0u);
    EXPECT_EQ(c.cells.count({0, kColReceive}), 1u);
    EXPECT_EQ(b.session.Export((b.dir / "site.yaml").string(), TextKind::Yaml), true);
    EXPECT_FALSE(b.session.CompareWithFile((b.dir / "site.yaml").string()).report.Differs());

    // What goes to the radio is normalized: the bit is not written.
    b.session.Open(b.file, {});
    ASSERT_EQ(b.Run(TransferKind::Download).status, JobStatus::Completed);
    EXPECT_EQ(b.RadioNow()[file.at] & file.bit, 0);
}

TEST(SessionText, ImportIsOneStep) {
    const std::string header =
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,"
        "CrossMode,Mode,TStep,Skip,Power,Comment\n";
    const struct {
        const char* name;
        std::string text;
        bool ok;
        std::vector<int> messages;
        const char* skipped;
    } rows[] = {
        {"rows.csv",
         header + "1,A,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\n"
                  "20,C,147.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\n",
         true, {}, "row 3: location 20"},
        {"bad.yaml", "format: rt62m-1\nchannels:\n  3:\n    receive: 500.0\n", false, {kStrImportRefused},
         ""},
        {"missing.csv", "", false, {kStrOpenFailed}, ""},
    };
    for (const auto& r : rows) {
        Bench b;
        const std::string path = (b.dir / r.name).string();
        if (!r.text.empty()) test::WriteBytes(path, test::Bytes(r.text.begin(), r.text.end()));
        const RadioImage before = b.doc.Image();
        b.doc.SetMarketingChanged(true);
        const TextKind kind = std::string_view(r.name).ends_with(".csv") ? TextKind::Csv : TextKind::Yaml;
        const ImportOutcome out = b.session.Import(path, kind, {});
        EXPECT_EQ(out.ok, r.ok) << r.name;
        EXPECT_EQ(b.prompter.ids, r.messages) << r.name;
        EXPECT_EQ(out.skippedRows.rfind(r.skipped, 0), 0u) << r.name;
        if (!r.ok) {
            EXPECT_EQ(b.session.History().Count(), 0) << r.name;
            // The refusal lists the problems one a line, each with its place.
            if (r.messages.front() == kStrImportRefused) {
                EXPECT_EQ(b.prompter.args[0][0].rfind("line 4, column 14: channels[3].receive", 0), 0u);
            }
            continue;
        }
        EXPECT_NEAR(b.doc.Model().channels.at(0).rxFrequency, 146.52, 1e-9);
        EXPECT_EQ(b.doc.CurrentPath(), kNoPath);
        EXPECT_TRUE(b.doc.IsModified() && !b.doc.IsFileLoaded() && !b.doc.IsMarketingChanged());
        EXPECT_EQ(b.session.History().UndoName(), "Import");
        b.session.History().Undo();
        EXPECT_EQ(b.doc.Image(), before);
        EXPECT_EQ(b.doc.CurrentPath(), b.file);
        EXPECT_FALSE(b.doc.IsModified());
    }
}

TEST(SessionFiles, LoadsStartAFreshHistoryAndSavesMarkIt) {
    Bench b;
    const auto edit = [&](double mhz) {
        return b.session.History().Record("Edit", [&] {
            b.doc.Model().channels.at(0).rxFrequency = b.doc.Model().channels.at(0).txFrequency = mhz;
        });
    };
    ASSERT_TRUE(edit(147.0));
    const std::string other = (b.dir / "other.r62").string();
    EXPECT_TRUE(b.session.SaveAs(other).ok);
    EXPECT_TRUE(b.doc.CurrentPath() == other && !b.doc.IsModified() && b.session.History().IsClean());
    ASSERT_TRUE(edit(148.0));
    EXPECT_TRUE(b.session.Save().ok);
    EXPECT_FALSE(b.doc.IsModified());
    EXPECT_EQ(b.session.History().Count(), 2);

    const Outcome opened = b.session.Open(b.file, {});
    EXPECT_TRUE(opened.ok && opened.refresh == RefreshKind::Contents);
    EXPECT_EQ(b.session.History().Count(), 0);
    // A stream is a data file only when it has the size of one.
    EXPECT_FALSE(b.session.OpenBytes(std::vector<std::uint8_t>(10), "-").ok);
    EXPECT_EQ(b.prompter.ids, std::vector<int>{kStrBadFormat});
    const DataFileBytes saved = b.FileBytes();
    EXPECT_TRUE(b.session.OpenBytes(saved, "-").ok);
    EXPECT_EQ(b.doc.CurrentPath(), "-");

    b.session.NewFactory(2);
    EXPECT_TRUE(!b.doc.HasFile() && !b.doc.IsFileLoaded() && !b.doc.IsModified());
    EXPECT_EQ(b.doc.Model().hardware.bandStepCode, 2);
#ifdef RT62_HAVE_YAML
    // A YAML text opens as the document, as the file it was exported from.
    const std::string text = (b.dir / "other.yaml").string();
    ASSERT_TRUE(b.session.Export(text, TextKind::Yaml));
    ASSERT_TRUE(b.session.OpenDataFileOrText(other).ok);
    EXPECT_TRUE(b.session.OpenDataFileOrText(text).ok);
    EXPECT_TRUE(b.doc.CurrentPath() == text && b.doc.Model().hardware.bandStepCode == 2);
#endif
}

TEST(SessionText, VerifyAfterADownloadFindsNothingThatCounts) {
    Bench b;
    b.doc.Model().channels.at(5).rxFrequency = b.doc.Model().channels.at(5).txFrequency = 160.25;
    ASSERT_EQ(b.Run(TransferKind::Download).status, JobStatus::Completed);
    const TransferEnd read = b.Run(TransferKind::ReadRadio);
    ASSERT_TRUE(read.radioImage);
    const Comparison c = b.session.CompareWithRadio(*read.radioImage);
    EXPECT_TRUE(c.ok);
    EXPECT_FALSE(c.report.Differs());
    EXPECT_TRUE(c.cells.empty());

    // A channel edited since: the one difference, the radio's value first, as rt62m verify prints it.
    b.doc.Model().channels.at(5).rxFrequency = b.doc.Model().channels.at(5).txFrequency = 161.25;
    const Comparison edited = b.session.CompareWithRadio(*read.radioImage);
    ASSERT_TRUE(edited.report.Differs());
    EXPECT_EQ(edited.report.lines.front().text.rfind("channels[6].receive: 160.25000 -> 161.25000", 0), 0u)
        << edited.report.lines.front().text;
    EXPECT_EQ(edited.cells.count({5, kColReceive}), 1u);
}

#endif

TEST(SessionPaste, OneStepNamedAfterTheCellOrTheCopy) {
    const struct {
        int column;
        const char* text;
        Answer copy; // the answer to "Do you copy Ch%1 data to Ch %2?"
        PasteOutcome outcome;
        std::vector<int> messages;
        const char* step; // "" for none
    } rows[] = {
        {kColReceive, "146.52", Answer::Yes, PasteOutcome::Stored, {}, "Paste Ch 2 Receive"},
        {kColReceive, "lots", Answer::Yes, PasteOutcome::Refused, {}, ""},
        {kColChannel, "1", Answer::Yes, PasteOutcome::CopyConfirmed, {kStrCopyChannelQuestion}, "Copy Ch 1 to Ch 2"},
        {kColChannel, "1", Answer::No, PasteOutcome::CopyDeclined, {kStrCopyChannelQuestion}, ""},
    };
    for (const auto& r : rows) {
        Bench b;
        b.doc.Model().channels.at(0).rxFrequency = b.doc.Model().channels.at(0).txFrequency = 150.0;
        b.prompter.answers[kStrCopyChannelQuestion] = r.copy;
        ColumnItemValues items;
        items.fill(1);
        EXPECT_EQ(b.session.Paste(1, r.column, r.text, items).outcome, r.outcome) << r.text;
        EXPECT_EQ(b.prompter.ids, r.messages) << r.text;
        EXPECT_EQ(b.session.History().UndoName(), r.step) << r.text;
        EXPECT_EQ(b.doc.IsModified(), *r.step != 0) << r.text;
    }
}

TEST(SessionFleet, PlanIsTheSavedTemplate) {
    Bench b;
    b.session.Settings().portName = "sim:fleet";
    b.session.Settings().portPerTransfer = true;
    b.session.Settings().giveUpAfter = std::chrono::milliseconds(1500);
    b.doc.SetModifiedFlag(true);
    EXPECT_FALSE(b.session.PrepareFleet()) << "changes not saved: nothing runs";
    b.doc.SetModifiedFlag(false);
    const std::optional<FleetPlan> plan = b.session.PrepareFleet();
    ASSERT_TRUE(plan && plan->port);
    EXPECT_EQ(plan->request.count, 1);
    EXPECT_EQ(plan->request.templateImage, b.doc.Image());
    EXPECT_EQ(plan->request.backup.folder, (b.dir / "backups").string());
    EXPECT_EQ(plan->request.giveUpAfter, std::chrono::milliseconds(1500));
    b.session.FinishFleet();
    EXPECT_EQ(b.session.Port(), nullptr);
    EXPECT_TRUE(b.prompter.ids.empty());
}

TEST(SessionSettings, ServicePassword) {
    const struct {
        const char* typed;
        bool right;
    } rows[] = {{"melto-varis", true}, {"MELTO-Varis", true}, {"melto-vari", false}, {"melto-varis ", false},
                {"", false}};
    for (const auto& r : rows)
        EXPECT_EQ(IsServicePassword(r.typed), r.right) << r.typed;
}

} // namespace
} // namespace rt62
