// The window's text forms: Export then Import, the one message of an import's problems, and Compare
// with File / with Radio marking the differing grid cells until the next edit.
#include <QtTest>

#ifdef RT62_HAVE_YAML

#include "gui/common/app_settings.h"
#include "gui/app/config_dialog.h"
#include "gui/app/ini_settings.h"
#include "gui/app/main_frame.h"
#include "gui/app/text_forms.h"
#include "gui/editor/channel_grid_model.h"
#include "gui/editor/form_view.h"
#include "gui/editor/grid_editing.h"
#include "core/image/catalogue.h"
#include "core/image/document.h"
#include "core/image/model.h"
#include "core/image/text_strings.h"
#include "core/link/serial_port.h"
#include "core/link/sim_port.h"
#include "core/text/field_diff.h"
#include "core/text/rebuild.h"
#include "core/text/yaml_text.h"

#include "tests/gui/window_test_support.h"

#include <QTableView>
#include <QTemporaryDir>

using namespace rt62;
using test::FakePort;
using test::ScriptedPrompter;

namespace {

// A frame over an edited document, and a folder for its files.
struct Fixture {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    AppSettings settings;
    FakePort portControl;
    Session session{prompter};
    CRT62MDoc& doc = session.Document();
    std::unique_ptr<CMainFrame> frame;
    std::string nextPath;

    Fixture() {
        doc.Model() = EditedModel();
        doc.SetCurrentPath(path("site.r62"));
        doc.SetFileLoaded(true);
        frame = std::make_unique<CMainFrame>(
            FrameContext{session, settings, IniSettings(dir.filePath("RT62MWin.ini")), prompter, portControl});
        frame->setTextChooser([this](int) { return std::optional<std::string>(nextPath); });
        frame->setSaveAsChooser([] { return std::optional<std::string>(); });
        frame->view()->FullRefresh();
    }
    static ImageModel EditedModel() {
        ImageModel m = MakeFactoryImage(0);
        m.channels.at(2).inUse = 1;
        m.channels.at(2).rxFrequency = 147.0;
        m.channels.at(2).txFrequency = 147.6;
        m.channels.at(4).inUse = 1;
        m.channels.at(4).narrow = 1;
        m.marketing.serialNumber = "3D000123";
        NormalizeImage(m);
        return m;
    }
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    void run(int id, const std::string& file) {
        nextPath = file;
        frame->trigger(id);
    }
    DataFileBytes bytes() { return DataFileOfModel(doc.Model()); }
    std::string write(const char* name, const std::string& text) const {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly)) f.write(text.data(), static_cast<qint64>(text.size()));
        return f.fileName().toStdString();
    }
    DifferencesDialog* differences() const { return frame->findChild<DifferencesDialog*>(); }
};

std::string DiffLinesText(const DiffReport& report) {
    std::string out;
    for (const DiffLine& l : report.lines)
        out += l.text + "\n";
    return out;
}

} // namespace

class TextFormsTest : public QObject {
    Q_OBJECT
  private slots:
    void exportThenImportGivesTheSameBytes();
    void importProblemsInOneMessage();
    void compareWithFileMarksCellsUntilAnEdit();
    void compareWithRadioKeepsTheDocument();
};

void TextFormsTest::exportThenImportGivesTheSameBytes() {
    for (const char* name : {"site.yaml", "site.csv"}) {
        Fixture f;
        const DataFileBytes before = f.bytes();
        const std::string file = f.path(name);
        f.run(cmd::Export, file);
        QVERIFY2(QFile::exists(QString::fromStdString(file)), name);

        // Edit a channel the export holds; the import, after the save question (No), brings it back.
        f.doc.Model().channels.at(2).narrow ^= 1;
        f.doc.Model().channels.at(2).power ^= 1;
        NormalizeImage(f.doc.Model());
        f.doc.SetModifiedFlag(true);
        f.prompter.answers = {Answer::No};
        f.run(cmd::Import, file);
        QCOMPARE(f.prompter.shown, std::vector<int>{kStrSaveChanges});
        QVERIFY2(f.bytes() == before, DiffLinesText(DiffDataFiles(before, f.bytes())).c_str());
        // The result is in no file yet: the title says so and closing would ask to save it.
        QCOMPARE(f.doc.CurrentPath(), std::string(kNoPath));
        QVERIFY(f.doc.IsModified());
        QCOMPARE(f.frame->view()->gridModel()->index(2, kColReceive).data().toString().trimmed(),
                 QStringLiteral("147.00000"));
    }
}

