#include "gui/common/accessible_names.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QGuiApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace rt62 {

QString WithoutMnemonic(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out.simplified();
}

void NameControlsFromLabels(QWidget* root) {
    for (QLabel* label : root->findChildren<QLabel*>()) {
        QWidget* buddy = label->buddy();
        if (buddy && buddy->accessibleName().isEmpty()) buddy->setAccessibleName(WithoutMnemonic(label->text()));
    }
}

QString SpokenItem(const QComboBox* list) { return list->currentText().simplified(); }

namespace {

// The text of a control that shows one line, as the text interface hands it out: a run of attributes
// spans the whole line (Qt's own interfaces of Qt 6.4 give an empty run at every offset, and a screen
// reader that joins the runs then drops the last character of the line).
class LineText : public QAccessibleTextInterface {
public:
    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    QString attributes(int offset, int* start, int* end) const override {
        const bool inside = offset >= 0 && offset <= characterCount();
        *start = inside ? 0 : -1;
        *end = inside ? characterCount() : -1;
        return {};
    }

protected:
    virtual QString shown() const = 0;
};

// A drop-down list read the way screen readers read one: its name is its label, its value and its text
// are the current item. (Qt's own interface on Linux gives the current item as the name, which the
// label relation then hides, and no text at all, so the setting itself went unsaid.) The child stays
// Qt's: the item view of the popup.
class AccessibleList : public QAccessibleWidget, public LineText {
public:
    explicit AccessibleList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}
    using LineText::text;

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == list()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? SpokenItem(list()) : QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) return;
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // The text is the current item, read only.
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}

private:
    QComboBox* list() const { return static_cast<QComboBox*>(object()); }
    QString shown() const override { return SpokenItem(list()); }
};

// An edit field: its name is its label, its value and its text what it shows (dots for a password),
// read only where the user may not type.
class AccessibleLine : public QAccessibleWidget, public LineText, public QAccessibleEditableTextInterface {
public:
    explicit AccessibleLine(QLineEdit* line) : QAccessibleWidget(line, QAccessible::EditableText) {}
    using LineText::text;

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (t == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? shown() : QAccessibleWidget::text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override {
        if (t == QAccessible::Value && !line()->isReadOnly()) line()->setText(text);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !line()->isReadOnly();
        s.readOnly = line()->isReadOnly();
        s.selectableText = true;
        s.passwordEdit = line()->echoMode() != QLineEdit::Normal;
        return s;
    }

    int cursorPosition() const override { return line()->cursorPosition(); }
    void setCursorPosition(int position) override { line()->setCursorPosition(position); }
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index != 0 || !line()->hasSelectedText()) return;
        *start = line()->selectionStart();
        *end = *start + line()->selectionLength();
    }
    int selectionCount() const override { return line()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0) line()->deselect();
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) line()->setSelection(start, end - start);
    }
    QRect characterRect(int offset) const override {
        // Where the glyph is drawn, near enough for a magnifier to follow the caret.
        const QFontMetrics metrics(line()->font());
        const QRect inside = line()->contentsRect();
        const int x = metrics.horizontalAdvance(shown().left(offset));
        const QRect r(inside.left() + 2 + x, inside.top(), metrics.horizontalAdvance(shown().mid(offset, 1)),
                      inside.height());
        return QRect(line()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        return line()->cursorPositionAt(line()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int) override { line()->setCursorPosition(start); }

    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override {
        if (line()->isReadOnly()) return;
        QString t = line()->text();
        t.replace(start, end - start, text);
        line()->setText(t);
        line()->setCursorPosition(start + static_cast<int>(text.size()));
    }

private:
    QLineEdit* line() const { return static_cast<QLineEdit*>(object()); }
    QString shown() const override { return line()->displayText(); }
};

}  // namespace

void AnnounceCurrentItem(QComboBox* list) {
    // Windows' UI Automation says a list's new value from the value change Qt reports. The desktop bus
    // of Linux carries no value of a list: a screen reader there hears the new item as the item its
    // focus lands on, as it hears the items of an open popup, so the current item takes the focus.
    if (QGuiApplication::platformName() == QLatin1String("windows")) return;
    if (!list->hasFocus() || list->view()->isVisible() || list->currentIndex() < 0) return;
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(list->view());
    QAccessibleInterface* item =
        view && view->tableInterface() ? view->tableInterface()->cellAt(list->currentIndex(), list->modelColumn())
                                       : nullptr;
    if (!item) return;
    QAccessibleEvent event(item, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}

namespace {

QAccessibleInterface* AccessibleFactory(const QString&, QObject* object) {
    if (auto* list = qobject_cast<QComboBox*>(object); list && !list->isEditable()) {
        QObject::connect(list, &QComboBox::currentIndexChanged, list, [list] { AnnounceCurrentItem(list); });
        return new AccessibleList(list);
    }
    if (auto* line = qobject_cast<QLineEdit*>(object)) return new AccessibleLine(line);
    return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(AccessibleFactory);
}

}  // namespace rt62
