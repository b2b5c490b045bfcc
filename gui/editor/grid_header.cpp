// Two header rows over the channel grid, with equal neighbouring texts merged into one cell.
#include "gui/editor/grid_header.h"

#include "gui/editor/channel_grid_model.h"

#include <QPainter>
#include <QStyleOptionHeader>

namespace rt62 {

TwoRowHeader::TwoRowHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(0);
    setDefaultAlignment(Qt::AlignCenter);
}

int TwoRowHeader::rowHeight() const {
    return fontMetrics().height() + 6;
}

QSize TwoRowHeader::sizeHint() const {
    QSize s = QHeaderView::sizeHint();
    s.setHeight(2 * rowHeight());
    return s;
}

QString TwoRowHeader::text(int row, int logical) const {
    if (!model())
        return {};
    const int role = row == 0 ? ChannelGridModel::kTopHeaderRole : Qt::DisplayRole;
    return model()->headerData(logical, Qt::Horizontal, role).toString();
}

std::pair<int, int> TwoRowHeader::mergedSpan(int row, int logical) const {
    const QString t = text(row, logical);
    if (t.isEmpty() || isSectionHidden(logical))
        return {logical, logical};
    int first = logical;
    int last = logical;
    // Walk outwards in visual order; hidden sections neither break nor join a run.
    for (int v = visualIndex(logical) - 1; v >= 0; --v) {
        const int l = logicalIndex(v);
        if (isSectionHidden(l))
            continue;
        if (text(row, l) != t)
            break;
        first = l;
    }
    for (int v = visualIndex(logical) + 1; v < count(); ++v) {
        const int l = logicalIndex(v);
        if (isSectionHidden(l))
            continue;
        if (text(row, l) != t)
            break;
        last = l;
    }
    return {first, last};
}

void TwoRowHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid())
        return;
    const int h = rowHeight();
    for (int row = 0; row < 2; ++row) {
        const auto [first, last] = mergedSpan(row, logicalIndex);
        // Each section paints its own slice of the merged cell, so the order of painting does not matter.
        const int left = sectionViewportPosition(first);
        const int right = sectionViewportPosition(last) + sectionSize(last);
        const QRect cell(left, rect.top() + row * h, right - left, row == 0 ? h : rect.height() - h);
        QRect slice(rect.left(), cell.top(), rect.width(), cell.height());

        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.rect = cell;
        opt.section = logicalIndex;
        opt.text = text(row, logicalIndex);
        opt.textAlignment = Qt::AlignCenter;
        opt.position = QStyleOptionHeader::Middle;
        painter->save();
        painter->setClipRect(slice);
        // The header rows carry no grid lines: a plain button-coloured field and the centred text.
        painter->fillRect(slice, palette().brush(QPalette::Button));
        style()->drawControl(QStyle::CE_HeaderLabel, &opt, painter, this);
        painter->restore();
    }
}

}  // namespace rt62
