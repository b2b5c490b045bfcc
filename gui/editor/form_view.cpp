// The form view: info panel above, channel grid below.
#include "editor/form_view.h"

#include "editor/channel_grid_model.h"
#include "editor/grid_header.h"

#include <QKeyEvent>
#include <QTableView>

namespace rt62 {

CRT62MView::CRT62MView(CRT62MDoc& doc, AppSettings& settings, QWidget* parent)
    : QWidget(parent), doc_(doc), settings_(settings) {
    grid_ = new QTableView(this);
    model_ = new ChannelGridModel(doc_, this);
    header_ = new TwoRowHeader(grid_);
}

void CRT62MView::FullRefresh() {}
void CRT62MView::RefreshInfoPanel() {}
void CRT62MView::RenderRow(int) {}
void CRT62MView::RenderCell(int, int) {}
void CRT62MView::Layout(int, int) {}
int CRT62MView::helpContext() const { return 300; }
QString CRT62MView::infoValue(int) const { return {}; }
int CRT62MView::infoColumnLeft(int) const { return 0; }
void CRT62MView::resizeEvent(QResizeEvent* event) { QWidget::resizeEvent(event); }
bool CRT62MView::eventFilter(QObject* watched, QEvent* event) { return QWidget::eventFilter(watched, event); }
void CRT62MView::keyPressEvent(QKeyEvent* event) { QWidget::keyPressEvent(event); }
void CRT62MView::onCurrentChanged() {}
void CRT62MView::applyColumnWidths() {}
bool CRT62MView::handleServiceKey(QKeyEvent*) { return false; }

}  // namespace rt62