void TextFormsTest::importProblemsInOneMessage() {
    struct Row {
        const char* name;
        std::string text;
        int message;
        bool replaced;
        std::vector<std::string> listed; // texts the message's last argument holds
    };
    const std::string header = std::string(
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,"
        "CrossMode,Mode,TStep,Skip,Power,Comment\n");
    const Row rows[] = {
        {"mixed.csv",
         header + "1,A,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\n"
                  "2,B,146.940000,-,0.600000,Tone,150.0,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\n"
                  "20,C,147.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\n",
         kStrImportSkipped,
         true,
         {"row 3: tone 150.0 Hz", "row 4: location 20"}},
        {"bad.yaml",
         "format: rt62m-1\nchannels:\n  3:\n    receive: 500.0\n  4:\n    wide: maybe\n",
         kStrImportRefused,
         false,
         {"line 4, column 14: channels[3].receive", "line 6", "channels[4].wide"}},
        {"nothing.csv", "just,some,words\n", kStrImportRefused, false, {"no Location column"}},
    };
    for (const Row& r : rows) {
        Fixture f;
        const DataFileBytes before = f.bytes();
        f.run(cmd::Import, f.write(r.name, r.text));
        // One message; a refused file asks no save question and leaves the document.
        QCOMPARE(f.prompter.shown, std::vector<int>{r.message});
        const std::string& listed = f.prompter.args[0].back();
        for (const std::string& part : r.listed)
            QVERIFY2(listed.find(part) != std::string::npos, listed.c_str());
        QCOMPARE(f.bytes() != before, r.replaced);
        if (r.replaced) {
            QCOMPARE(f.prompter.args[0].front(), std::string("1 channel imported, 2 rows skipped"));
            QCOMPARE(f.doc.Model().channels.at(0).rxFrequency, 146.52);
        } else {
            QCOMPARE(f.doc.CurrentPath(), f.path("site.r62"));
        }
    }
}

void TextFormsTest::compareWithFileMarksCellsUntilAnEdit() {
    Fixture f;
    ImageModel other = Fixture::EditedModel();
    other.channels.at(2).rxFrequency = 147.5; // channel 3's receive only
    other.channels.at(4).narrow = 0;          // channel 5's W/N
    NormalizeImage(other);
    ScriptedPrompter p;
    const std::string file = f.path("other.r62");
    QVERIFY(WriteDataFile(p, file, DataFileOfModel(other)));

    for (const std::string& compared : {file, f.write("other.yaml", ExportYaml(DataFileOfModel(other)))}) {
        f.run(cmd::CompareFile, compared);
        DifferencesDialog* dlg = f.differences();
        QVERIFY(dlg);
        // The same lines as rt62m diff prints: the fields, then the checksum.
        const QStringList lines = dlg->lines();
        QCOMPARE(lines.mid(0, 2), QStringList({"channels[3].receive: 147.00000 -> 147.50000",
                                               "channels[5].wide: false -> true"}));
        QVERIFY(lines.size() == 3 && lines[2].startsWith("checksum: "));
        const std::set<std::pair<int, int>> marked = {{2, kColReceive}, {4, kColWideNarrow}};
        QCOMPARE(f.frame->view()->gridModel()->marks(), marked);
        const QModelIndex cell = f.frame->view()->gridModel()->index(2, kColReceive);
        QCOMPARE(cell.data(Qt::BackgroundRole).value<QColor>(),
                 f.frame->view()->grid()->palette().color(QPalette::Active, QPalette::ToolTipBase));
        dlg->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // An edit of any cell clears the marks; a file without differences says so and marks nothing.
    QTableView* grid = f.frame->view()->grid();
    grid->setCurrentIndex(grid->model()->index(0, kColScan));
    f.frame->view()->editing()->SpaceAction(kColScan);
    QVERIFY(f.frame->view()->gridModel()->marks().empty());
    QVERIFY(!f.frame->view()->gridModel()->index(2, kColReceive).data(Qt::BackgroundRole).isValid());

    f.prompter.shown.clear();
    NormalizeImage(f.doc.Model()); // the grid edit is in the sections until a save
    f.run(cmd::CompareFile, f.write("same.yaml", ExportYaml(f.bytes())));
    QCOMPARE(f.prompter.shown, std::vector<int>{kStrNoDifferences});
    f.prompter.shown.clear();
    f.run(cmd::CompareFile, f.write("short.r62", "abc"));
    QCOMPARE(f.prompter.shown, std::vector<int>{kStrCompareRefused});
}

void TextFormsTest::compareWithRadioKeepsTheDocument() {
    Fixture f;
    ImageModel radioSide = Fixture::EditedModel();
    radioSide.channels.at(2).rxFrequency = 147.5;
    NormalizeImage(radioSide);
    auto radio = std::make_shared<SimulatedRadio>(radioSide.image);
    f.session.SetPort(std::make_unique<SimulatedSerialPort>(radio, SimulatedSerialPort::Clock::Real, false));
    f.doc.SetModifiedFlag(true); // no overwrite question: nothing is replaced
    const DataFileBytes before = f.bytes();

    f.frame->trigger(cmd::CompareRadio);
    DifferencesDialog* dlg = f.differences();
    QVERIFY(dlg);
    QVERIFY2(dlg->lines().contains("channels[3].receive: 147.50000 -> 147.00000"),
             qPrintable(dlg->lines().join('\n')));
    QVERIFY(f.bytes() == before);
    QCOMPARE(f.doc.CurrentPath(), f.path("site.r62"));
    QVERIFY(f.doc.IsModified());
    const std::set<std::pair<int, int>> marked = {{2, kColReceive}};
    QCOMPARE(f.frame->view()->gridModel()->marks(), marked);
}

QTEST_MAIN(TextFormsTest)
#include "text_forms_test.moc"

#else

class TextFormsTest : public QObject {
    Q_OBJECT
  private slots:
    void skipped() { QSKIP("built without the YAML text form"); }
};

QTEST_MAIN(TextFormsTest)
#include "text_forms_test.moc"

#endif
