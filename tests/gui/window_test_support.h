// Small pieces the window tests share.
#pragma once

#include "gui/app/config_dialog.h"
#include "core/image/prompter.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUuid>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// How long a test waits for a window to be shown or activated: the offscreen platform does it at once,
// but a test run beside others on a busy machine may not get to its event loop within Qt's 5 s.
inline constexpr int kWindowWait = 30000;

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

// A temporary working directory holding the settings file (none when ini is empty).
struct WorkDir {
    QTemporaryDir dir;
    QString oldCwd = QDir::currentPath();
    explicit WorkDir(const QByteArray& ini = {}) {
        QDir::setCurrent(dir.path());
        write("RT62MWin.ini", ini);
    }
    ~WorkDir() { QDir::setCurrent(oldCwd); }
    QString iniPath() const { return dir.filePath("RT62MWin.ini"); }
    QString ini(const QString& key) const {
        return QSettings(iniPath(), QSettings::IniFormat).value(key).toString();
    }
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile f(dir.filePath(name));
        if (!bytes.isEmpty() && f.open(QIODevice::WriteOnly)) f.write(bytes);
        return f.fileName();
    }
};

// Answers from a script in order, then the fallback; records every message shown with its arguments,
// and whether all of them came on the window's thread.
struct ScriptedPrompter : Prompter {
    std::deque<Answer> answers;
    std::function<Answer(Buttons)> fallback = [](Buttons) { return Answer::Ok; };
    std::vector<int> shown;
    std::vector<std::vector<std::string>> args;
    bool onGuiThread = true;
    Answer show(int id, Buttons buttons, Icon, const std::vector<std::string>& arguments = {}) override {
        shown.push_back(id);
        args.push_back(arguments);
        onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
        if (answers.empty()) return fallback(buttons);
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Yes to every question (OK where that is the only answer) unless scripted.
struct YesPrompter : ScriptedPrompter {
    YesPrompter() {
        fallback = [](Buttons b) {
            return b == Buttons::Ok || b == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
        };
    }
};

// A cable that opens as told (never, unless set) and notes the calls.
struct FakePort : PortControl {
    bool opens = false;
    std::vector<std::string> calls;
    bool openPort() override {
        calls.push_back("open");
        return opens;
    }
    void closePort() override { calls.push_back("close"); }
};

} // namespace rt62::test
