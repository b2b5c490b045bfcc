#include "gui/dialogs/common_commands.h"

#include "gui/dialogs/channel_type_dialog.h"
#include "gui/dialogs/hardware_dialog.h"
#include "gui/dialogs/key_function_dialog.h"
#include "gui/dialogs/marketing_dialog.h"
#include "gui/dialogs/miscellaneous_dialog.h"
#include "gui/dialogs/option_dialog.h"
#include "gui/dialogs/power_saving_dialog.h"
#include "gui/dialogs/scanning_dialog.h"
#include "core/image/document.h"
#include "core/image/model.h"

namespace rt62 {
namespace {

// Every Common dialog starts from an image that agrees with the sections and has a current checksum.
// Those whose record is transient are followed by a decode, so the long-lived sections see the result.
template <class Dialog, class... Args>
int RunTransient(CRT62MDoc& doc, Args&&... args) {
    NormalizeImage(doc.Model());
    Dialog dialog(doc, std::forward<Args>(args)...);
    const int result = dialog.exec();
    DecodeImage(doc.Model());
    return result;
}

}  // namespace

RefreshKind RunHardwareDialog(QWidget* parent, CRT62MDoc& doc, bool serviceMode, Prompter& prompter) {
    NormalizeImage(doc.Model());
    HardwareDialog dialog(doc, serviceMode, prompter, parent);
    dialog.exec();
    if (dialog.bandChanged()) {
        doc.LoadBandDefault(doc.Model().hardware.bandStepCode);
        return RefreshKind::BandChanged;
    }
    return dialog.hardwareChanged() ? RefreshKind::InfoPanel : RefreshKind::None;
}

RefreshKind RunOptionDialog(QWidget* parent, CRT62MDoc& doc) {
    NormalizeImage(doc.Model());
    OptionDialog dialog(doc, parent);
    dialog.exec();
    DecodeImage(doc.Model());
    return dialog.optionChanged() ? RefreshKind::Grid : RefreshKind::None;
}

RefreshKind RunScanningDialog(QWidget* parent, CRT62MDoc& doc) {
    RunTransient<ScanningDialog>(doc, parent);
    return RefreshKind::None;
}

RefreshKind RunPowerSavingDialog(QWidget* parent, CRT62MDoc& doc) {
    RunTransient<PowerSavingDialog>(doc, parent);
    return RefreshKind::None;
}

RefreshKind RunKeyFunctionDialog(QWidget* parent, CRT62MDoc& doc) {
    NormalizeImage(doc.Model());
    KeyFunctionDialog dialog(doc, parent);
    dialog.exec();
    return RefreshKind::None;
}

RefreshKind RunMarketingDialog(QWidget* parent, CRT62MDoc& doc, bool serviceMode) {
    RunTransient<MarketingDialog>(doc, serviceMode, parent);
    return RefreshKind::InfoPanel;
}

RefreshKind RunMiscellaneousDialog(QWidget* parent, CRT62MDoc& doc) {
    RunTransient<MiscellaneousDialog>(doc, parent);
    return RefreshKind::InfoPanel;
}

RefreshKind RunChannelTypeDialog(QWidget* parent, CRT62MDoc& doc) {
    ChannelTypeDialog dialog(doc, parent);
    return dialog.exec() == QDialog::Accepted ? RefreshKind::Grid : RefreshKind::None;
}

}  // namespace rt62
