// The edit fields and drop-down lists of the parameter dialogs: state colours, toggled editing,
// character filters and Enter opening a list.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QString>

namespace rt62 {

// An edit field whose colours show its state: display (read-only), editing, or disabled.
// Colours are taken from the application palette each time a state is applied.
class ColorEdit : public QLineEdit {
    Q_OBJECT
public:
    enum class State { Display, Editing, Disabled };

    explicit ColorEdit(QWidget* parent = nullptr);

    // on: editing state, off: display state.
    virtual void setEditable(bool on);
    // on: display state, off: disabled state.
    virtual void setAvailable(bool on);

    State colorState() const { return state_; }
    QColor textColor() const;
    QColor backgroundColor() const;

protected:
    void applyState(State s);

private:
    void setColors(const QColor& text, const QColor& background);

    State state_ = State::Display;
};

// An edit field that stays read-only until the user starts editing it (Enter, double-click), and
// marks the end of an edit with CommitPending so its owner can take the text.
class ToggleEdit : public ColorEdit {
    Q_OBJECT
public:
    explicit ToggleEdit(QWidget* parent = nullptr);

    bool isDisplayState() const { return displayState_; }
    bool commitPending() const { return commitPending_; }
    void clearCommitPending() { commitPending_ = false; }

    // Characters the user may type; also cuts the shown text when editing starts.
    void setMaximumLength(unsigned n) { maxLength_ = n; }
    unsigned maximumLength() const { return maxLength_; }

    // Some dialogs swallow Enter in their fields instead of letting it reach the dialog.
    void setConsumeEnter(bool on) { consumeEnter_ = on; }

    void setEditable(bool on) override;
    void setAvailable(bool on) override;

signals:
    // The owner should look at commitPending(): sent after Enter, double-click and focus loss.
    void commitCheck();
    void focusEntered();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

    // Display -> editing: limit, cut the text, select all.
    virtual void startEditing();
    // Editing -> display with CommitPending, or back from display to editing.
    void toggle();
    void endEditing(bool commit);

private:
    bool displayState_ = true;
    bool commitPending_ = false;
    bool consumeEnter_ = false;
    unsigned maxLength_ = 0;
};

// A ToggleEdit that accepts only the characters of its filter kind and gives up an edit on Escape.
class FilterEdit : public ToggleEdit {
    Q_OBJECT
public:
    explicit FilterEdit(QWidget* parent = nullptr);

    void setFilterKind(unsigned kind) { kind_ = kind; }
    unsigned filterKind() const { return kind_; }
    // Letters typed appear in upper case (DTMF codes, serial numbers).
    void setUpperCase(bool on) { upperCase_ = on; }
    const QString& savedText() const { return saved_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void startEditing() override;

private:
    void pasteFiltered();

    unsigned kind_ = 0;
    bool upperCase_ = false;
    QString saved_;
};

// A drop-down list in which Enter opens and closes the list instead of pressing the default button.
class EnterCombo : public QComboBox {
    Q_OBJECT
public:
    explicit EnterCombo(QWidget* parent = nullptr);

    void showPopup() override;

signals:
    void aboutToDropDown();
    void focusEntered();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
};

}  // namespace rt62
