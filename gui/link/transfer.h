// Upload, Download and the read for Compare with Radio as the window runs them: the session prepares
// the transfer, the job runs on the progress dialog's worker, the session takes over what it brought.
#pragma once

#include "core/app/transfer.h"
#include "core/image/prompter.h"

class QObject;
class QWidget;

namespace rt62 {

class Session;

// How a transfer ended, as the window's callers compare it.
using TransferResult = JobStatus;

// Questions and messages of a worker are shown on the GUI thread while the worker waits for the
// answer; the dialog that guiObject is stays open behind them.
class GuiThreadPrompter : public Prompter {
public:
    GuiThreadPrompter(Prompter& target, QObject& guiObject) : target_(target), gui_(guiObject) {}
    Answer show(int stringId, Buttons buttons, Icon icon, const std::vector<std::string>& args = {}) override;

private:
    Prompter& target_;
    QObject& gui_;
};

// The whole transfer behind the modal progress dialog; messages go to prompter (always on the GUI
// thread, over the dialog). The caller refreshes what the result names.
TransferEnd RunTransfer(TransferKind kind, Session& session, Prompter& prompter, QWidget* parent);

}  // namespace rt62
