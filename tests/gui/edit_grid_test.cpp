// Editing the channel grid with keys and the mouse: the in-place editor, Space actions, tone choice,
// DCS complement, clipboard and channel copy, column switches.
#include "app/app_settings.h"
#include "editor/channel_grid_model.h"
#include "editor/form_view.h"
#include "editor/grid_cell_edit.h"
#include "editor/grid_editing.h"
#include "image/document.h"
#include "image/model.h"
#include "image/tones.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

#include <functional>
#include <optional>

using namespace rt62;

namespace {

// Records each question with its arguments; answers Yes unless told otherwise.
struct ScriptedPrompter : Prompter {
    Answer answer = Answer::Yes;
    std::vector<std::pair<int, std::vector<std::string>>> asked;
    Answer show(int id, Buttons, Icon, const std::vector<std::string>& a = {}) override {
        asked.emplace_back(id, a);
        return answer;
    }
};

using Craft = std::function<void(ImageModel&)>;

constexpr int kKtTrunk = 0x80, kPaging = 0x40, kBoardEncryption = 0x20, kAniOption = 0x02, kEncryption = 0x01;

// A VHF factory document (split 0.6 MHz) in a shown, active view with the grid focused.
struct Fixture {
    ScriptedPrompter prompter;
    CRT62MDoc doc{prompter};
    AppSettings settings;
    CRT62MView view{doc, settings};
    GridEditing& editing = *view.editing();
    QTableView& grid = *view.grid();
    int beeps = 0;
    std::vector<std::pair<int, int>> valuePicks; // mode, current
    std::vector<std::tuple<int, bool, int>> tonePicks;
    std::optional<int> pickAnswer;

    explicit Fixture(const Craft& craft = {}, std::uint8_t option = 0) {
        doc.Model() = MakeFactoryImage(0);
        doc.Model().defaultSplit = 0.6;
        if (craft) craft(doc.Model());
        NormalizeImage(doc.Model());
        doc.Model().image[0xBE] = option;
        DecodeImage(doc.Model());
        editing.beep = [this] { ++beeps; };
        editing.pickValue = [this](int mode, int current) {
            valuePicks.emplace_back(mode, current);
            return pickAnswer;
        };
        editing.pickTone = [this](int column, bool dcs, int index) {
            tonePicks.emplace_back(column, dcs, index);
            return pickAnswer;
        };
        view.resize(1100, 520);
        view.show();
        view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        view.FullRefresh();
        grid.setFocus();
        QApplication::processEvents();
    }
    ChannelEntry& entry(int n) { return doc.Model().channels.at(n); }
    QString cell(int n, int column) const { return view.gridModel()->index(n, column).data().toString(); }
    void select(int n, int column) {
        grid.setCurrentIndex(view.gridModel()->index(n, column));
        doc.SetModifiedFlag(false);
    }
    GridCellEdit& edit() { return *editing.cellEdit(); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&grid, k, m); }
    // Typing on the grid: every key goes to whatever has the focus, as it would from the keyboard.
    void type(const QString& text) {
        for (QChar c : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
    QPoint cellCentre(int n, int column) const {
        return grid.visualRect(view.gridModel()->index(n, column)).center();
    }
};

} // namespace

class EditGridTest : public QObject {
    Q_OBJECT
  private slots:
    void typedReceiveSetsBothFrequencies();
    void editorCommits_data();
    void editorCommits();
    void inhibitedTransmitSeedsTheFrequency();
    void focusLossCommitsIntoTheEditedCell_data();
    void focusLossCommitsIntoTheEditedCell();
    void spaceAction_data();
    void spaceAction();
    void mouseAndUnusedChannels();
    void pickListsThroughSpaceAndEnter();
    void dcsComplementAndStrayKeys();
    void clipboardAndChannelCopy();
    void copyAndPasteInTheEditor();
};

void EditGridTest::typedReceiveSetsBothFrequencies() {
    Fixture f;
    f.select(15, kColReceive);
    QTest::keyClick(&f.grid, Qt::Key_1);
    QCOMPARE(QApplication::focusWidget(), &f.edit());
    QCOMPARE(f.edit().text(), QString("1")); // just the typed character, the caret after it
    QVERIFY(!f.edit().hasSelectedText());
    // Laid over the cell (scrolled into view), one pixel over its grid lines.
    const QRect cell = f.grid.visualRect(f.view.gridModel()->index(15, kColReceive));
    QVERIFY(f.grid.viewport()->rect().contains(cell));
    const QPoint topLeft = f.grid.viewport()->mapTo(&f.view, cell.topLeft());
    QCOMPARE(f.edit().geometry(), QRect(topLeft, cell.size()).adjusted(-1, -1, 1, 1));

    QTest::keyClicks(&f.edit(), "46.52");
    QTest::keyClick(&f.edit(), Qt::Key_Return);
    QCOMPARE(f.cell(15, kColReceive), QString("146.52000"));
    QCOMPARE(f.cell(15, kColTransmit), QString("147.12000"));
}

void EditGridTest::editorCommits_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("receive");
    QTest::addColumn<QString>("transmit");
    QTest::addColumn<bool>("escape"); // leaves the editor by Escape instead of Enter
    // Factory channel: 150.00000 both ways; split 0.6.
    QTest::newRow("zero clamps to the lower limit") << 2 << "0" << "134.00000" << "134.60000" << false;
    QTest::newRow("above the band clamps") << 2 << "200" << "174.00000" << "174.00000" << false;
    QTest::newRow("Space opens with a blank") << 2 << " " << "134.00000" << "134.60000" << false;
    QTest::newRow("letters dropped") << 2 << "1a5b2x" << "152.00000" << "152.60000" << false;
    QTest::newRow("ten characters keep nine") << 2 << "152.000009" << "152.00000" << "152.60000" << false;
    QTest::newRow("transmit leaves receive") << 3 << "155.5" << "150.00000" << "155.50000" << false;
    QTest::newRow("Escape abandons") << 2 << "146.52" << "150.00000" << "150.00000" << true;
}

