// Page Setting Parameters (paging DTMF speed, answer back) and Paging Code (the ten page codes).
#pragma once

#include "gui/dialogs/param_dialog.h"
#include "core/image/sections.h"

#include <array>

namespace rt62 {

class CRT62MDoc;

class PageSettingDialog : public ParamDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 130;
    enum ControlId { kDtmfSpeed = 3101, kAnswerBack = 3102 };

    explicit PageSettingDialog(CRT62MDoc& doc, QWidget* parent = nullptr);

    const PageSettings& record() const { return settings_; }

protected:
    void StoreOnOk() override;

private:
    CRT62MDoc& doc_;
    PageSettings settings_;
    std::array<EnterCombo*, 2> lists_{};
};

class PagingCodeDialog : public ParamDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 133;
    static constexpr int kCodeCount = 10;
    static constexpr int kFirstCode = 3301;      // 3300 + k
    static constexpr int kFirstSelector = 3311;  // 3310 + k
    static constexpr unsigned kCodeLength = 3;

    explicit PagingCodeDialog(CRT62MDoc& doc, QWidget* parent = nullptr);

    const PageCodeList& record() const { return pages_; }
    // k = 1-10
    FilterEdit* codeField(int k) const { return codes_[static_cast<std::size_t>(k - 1)]; }
    EnterCombo* selector(int k) const { return selectors_[static_cast<std::size_t>(k - 1)]; }

protected:
    void StoreOnOk() override;

private:
    // An empty code cannot be decoded: its selector is disabled and shows "Off".
    void applyRowRule(int k);

    CRT62MDoc& doc_;
    PageCodeList pages_;
    std::array<FilterEdit*, kCodeCount> codes_{};
    std::array<EnterCombo*, kCodeCount> selectors_{};
};

}  // namespace rt62
