// The window's Prompter: string-table messages shown as modal message boxes.
#pragma once

#include "core/image/prompter.h"

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace rt62 {

// The buttons most dialogs share.
enum CommonButtonText { kStrOk = 5010, kStrCancel = 5011, kStrClose = 5013 };

// A string-table entry as a QString, %1.. filled, "\r\n" turned into plain line breaks.
QString TableText(int stringId, const std::vector<std::string>& args = {});
// Part of a "status prompt\ntooltip" entry: 0 = status prompt, 1 = tooltip (the prompt if there is none).
QString PromptPart(int stringId, int part);

// Shows messages over a parent window. Safe to call from a worker thread: the box is shown on the
// GUI thread and the worker waits for the answer.
class QtPrompter : public Prompter {
  public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    QWidget* parent() const { return parent_; }

    Answer show(int stringId, Buttons buttons, Icon icon, const std::vector<std::string>& args = {}) override;

    // The pieces of the mapping, exposed so callers building their own boxes stay consistent.
    static QMessageBox::StandardButtons ToStandardButtons(Buttons buttons);
    static QMessageBox::Icon ToMessageIcon(Icon icon);
    static Answer ToAnswer(int standardButton);

  private:
    Answer showHere(int stringId, Buttons buttons, Icon icon, const std::vector<std::string>& args);

    QPointer<QWidget> parent_;
};

} // namespace rt62