void EditGridTest::editorCommits() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(bool, escape);
    Fixture f;
    f.select(2, column);
    f.type(typed);
    QVERIFY(f.edit().text().size() <= GridCellEdit::kMaxChars);
    QTest::keyClick(&f.edit(), escape ? Qt::Key_Escape : Qt::Key_Enter);
    QVERIFY(!f.editing.isEditing() && f.edit().isHidden());
    QCOMPARE(QApplication::focusWidget(), &f.grid);
    QTEST(f.cell(2, kColReceive), "receive");
    QTEST(f.cell(2, kColTransmit), "transmit");
    QCOMPARE(f.doc.IsModified(), !escape);
}

void EditGridTest::inhibitedTransmitSeedsTheFrequency() {
    Fixture f([](ImageModel& m) {
        m.channels.at(3).txFrequency = 146.52;
        m.channels.at(3).txInhibit = 1;
    });
    f.select(3, kColTransmit);
    QCOMPARE(f.cell(3, kColTransmit), QString("---.-----"));
    f.key(Qt::Key_Return);
    QCOMPARE(f.edit().selectedText(), QString("146.52000"));
    f.edit().setText("147");
    QTest::keyClick(&f.edit(), Qt::Key_Return);
    QCOMPARE(f.entry(3).txInhibit, 1);
    QCOMPARE(f.entry(3).txFrequency, 147.0);
    QCOMPARE(f.cell(3, kColTransmit), QString("---.-----"));
}

void EditGridTest::focusLossCommitsIntoTheEditedCell_data() {
    QTest::addColumn<QString>("how");
    for (const char* how : {"click on another cell", "scrolling the grid", "a menu", "current cell moved first"})
        QTest::newRow(how) << QString(how);
}

