// Option Parameter: which option board is installed; a change adjusts every channel to it.
#pragma once

#include "gui/dialogs/param_dialog.h"
#include "core/image/sections.h"

namespace rt62 {

class CRT62MDoc;

class OptionDialog : public ParamDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 131;
    static constexpr int kOptionDevice = 2050;

    explicit OptionDialog(CRT62MDoc& doc, QWidget* parent = nullptr);

    // Set once a changed device has been applied to the channels; the opener then rebuilds the grid.
    bool optionChanged() const { return optionChanged_; }

protected:
    void BeforeFocusCheck() override;
    void StoreOnOk() override;

private:
    CRT62MDoc& doc_;
    OptionSection option_;
    EnterCombo* device_ = nullptr;
    int initialIndex_ = 0;
    bool optionChanged_ = false;
};

}  // namespace rt62
