// Power Saving Parameters: transmit time-out, penalty and release timers, receive save ratio.
#pragma once

#include "gui/dialogs/param_dialog.h"
#include "core/image/sections.h"

namespace rt62 {

class CRT62MDoc;

class PowerSavingDialog : public ParamDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 159;
    enum ControlId { kTransmitTimer = 2153, kPenaltyTimer, kReleaseTimer, kReceiveSaveMode };

    explicit PowerSavingDialog(CRT62MDoc& doc, QWidget* parent = nullptr);

    const CommonSection& record() const { return common_; }

protected:
    void SelectionChanged(int id, int index) override;
    void StoreOnOk() override;

private:
    CRT62MDoc& doc_;
    CommonSection common_;
};

}  // namespace rt62
