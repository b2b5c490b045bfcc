#include "gui/dialogs/scanning_dialog.h"
#include "gui/common/qt_prompter.h"

#include "gui/dialogs/dialog_values.h"
#include "core/app/setting_forms.h"
#include "gui/dialogs/input_controls.h"
#include "core/image/document.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace rt62 {

ScanningDialog::ScanningDialog(CRT62MDoc& doc, QWidget* parent)
    : ParamDialog(kResourceId, true, parent), doc_(doc) {
    setWindowTitle(TableText(4986));
    scan_.Decode(doc_.Image());

    const char* paths[] = {
        "scanning.dial_scan_position", "scanning.priority_channel", "scanning.kt_trunk_position",
        "scanning.scan_resume_time_1", "scanning.scan_resume_time_2", "scanning.dual_watch",
        "scanning.dual_watch_timer",   "scanning.talk_back",        "scanning.revert_channel",
        "scanning.scan_speed",
    };
    const int labels[] = {5080, 5081, 5082, 5083, 5084, 5085, 5086, 5087, 5088, 5089};
    auto* form = new QFormLayout;
    for (int i = 0; i < 10; ++i) {
        const int id = kDialScan + i;
        EnterCombo* l = makeCombo(id, DialogListTexts(paths[i]));
        lists_[static_cast<std::size_t>(i)] = l;
        addRow(form, TableText(labels[i]), l);
        SelectListValue(l, *field(id));
    }
    body()->addLayout(form);
    // The KT-Trunk position means something only with the KT-Trunk option board.
    for (int i = 0; i < 10; ++i) lists_[static_cast<std::size_t>(i)]->setEnabled(SettingOpen(paths[i], doc_.Model(), false));
}

int* ScanningDialog::field(int id) {
    switch (id) {
    case kDialScan: return &scan_.dialScanPosition;
    case kPriority: return &scan_.priorityChannel;
    case kKtTrunk: return &scan_.ktTrunkPosition;
    case kResume1: return &scan_.scanResumeTime1;
    case kResume2: return &scan_.scanResumeTime2;
    case kDualWatch: return &scan_.dualWatch;
    case kDualWatchTimer: return &scan_.dualWatchTimer;
    case kTalkBack: return &scan_.talkBack;
    case kRevert: return &scan_.revertChannel;
    case kScanSpeed: return &scan_.scanSpeed;
    default: return nullptr;
    }
}

void ScanningDialog::SelectionChanged(int id, int index) {
    int* f = field(id);
    if (!f || index < 0) return;
    *f = index;
    doc_.SetModifiedFlag();
}

void ScanningDialog::StoreOnOk() { scan_.Encode(doc_.Image()); }

}  // namespace rt62
