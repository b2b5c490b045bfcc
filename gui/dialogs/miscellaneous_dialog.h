// Miscellaneous Parameters: Default Split, beep, call alerts, squelch tail elimination, bell, lamp,
// set-to-set clone, external jack and auto reset time.
#pragma once

#include "gui/dialogs/param_dialog.h"
#include "core/image/sections.h"

#include <array>

namespace rt62 {

class CRT62MDoc;

class MiscellaneousDialog : public ParamDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 164;
    enum ControlId {
        kBeep = 2500, kCallTimes, kSquelchTail, kBell, kLampMode, kSetToSetClone, kExternalJack, kAutoReset,
        kDefaultSplit = 2520,
    };
    static constexpr double kSplitLimitMHz = 99.9;

    explicit MiscellaneousDialog(CRT62MDoc& doc, QWidget* parent = nullptr);

    const CommonSection& record() const { return common_; }

protected:
    void SelectionChanged(int id, int index) override;
    void CommitField(int id, FilterEdit* edit) override;
    void StoreOnOk() override;
    void RestoreOnCancel() override;

private:
    EnterCombo* list(int id) const { return lists_[static_cast<std::size_t>(id - kBeep)]; }
    void fillSquelchTail();
    void showSplit();
    int* field(int id);

    CRT62MDoc& doc_;
    CommonSection common_;
    double savedSplit_ = 0.0;
    std::array<EnterCombo*, 8> lists_{};
    FilterEdit* split_ = nullptr;
};

}  // namespace rt62
