// The grid's two-row column header: equal adjacent texts of a row are drawn as one merged cell.
#pragma once

#include <QHeaderView>
#include <utility>

namespace rt62 {

class TwoRowHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit TwoRowHeader(QWidget* parent = nullptr);

    QSize sizeHint() const override;

    // Logical columns [first, last] that share one merged cell in header row 0 or 1 with `logical`
    // (hidden columns are skipped; empty texts never merge).
    std::pair<int, int> mergedSpan(int row, int logical) const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    QString text(int row, int logical) const;
    int rowHeight() const;
};

}  // namespace rt62
