// 2-Tone Parameters (group calls, secondary pair, tone format, complement, duty) and 2-Tone Table
// Parameters (the six pairs, each a group and two tones picked in the tone browser).
#pragma once

#include "gui/dialogs/input_controls.h"
#include "gui/dialogs/param_dialog.h"
#include "core/image/sections.h"
#include "core/image/twotone.h"

#include <array>
#include <functional>
#include <optional>

namespace rt62 {

class CRT62MDoc;

class TwoToneParametersDialog : public ParamDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 134;
    enum ControlId {
        kPrimaryGroupCall = 3401, kSecondaryGroupCall, kSecondaryPagePair, kToneFormat, kComplement, kDuty,
    };
    // Firmware before 2.00 has neither the CTCSS/DCS complement nor the duty setting.

    explicit TwoToneParametersDialog(CRT62MDoc& doc, QWidget* parent = nullptr);

    const TwoToneSettings& record() const { return settings_; }
    EnterCombo* list(int id) const { return lists_[static_cast<std::size_t>(id - kPrimaryGroupCall)]; }

protected:
    void StoreOnOk() override;

private:
    CRT62MDoc& doc_;
    TwoToneSettings settings_;
    std::array<EnterCombo*, 6> lists_{};
};

// A read-only box showing one tone; Enter or a double-click asks its owner for the tone browser.
class ToneBox : public ColorEdit {
    Q_OBJECT
public:
    explicit ToneBox(QWidget* parent = nullptr);
    void setAvailable(bool on) override;

signals:
    void browseRequested();
    void focusEntered();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
};

class TwoToneTableDialog : public ParamDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 148;
    static constexpr int kPairCount = 6;
    static constexpr int kFirstControl = 3501;  // group 3501 + 3(k-1), 1st tone +1, 2nd tone +2

    struct ToneChoice {
        int position;
        QString text;
    };
    // Opens the browser: mode (group 1-4, or 5 custom), pair 1-6, tone 0 first / 1 second, stored
    // position (-1 when the stored tone has none). nullopt leaves the tone as it is.
    using ToneBrowser = std::function<std::optional<ToneChoice>(int mode, int pair, int tone, int position)>;

    explicit TwoToneTableDialog(CRT62MDoc& doc, QWidget* parent = nullptr);

    // Replaces the modal browser (tests, scripted use).
    void setToneBrowser(ToneBrowser browser) { browser_ = std::move(browser); }

    TwoToneFormat format() const { return format_; }
    EnterCombo* groupList(int pair) const { return rows_[index(pair)].group; }
    ToneBox* toneBox(int pair, int tone) const { return rows_[index(pair)].tone[static_cast<std::size_t>(tone)]; }
    // What the pair would be written as now: Standard indexes, or codes for the Custom format.
    PairEntry pendingPair(int pair) const;
    // Opens the browser for one tone as Enter or a double-click in its box does.
    void browse(int pair, int tone);

protected:
    void SelectionChanged(int id, int position) override;
    void StoreOnOk() override;

private:
    struct Row {
        EnterCombo* group = nullptr;
        std::array<ToneBox*, 2> tone{};
        int groupPosition = 0;
        // Standard: index within the group; Custom: the tone code itself, so a code that has no
        // place in the custom list (a foreign image) survives an OK untouched.
        std::array<int, 2> value{};
    };
    static std::size_t index(int pair) { return static_cast<std::size_t>(pair - 1); }
    bool custom() const { return format_ == TwoToneFormat::Custom; }
    QString toneText(const Row& row, int tone) const;
    void showRow(int pair);
    std::optional<ToneChoice> runBrowser(int mode, int pair, int tone, int position);

    CRT62MDoc& doc_;
    TwoToneFormat format_;
    PairEntries pairs_{};
    std::array<Row, kPairCount> rows_{};
    ToneBrowser browser_;
};

}  // namespace rt62
