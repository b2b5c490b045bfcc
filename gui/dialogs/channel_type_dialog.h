// Channel Type: the type (Type-1 ... Type-16) of all 16 channels at once.
#pragma once

#include "gui/dialogs/param_dialog.h"

#include <array>

namespace rt62 {

class CRT62MDoc;

class ChannelTypeDialog : public ParamDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 192;
    static constexpr int kFirstList = 3701;  // 3700 + channel number

    explicit ChannelTypeDialog(CRT62MDoc& doc, QWidget* parent = nullptr);

protected:
    void StoreOnOk() override;

private:
    CRT62MDoc& doc_;
    std::array<EnterCombo*, 16> lists_{};
};

}  // namespace rt62
