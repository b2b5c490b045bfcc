// The "File Data" dialog.
#include "link/dump_dialog.h"

#include <QTableWidget>

namespace rt62 {

DumpDialog::DumpDialog(const CRT62MDoc&, QWidget* parent) : QDialog(parent) {
    table_ = new QTableWidget(kRows - 1, kColumns - 1, this);
}

QString DumpDialog::cellText(int, int) const { return {}; }

}  // namespace rt62
