#include "gui/dialogs/channel_type_dialog.h"
#include "gui/common/qt_prompter.h"

#include "gui/dialogs/dialog_values.h"
#include "gui/dialogs/input_controls.h"
#include "core/image/document.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace rt62 {

ChannelTypeDialog::ChannelTypeDialog(CRT62MDoc& doc, QWidget* parent)
    : ParamDialog(kResourceId, false, parent), doc_(doc) {
    setWindowTitle(TableText(4996));
    const QStringList types = DialogListTexts("channels[1].channel_type");
    const char* labels[] = {"CH- &1",    "CH- &2",    "CH- &3",    "CH- &4",    "CH- &5",    "CH- &6",
                            "CH- &7",    "CH- &8",    "CH- &9",    "CH-10(&A)", "CH-11(&B)", "CH-12(&C)",
                            "CH-13(&D)", "CH-14(&E)", "CH-15(&F)", "CH-16(&G)"};
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    const ChannelTable& channels = doc_.Model().channels;
    for (int n = 0; n < 16; ++n) {
        EnterCombo* l = makeCombo(kFirstList + n, types);
        lists_[static_cast<std::size_t>(n)] = l;
        addRow(n < 8 ? left : right, labels[n], l);
        SelectListValue(l, channels.at(n).channelType);
    }
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    body()->addLayout(columns);
}

void ChannelTypeDialog::StoreOnOk() {
    ImageModel& model = doc_.Model();
    for (int n = 0; n < 16; ++n) {
        const int chosen = lists_[static_cast<std::size_t>(n)]->currentIndex();
        ChannelEntry& entry = model.channels.at(n);
        if (chosen >= 0 && chosen != entry.channelType) {
            entry.channelType = chosen;
            doc_.SetModifiedFlag();
        }
    }
    model.channels.Encode(model.image, model.hardware);
}

}  // namespace rt62