void EditGridTest::focusLossCommitsIntoTheEditedCell() {
    QFETCH(QString, how);
    Fixture f;
    f.view.resize(1100, 220); // fewer rows than channels: the grid can scroll
    QApplication::processEvents();
    f.select(2, kColReceive);
    f.type("160");
    QMenu menu;
    menu.addAction(QStringLiteral("Paste"));
    if (how.startsWith("click")) {
        QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.cellCentre(0, kColPower));
        QCOMPARE(f.doc.Model().channels.currentChannel, 0);
    } else if (how.startsWith("scroll")) {
        f.grid.verticalScrollBar()->setValue(f.grid.verticalScrollBar()->maximum());
    } else if (how == "a menu") {
        menu.popup(f.view.mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitFor([&] { return !f.editing.isEditing(); }));
        menu.close();
    } else {
        f.grid.setCurrentIndex(f.view.gridModel()->index(0, kColReceive));
        f.grid.setFocus();
    }
    QVERIFY(!f.editing.isEditing());
    QCOMPARE(f.entry(2).rxFrequency, 160.0);
    QCOMPARE(f.entry(0).rxFrequency, 150.0);
    QVERIFY(QTest::qWaitFor([&] { return QApplication::focusWidget() == &f.grid; }));
}

void EditGridTest::spaceAction_data() {
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("beeps");
    // Channel 8 (index 7) is crafted: Dec DCS 023, Enc CTCSS 67.0; channel 10 is not in use.
    QTest::newRow("channel 1 stays in use") << 0 << 0 << 0 << "  1" << "  1" << true << 0;
    QTest::newRow("W/N") << 1 << 1 << 0 << "W" << "N" << true << 0;
    QTest::newRow("TX inhibit") << 1 << 3 << 0 << "150.00000" << "---.-----" << true << 0;
    QTest::newRow("Dec none to CTCSS") << 1 << 4 << 0 << "-------" << "C- 67.0" << true << 0;
    QTest::newRow("Dec DCS to none") << 7 << 4 << 0 << "D-023  " << "-------" << true << 0;
    QTest::newRow("Enc CTCSS to DCS") << 7 << 5 << 0 << "C- 67.0" << "D-023  " << true << 0;
    QTest::newRow("H/L") << 1 << 8 << 0 << "H" << "L" << true << 0;
    QTest::newRow("VTS gate closed") << 1 << 10 << 0 << "-" << "-" << true << 0;
    QTest::newRow("VTS gate open") << 1 << 10 << kKtTrunk << "-" << "v" << true << 0;
    QTest::newRow("lock out") << 1 << 12 << 0 << "--" << "BC" << true << 0;
    QTest::newRow("ANI open") << 1 << 14 << 0 << "-" << "v" << true << 0;
    QTest::newRow("ANI gate closed") << 1 << 14 << kAniOption << "-" << "-" << true << 0;
    QTest::newRow("Encr gate closed") << 1 << 15 << 0 << "-" << "-" << true << 0;
    QTest::newRow("Encr by board bit 5") << 1 << 15 << kBoardEncryption << "-" << "v" << true << 0;
    QTest::newRow("PROX beeps without DCS on both") << 7 << 17 << 0 << "-" << "-" << false << 1;
    QTest::newRow("two-tone S") << 1 << 19 << 0 << "-" << "v" << true << 0;
    QTest::newRow("unused channel ignores W/N") << 9 << 1 << 0 << "W" << "W" << false << 0;
}

void EditGridTest::spaceAction() {
    QFETCH(int, channel);
    QFETCH(int, column);
    QFETCH(int, option);
    Fixture f(
        [](ImageModel& m) {
            ChannelEntry& e = m.channels.at(7);
            e.decKind = kToneDcs;
            e.encKind = kToneCtcss;
            m.channels.at(9).inUse = 0;
        },
        static_cast<std::uint8_t>(option));
    f.select(channel, column);
    QTEST(f.cell(channel, column), "before");
    f.key(Qt::Key_Space);
    QTEST(f.cell(channel, column), "after");
    QTEST(f.doc.IsModified(), "modified");
    QTEST(f.beeps, "beeps");
    QVERIFY(!f.editing.isEditing());
}

