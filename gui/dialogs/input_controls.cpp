#include "gui/dialogs/input_controls.h"

#include "gui/common/contrast.h"
#include "core/image/text_rules.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

namespace rt62 {
namespace {

// QLineEdit cuts text given to setText at its limit; the shown value may be longer than what the
// user may type ("21.25MHz" against 5), so the limit is raised again outside the editing state.
constexpr int kNoLimit = 32767;

bool IsEnter(const QKeyEvent* e) { return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter; }

}  // namespace

// ---- ColorEdit -------------------------------------------------------------------------------

ColorEdit::ColorEdit(QWidget* parent) : QLineEdit(parent) { applyState(State::Display); }

void ColorEdit::setEditable(bool on) { applyState(on ? State::Editing : State::Display); }

void ColorEdit::setAvailable(bool on) { applyState(on ? State::Display : State::Disabled); }

void ColorEdit::applyState(State s) {
    state_ = s;
    const QPalette sys = QApplication::palette();
    switch (s) {
    case State::Display:
        setEnabled(true);
        setReadOnly(true);
        setColors(sys.color(QPalette::Active, QPalette::WindowText), sys.color(QPalette::Active, QPalette::Base));
        break;
    case State::Editing:
        setEnabled(true);
        setReadOnly(false);
        setColors(sys.color(QPalette::Active, QPalette::ToolTipText),
                  sys.color(QPalette::Active, QPalette::ToolTipBase));
        break;
    case State::Disabled:
        setEnabled(false);
        setReadOnly(false);
        setColors(sys.color(QPalette::Disabled, QPalette::WindowText),
                  sys.color(QPalette::Active, QPalette::Window));
        break;
    }
}

void ColorEdit::setColors(const QColor& wanted, const QColor& background) {
    // The state's own colours, moved only where a theme puts them too close to read.
    const QColor text = ReadableOn(wanted, background);
    QPalette p = palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Text, text);
        p.setColor(g, QPalette::Base, background);
    }
    setPalette(p);
    update();
}

QColor ColorEdit::textColor() const { return palette().color(QPalette::Active, QPalette::Text); }

QColor ColorEdit::backgroundColor() const { return palette().color(QPalette::Active, QPalette::Base); }

// ---- ToggleEdit ------------------------------------------------------------------------------

ToggleEdit::ToggleEdit(QWidget* parent) : ColorEdit(parent) {
    QLineEdit::setMaxLength(kNoLimit);
    // The platform's edit menu would paste around the character filter and steal the focus.
    setContextMenuPolicy(Qt::NoContextMenu);
}

void ToggleEdit::setEditable(bool on) {
    displayState_ = !on;
    QLineEdit::setMaxLength(on && maxLength_ ? static_cast<int>(maxLength_) : kNoLimit);
    ColorEdit::setEditable(on);
}

void ToggleEdit::setAvailable(bool on) {
    if (on) displayState_ = true;
    QLineEdit::setMaxLength(kNoLimit);
    ColorEdit::setAvailable(on);
}

void ToggleEdit::startEditing() {
    const int limit = maxLength_ ? static_cast<int>(maxLength_) : kNoLimit;
    const QString cut = text().left(limit);
    QLineEdit::setMaxLength(limit);
    setText(cut);
    selectAll();
    displayState_ = false;
    commitPending_ = false;
    ColorEdit::setEditable(true);
}

void ToggleEdit::endEditing(bool commit) {
    displayState_ = true;
    if (commit) commitPending_ = true;
    QLineEdit::setMaxLength(kNoLimit);
    ColorEdit::setEditable(false);
}

void ToggleEdit::toggle() {
    if (displayState_) {
        startEditing();
    } else {
        selectAll();
        endEditing(true);
    }
}

void ToggleEdit::keyPressEvent(QKeyEvent* e) {
    if (IsEnter(e) && colorState() != State::Disabled) {
        toggle();
        emit commitCheck();
        // Passed on, the dialog sees the same Enter (its OK acts only from the OK button).
        if (consumeEnter_)
            e->accept();
        else
            e->ignore();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void ToggleEdit::mouseDoubleClickEvent(QMouseEvent* e) {
    QLineEdit::mouseDoubleClickEvent(e);
    if (e->button() != Qt::LeftButton) return;
    toggle();
    emit commitCheck();
}

void ToggleEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    emit focusEntered();
}

void ToggleEdit::focusOutEvent(QFocusEvent* e) {
    // A popup (a list opening elsewhere) does not end an edit.
    if (e->reason() == Qt::PopupFocusReason) {
        QLineEdit::focusOutEvent(e);
        return;
    }
    if (!displayState_) endEditing(true);
    deselect();
    QLineEdit::focusOutEvent(e);
    emit commitCheck();
}

// ---- FilterEdit ------------------------------------------------------------------------------

FilterEdit::FilterEdit(QWidget* parent) : ToggleEdit(parent) { setAcceptDrops(false); }

void FilterEdit::startEditing() {
    saved_ = text();
    ToggleEdit::startEditing();
}

void FilterEdit::keyPressEvent(QKeyEvent* e) {
    if (colorState() == State::Disabled) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        if (!isDisplayState()) {
            // Give the edit up; the key goes no further, so the dialog stays open.
            endEditing(false);
            setText(saved_);
            selectAll();
            e->accept();
            return;
        }
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (IsEnter(e)) {
        ToggleEdit::keyPressEvent(e);
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        if (!isDisplayState()) pasteFiltered();
        e->accept();
        return;
    }

    const QString typed = e->text();
    const bool backspace = e->key() == Qt::Key_Backspace;
    const bool character = !typed.isEmpty() && typed.at(0).unicode() >= 0x20 && typed.at(0).unicode() != 0x7F &&
                           !(e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (!backspace && !character) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (!backspace) {
        const int start = hasSelectedText() ? selectionStart() : cursorPosition();
        if (!FilterAccepts(kind_, typed.at(0).unicode(), start)) {
            e->accept();  // dropped: no edit, no state change
            return;
        }
    }
    if (isDisplayState()) startEditing();
    if (upperCase_ && character && typed != typed.toUpper()) {
        QKeyEvent upper(e->type(), e->key(), e->modifiers(), typed.toUpper(), e->isAutoRepeat(),
                        static_cast<quint16>(e->count()));
        QLineEdit::keyPressEvent(&upper);
        e->setAccepted(upper.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void FilterEdit::mouseReleaseEvent(QMouseEvent* e) {
    // The middle button would paste the selection without the filter.
    if (e->button() == Qt::MiddleButton) {
        e->accept();
        return;
    }
    ToggleEdit::mouseReleaseEvent(e);
}

void FilterEdit::pasteFiltered() {
    const QString pasted = QApplication::clipboard()->text();
    for (QChar c : pasted) {
        const int start = hasSelectedText() ? selectionStart() : cursorPosition();
        if (!FilterAccepts(kind_, c.unicode(), start)) continue;
        insert(upperCase_ ? QString(c).toUpper() : QString(c));
    }
}

// ---- EnterCombo ------------------------------------------------------------------------------

EnterCombo::EnterCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setFocusPolicy(Qt::StrongFocus);
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
}

void EnterCombo::showPopup() {
    emit aboutToDropDown();
    QComboBox::showPopup();
}

void EnterCombo::keyPressEvent(QKeyEvent* e) {
    // Enter works as the list key: it opens the list (the open list closes on Enter itself).
    if (IsEnter(e)) {
        showPopup();
        e->accept();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void EnterCombo::focusInEvent(QFocusEvent* e) {
    QComboBox::focusInEvent(e);
    emit focusEntered();
}

}  // namespace rt62
