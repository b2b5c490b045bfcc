// The service view "File Data": the image and its trailer as a read-only table of hex bytes.
#pragma once

#include <QDialog>

class QTableWidget;

namespace rt62 {

class CRT62MDoc;

class DumpDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRows = 18;      // heading row + 17 rows of 16 bytes
    static constexpr int kColumns = 17;   // heading column + 16 bytes

    DumpDialog(const CRT62MDoc& doc, QWidget* parent = nullptr);

    // Text of a cell of the 18 x 17 table; row 0 and column 0 are the headings.
    QString cellText(int row, int column) const;
    QTableWidget* table() const { return table_; }

private:
    QTableWidget* table_ = nullptr;
};

}  // namespace rt62
