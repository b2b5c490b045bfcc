// ANI/Speed Dial Parameters: when the radio sends its ANI code, the digit timing, and the code itself.
#pragma once

#include "gui/dialogs/param_dialog.h"
#include "core/image/sections.h"

#include <array>

namespace rt62 {

class CRT62MDoc;

class AniDialog : public ParamDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 149;
    enum ControlId { kTransmit = 3001, kDelay = 3002, kSpeed = 3003, kCode = 3004 };
    static constexpr unsigned kCodeLength = kAniCodeLength;

    explicit AniDialog(CRT62MDoc& doc, QWidget* parent = nullptr);

    const AniSettings& record() const { return ani_; }
    FilterEdit* codeField() const { return code_; }

protected:
    void CommitField(int id, FilterEdit* edit) override;
    void StoreOnOk() override;

private:
    CRT62MDoc& doc_;
    AniSettings ani_;
    std::array<EnterCombo*, 3> lists_{};
    FilterEdit* code_ = nullptr;
    // The user finished an edit of the code (Enter, double-click or focus loss); only then is it read.
    bool codeCommitted_ = false;
};

}  // namespace rt62
