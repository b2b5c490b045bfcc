// The tone browser: picks one tone of a two-tone pair from a group's list or the combined custom list.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace rt62 {

class TwoToneBrowserDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kResourceId = 189;
    static constexpr int kListId = 1200;
    static constexpr int kHelpBase = 300;  // F1 opens topic 300 + mode
    enum Tone { First = 0, Second = 1 };

    // mode: the group 1-4, or 5 for the custom list; position: the stored tone's list position.
    TwoToneBrowserDialog(int mode, int pair, Tone tone, int position, QWidget* parent = nullptr);

    // The list a mode offers: the group's entries that have texts, or the 221 custom positions.
    static QStringList Items(int mode);
    // "Pair#2 1st Tone PLECTRON  ".
    static QString Title(int mode, int pair, Tone tone);

    // After OK: the chosen position and its text; -1 when nothing was selected (the tone stays).
    int chosenPosition() const { return chosen_; }
    QString chosenText() const { return chosenText_; }

    QListWidget* list() const { return list_; }
    int helpTopic() const { return kHelpBase + mode_; }

public slots:
    void accept() override;

private:
    int mode_;
    int chosen_ = -1;
    QString chosenText_;
    QListWidget* list_ = nullptr;
};

}  // namespace rt62
