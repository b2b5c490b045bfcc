// Key Function Parameters: the ACC key's function when pressed and when held; one function never
// goes to both.
#pragma once

#include "gui/dialogs/param_dialog.h"
#include "core/image/sections.h"

namespace rt62 {

class CRT62MDoc;

class KeyFunctionDialog : public ParamDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 161;
    enum ControlId { kPress = 2250, kHold = 2251 };
    // Never offered to either key.
    static constexpr int kFollowMeDw = 7;

    explicit KeyFunctionDialog(CRT62MDoc& doc, QWidget* parent = nullptr);

    const KeySection& record() const { return keys_; }

protected:
    void SelectionChanged(int id, int index) override;
    void DroppingDown(int id) override;
    void StoreOnOk() override;

private:
    void buildLists();
    void buildList(EnterCombo* list, int own);
    bool inUse(int code) const;

    CRT62MDoc& doc_;
    KeySection keys_;
    EnterCombo* press_ = nullptr;
    EnterCombo* hold_ = nullptr;
};

}  // namespace rt62
