#include "gui/dialogs/option_dialog.h"
#include "gui/common/qt_prompter.h"

#include "gui/dialogs/dialog_values.h"
#include "gui/dialogs/input_controls.h"
#include "core/image/document.h"
#include "core/image/layout.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace rt62 {

OptionDialog::OptionDialog(CRT62MDoc& doc, QWidget* parent) : ParamDialog(kResourceId, true, parent), doc_(doc) {
    setWindowTitle(TableText(4985));
    option_.Decode(doc_.Image());
    device_ = makeCombo(kOptionDevice, DialogListTexts("option.option_device"));
    auto* form = new QFormLayout;
    addRow(form, TableText(5075), device_);
    body()->addLayout(form);
    initialIndex_ = option_.DevicePosition();
    device_->setCurrentIndex(initialIndex_);
}

void OptionDialog::BeforeFocusCheck() {
    const int position = device_->currentIndex();
    if (position < 0 || position == initialIndex_) return;
    option_.SetDevicePosition(position);
    ImageModel& model = doc_.Model();
    ChannelTable& channels = model.channels;
    for (int n = 0; n < kChannelCount; ++n) {
        channels.ApplyOptionChange(n, option_.ktTrunk, option_.boardPaging, option_.boardEncryption);
        if (option_.ani) channels.at(n).ani = 0;
    }
    channels.Encode(model.image, model.hardware);
    if (!option_.ktTrunk) layout::kKtTrunkPositionEnable.Write(model.image, 0);
    optionChanged_ = true;
    // The channels and the option board changed: the document must be saved again.
    doc_.SetModifiedFlag();
}

void OptionDialog::StoreOnOk() { option_.Encode(doc_.Image()); }

}  // namespace rt62
