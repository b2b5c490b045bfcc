// Small pieces the window tests share.
#pragma once

#include "app/config_dialog.h"
#include "image/prompter.h"

#include <QApplication>
#include <QDialog>
#include <QString>
#include <QThread>
#include <QTimer>
#include <QUuid>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rt62::test {

// Runs action once on the next modal window that appears (its exec() blocks the caller, so this polls).
inline void OnNextModal(std::function<void(QWidget*)> action) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            action(w);
        }
    });
    poll->start(10);
}

// The same for the next modal dialog (a message box is one too).
inline void OnModal(std::function<void(QDialog*)> f) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, f] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            f(d);
        }
    });
    poll->start(10);
}

// An instance key no other test run uses, so single-instance tests do not meet each other.
inline QString UniqueKey(const QString& prefix = QStringLiteral("rt62test-")) {
    return prefix + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

// Runs start on a thread of its own while this thread goes on handling events, as when a second
// copy of the program starts in another process: the first copy must be free to read what the
// second one sends before it hangs up (a Windows named pipe drops a line its sender has closed).
template <class F>
auto WhileEventsRun(F start) {
    std::optional<decltype(start())> result;
    std::unique_ptr<QThread> thread(QThread::create([&] { result = start(); }));
    thread->start();
    while (!thread->isFinished())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    thread->wait();
    return *result;
}

// Answers from a script in order, then the fallback; records every message shown.
struct ScriptedPrompter : Prompter {
    std::deque<Answer> answers;
    std::function<Answer(Buttons)> fallback = [](Buttons) { return Answer::Ok; };
    std::vector<int> shown;
    Answer show(int id, Buttons buttons, Icon, const std::vector<std::string>& = {}) override {
        shown.push_back(id);
        if (answers.empty()) return fallback(buttons);
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

// A cable that never opens.
struct NoPort : PortControl {
    bool openPort() override { return false; }
    void closePort() override {}
};

} // namespace rt62::test
