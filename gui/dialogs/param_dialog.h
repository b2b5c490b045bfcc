// The base of every parameter dialog: help-line status bar, F1 topic, OK focus check, commit routing.
#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLayout;
class QPushButton;
class QStatusBar;
class QVBoxLayout;

namespace rt62 {

class EnterCombo;
class FilterEdit;
class ToggleEdit;

// Help contexts of the dialogs are this base plus the dialog's resource id.
inline constexpr int kDialogHelpBase = 131072;
// Ids of the dialog status bar texts.
inline constexpr int kBlankHelpLine = 121;
inline constexpr int kKeyOperationIndicator = 59143;
// Control ids of the two buttons.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Name under which a control with a numeric id can be found (findChild) by tests and help.
QString ControlName(int id);

class ParamDialog : public QDialog {
    Q_OBJECT
public:
    // focusCheck: OK acts only while the OK button itself has the keyboard focus.
    ParamDialog(int resourceId, bool focusCheck, QWidget* parent = nullptr);
    ~ParamDialog() override;

    int resourceId() const { return resourceId_; }
    bool hasFocusCheck() const { return focusCheck_; }

    // Shows string id (line 1 / line 2) in the two panes; returns the id shown before.
    int ShowHelpLine(int id);
    int currentHelpId() const { return helpId_; }
    QString helpPaneText() const;
    QString indicatorText() const;

    // The topic F1 opens: the focused control's own topic if it has one, else the dialog's.
    int helpTopic() const;
    // Set by the main window to open its help viewer at a topic.
    static std::function<void(int topic)>& HelpHook();
    // The help line of control id as a screen reader reads it: its first line, the description.
    static QString HelpDescription(int id);
    // A control with its own help topic (property read by helpTopic).
    static void SetControlHelpTopic(QWidget* w, int topic);

    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    void reject() override;

public slots:
    // What the OK button does (also reached through the default button on Enter).
    void okPressed();

protected:
    // On the first showing: the tab order follows the layout (OK and Cancel last), and the focus starts on
    // the first control that takes it, so Enter acts on that control and its help line shows.
    void showEvent(QShowEvent* event) override;

    // Where a concrete dialog puts its controls (above the buttons and the status bar).
    QVBoxLayout* body() const { return body_; }

    // Create a list with its id and items, wired for help, selection and drop-down.
    EnterCombo* makeCombo(int id, const QStringList& items = {});
    // Create an edit field with its id, filter and length, wired for help and commit.
    FilterEdit* makeFilterEdit(int id, unsigned filterKind, unsigned maxLength);
    // A row "label  control" with the label's mnemonic bound to the control.
    static void addRow(QFormLayout* form, const QString& label, QWidget* control);

    // Hooks for the concrete dialogs.
    virtual void SelectionChanged(int /*id*/, int /*index*/) {}
    virtual void DroppingDown(int /*id*/) {}
    // The field was left with CommitPending set: read, validate, store, show again.
    virtual void CommitField(int /*id*/, FilterEdit* /*edit*/) {}
    // Runs on every OK, before the focus check.
    virtual void BeforeFocusCheck() {}
    // Encode the record; the dialog then closes with OK.
    virtual void StoreOnOk() {}
    virtual void RestoreOnCancel() {}

private:
    void checkCommit(int id, FilterEdit* edit);
    void showHelpTopic();
    void arrangeFocus();

    int resourceId_;
    bool focusCheck_;
    int helpId_ = 0;
    bool closing_ = false;  // fields leaving the focus while the dialog closes commit nothing
    QVBoxLayout* body_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QStatusBar* bar_ = nullptr;
    class HelpPane* pane0_ = nullptr;
    class HelpPane* pane1_ = nullptr;
    bool focusArranged_ = false;
};

}  // namespace rt62
