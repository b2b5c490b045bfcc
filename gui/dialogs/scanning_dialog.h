// Scanning Parameters: dial scan, priority and KT-Trunk positions, resume times, dual watch, talk back,
// revert channel and scan speed.
#pragma once

#include "gui/dialogs/param_dialog.h"
#include "core/image/sections.h"

#include <array>

namespace rt62 {

class CRT62MDoc;

class ScanningDialog : public ParamDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 158;
    enum ControlId {
        kDialScan = 2101, kPriority, kKtTrunk, kResume1, kResume2, kDualWatch, kDualWatchTimer, kTalkBack,
        kRevert, kScanSpeed,
    };

    explicit ScanningDialog(CRT62MDoc& doc, QWidget* parent = nullptr);

    const ScanSection& record() const { return scan_; }

protected:
    void SelectionChanged(int id, int index) override;
    void StoreOnOk() override;

private:
    int* field(int id);

    CRT62MDoc& doc_;
    ScanSection scan_;
    std::array<EnterCombo*, 10> lists_{};
};

}  // namespace rt62
