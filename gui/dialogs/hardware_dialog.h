// Hardware Parameters: band and step, synthesizer reference, first IF, injection side, DCS polarity,
// squelch timing. Edits the document's own hardware section; editable in service mode only.
#pragma once

#include "gui/dialogs/param_dialog.h"

#include <array>

namespace rt62 {

class CRT62MDoc;
class Prompter;

class HardwareDialog : public ParamDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 102;
    enum ControlId {
        kRefXtal = 2000, kFirstIf = 2001, kBand = 2005, kLocalOffset, kChannelStep, kDcsRx, kDcsTx,
        kSqlRelease, kSqlAttack, kSqlHysteresis, kReceiveSaveOff, kCtcssRelease,
    };
    static constexpr int kBandChangeQuestion = 50;

    HardwareDialog(CRT62MDoc& doc, bool serviceMode, Prompter& prompter, QWidget* parent = nullptr);

    bool bandChanged() const { return bandChanged_; }
    bool hardwareChanged() const { return hardwareChanged_; }
    double splitCopy() const { return splitCopy_; }

protected:
    void SelectionChanged(int id, int index) override;
    void CommitField(int id, FilterEdit* edit) override;
    void StoreOnOk() override;
    void RestoreOnCancel() override;

private:
    EnterCombo* list(int id) const { return lists_[static_cast<std::size_t>(id - kBand)]; }
    void fillLists();
    void selectValues();
    void showFrequencies();
    void changeBand(int index);

    CRT62MDoc& doc_;
    Prompter& prompter_;
    std::array<EnterCombo*, 10> lists_{};
    FilterEdit* refXtal_ = nullptr;
    FilterEdit* firstIf_ = nullptr;
    double splitCopy_ = 0.0;
    bool bandChanged_ = false;
    bool hardwareChanged_ = false;
};

}  // namespace rt62