void EditGridTest::mouseAndUnusedChannels() {
    Fixture f([](ImageModel& m) {
        ChannelEntry& e = m.channels.at(1);
        e.decKind = kToneDcs;
        e.encKind = kToneDcs;
        e.prox = 1;
    });
    // Switching channel 2 off by its number cell recolours the row and keeps its texts.
    const QVariant activeColour = f.view.gridModel()->index(1, kColReceive).data(Qt::ForegroundRole);
    QTest::mouseDClick(f.grid.viewport(), Qt::LeftButton, {}, f.cellCentre(1, kColChannel));
    QCOMPARE(f.entry(1).inUse, 0);
    QVERIFY(f.view.gridModel()->index(1, kColReceive).data(Qt::ForegroundRole) != activeColour);
    QCOMPARE(f.cell(1, kColReceive), QString("150.00000"));
    for (int column : {kColReceive, kColTransmit}) { // nothing opens the editor on it
        f.select(1, column);
        f.key(Qt::Key_Return);
        f.type("1");
        QTest::mouseDClick(f.grid.viewport(), Qt::LeftButton, {}, f.cellCentre(1, column));
        QVERIFY(!f.editing.isEditing() && !f.doc.IsModified());
    }
    QTest::mouseDClick(f.grid.viewport(), Qt::LeftButton, {}, f.cellCentre(1, kColChannel));
    QCOMPARE(f.entry(1).inUse, 1);

    // Space on Dec with both DCS and PROX on: Dec becomes none and PROX goes off.
    f.select(1, kColDec);
    f.key(Qt::Key_Space);
    QCOMPARE(f.cell(1, kColDec), QString("-------"));
    QCOMPARE(f.cell(1, kColProx), QString("-"));
}

void EditGridTest::pickListsThroughSpaceAndEnter() {
    Fixture f(
        [](ImageModel& m) {
            ChannelEntry& e = m.channels.at(2);
            e.decKind = kToneCtcss;
            e.decCtcss = 12;
            e.encKind = kToneDcs;
            e.encDcs = 40;
        },
        kPaging);
    f.pickAnswer.reset(); // Cancel: unchanged, still modified
    f.select(2, kColTwoToneP);
    f.key(Qt::Key_Space);
    QCOMPARE(f.valuePicks.back(), std::make_pair(18, 0));
    QCOMPARE(f.cell(2, kColTwoToneP), QString("-"));
    QVERIFY(f.doc.IsModified());

    f.pickAnswer = 4;
    f.select(2, kColPage);
    f.key(Qt::Key_Space);
    QCOMPARE(f.cell(2, kColPage), QString(" 4"));
    f.pickAnswer = 0; // "Off"
    f.key(Qt::Key_Space);
    QCOMPARE(f.entry(2).pagePresent, 0);

    f.pickAnswer = 3;
    f.select(2, kColDec);
    f.key(Qt::Key_Return);
    QCOMPARE(f.tonePicks.back(), std::make_tuple(4, false, 12));
    QCOMPARE(f.cell(2, kColDec), QString("C- 74.4"));
    QTest::mouseDClick(f.grid.viewport(), Qt::LeftButton, {}, f.cellCentre(2, kColEnc));
    QCOMPARE(f.tonePicks.back(), std::make_tuple(5, true, 40));
    QCOMPARE(f.entry(2).encDcs, 3);

    const std::size_t picks = f.tonePicks.size(); // a tone of kind none beeps and opens nothing
    f.select(5, kColDec);
    f.key(Qt::Key_Return);
    QCOMPARE(f.beeps, 1);
    QCOMPARE(f.tonePicks.size(), picks);
    QVERIFY(!f.doc.IsModified());
}

