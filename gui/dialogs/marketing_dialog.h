// Marketing Parameters: the production (market application) and serial numbers, set in service mode.
#pragma once

#include "gui/dialogs/param_dialog.h"

#include <QString>

namespace rt62 {

class CRT62MDoc;

class MarketingDialog : public ParamDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 163;
    enum ControlId { kMarketApplication = 2400, kSerialNumber = 2401 };

    MarketingDialog(CRT62MDoc& doc, bool serviceMode, QWidget* parent = nullptr);

protected:
    void CommitField(int id, FilterEdit* edit) override;
    void StoreOnOk() override;
    void RestoreOnCancel() override;

private:
    void showValues();

    CRT62MDoc& doc_;
    FilterEdit* market_ = nullptr;
    FilterEdit* serial_ = nullptr;
    bool markAtOpen_ = false;
};

}  // namespace rt62
