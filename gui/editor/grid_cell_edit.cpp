// The in-place frequency editor: a 9-character field that takes only what a frequency can hold.
#include "gui/editor/grid_cell_edit.h"

#include "core/grid/cell_input.h"

#include <QKeyEvent>

namespace rt62 {

GridCellEdit::GridCellEdit(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("edit1044"));
    setMaxLength(kCellEditMaxChars);
    setFrame(true);
    // Dropped text would bypass the key filter, and the field's own menu would end the edit.
    setAcceptDrops(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    hide();
}

void GridCellEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit enterPressed();
        return;
    case Qt::Key_Escape:
        event->accept();
        emit escapePressed();
        return;
    case Qt::Key_Backspace:
        QLineEdit::keyPressEvent(event);
        return;
    default:
        break;
    }
    // Characters outside the filter are dropped; keys without a character (arrows, Delete, the
    // clipboard shortcuts) keep their usual meaning.
    const QString text = event->text();
    const bool control = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (!control && !text.isEmpty() && text.at(0).isPrint()) {
        for (QChar c : text) {
            if (!CellEditAccepts(c.unicode())) {
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

void GridCellEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit focusLost();
}

} // namespace rt62