void EditGridTest::dcsComplementAndStrayKeys() {
    Fixture f([](ImageModel& m) {
        m.channels.at(0).decKind = kToneDcs;
        m.channels.at(0).encKind = kToneCtcss;
    });
    f.select(0, kColDec);
    f.key(Qt::Key_F3);
    QCOMPARE(f.cell(0, kColDec), QString("D-047  "));
    f.key(Qt::Key_F3);
    QCOMPARE(f.cell(0, kColDec), QString("D-023  "));
    f.select(0, kColEnc); // F3 on a CTCSS tone does nothing
    f.key(Qt::Key_F3);
    QCOMPARE(f.cell(0, kColEnc), QString("C- 67.0"));
    QVERIFY(!f.doc.IsModified());

    // Characters on other columns do nothing, not even the table's type-ahead search.
    f.select(0, kColPower);
    f.type("L1v");
    QCOMPARE(f.grid.currentIndex(), f.view.gridModel()->index(0, kColPower));
    QVERIFY(!f.editing.isEditing() && !f.doc.IsModified());
}

void EditGridTest::clipboardAndChannelCopy() {
    Fixture f([](ImageModel& m) {
        ChannelEntry& e = m.channels.at(2);
        e.rxFrequency = 146.52;
        e.power = 1;
        e.narrow = 1;
        e.channelType = 7;
    });
    f.select(2, kColChannel);
    QVERIFY(f.editing.Copy());
    QCOMPARE(QApplication::clipboard()->text(), QString("  3"));
    f.select(4, kColChannel);
    QVERIFY(f.editing.Paste());
    QCOMPARE(f.prompter.asked.back(), std::make_pair(53, std::vector<std::string>{"  3", "  5"}));
    QCOMPARE(f.cell(4, kColReceive), QString("146.52000"));
    QCOMPARE(f.cell(4, kColPower), QString("L"));
    QCOMPARE(f.entry(4).channelType, 4); // never copied
    QCOMPARE(f.grid.currentIndex(), f.view.gridModel()->index(4, kColChannel));

    // No: nothing copied, still accepted and modified. With "Frequency" hidden it is not copied.
    f.prompter.answer = Answer::No;
    f.select(5, kColChannel);
    QVERIFY(f.editing.PasteText("  3"));
    QCOMPARE(f.cell(5, kColPower), QString("H"));
    QVERIFY(f.doc.IsModified());
    f.prompter.answer = Answer::Yes;
    f.editing.ToggleColumnItem(1);
    QVERIFY(f.editing.PasteText("3"));
    QCOMPARE(f.entry(5).rxFrequency, 150.0);
    QCOMPARE(f.entry(5).narrow, 1);

    // Refusals beep and ask nothing: own number, an empty clipboard, a bad tone.
    const std::size_t asked = f.prompter.asked.size();
    f.doc.SetModifiedFlag(false);
    QVERIFY(!f.editing.PasteText("  6"));
    QApplication::clipboard()->clear();
    f.editing.Paste();
    f.select(5, kColEnc);
    QApplication::clipboard()->setText(QStringLiteral("C-67.0"));
    f.editing.Paste();
    QCOMPARE(f.beeps, 3);
    QCOMPARE(f.prompter.asked.size(), asked);
    QVERIFY(!f.doc.IsModified());

    f.grid.clearFocus(); // focus outside the grid and the editor: nothing
    QVERIFY(!f.editing.Copy() && !f.editing.Paste());
}

void EditGridTest::copyAndPasteInTheEditor() {
    Fixture f;
    f.select(0, kColReceive);
    f.type("146.5");
    f.edit().setSelection(1, 3);
    QVERIFY(f.editing.Copy());
    QCOMPARE(QApplication::clipboard()->text(), QString("46."));
    QApplication::clipboard()->setText(QStringLiteral("abcdefghijkl")); // its own 9 characters, no filter
    f.edit().selectAll();
    QVERIFY(f.editing.Paste());
    QCOMPARE(f.edit().text(), QString("abcdefghi"));
    QVERIFY(f.editing.isEditing());
}

QTEST_MAIN(EditGridTest)
#include "edit_grid_test.moc"
