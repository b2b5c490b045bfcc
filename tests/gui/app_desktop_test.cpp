// The program on a desktop: its command line, where its settings file lives, one window per
// graphical session with files handed over to it, and the first start on a new machine.
#include "app/command_line.h"

#include <QProcess>
#include <QtTest>

using namespace rt62;

namespace {

QString Program() {
    return QStringLiteral(RT62_BIN_DIR "/RT62MWin");
}

} // namespace

class AppDesktopTest : public QObject {
    Q_OBJECT
  private slots:
    void commandLine();
};

void AppDesktopTest::commandLine() {
    using A = WindowArgs::Action;
    struct Row {
        QStringList args;
        A action;
        QStringList start;
        QString bad;
    };
    const Row rows[] = {
        {{}, A::Run, {}, {}},
        {{"a.R62"}, A::Run, {"a.R62"}, {}},
        {{"/m"}, A::Run, {"/m"}, {}},
        {{"-M", "a.R62"}, A::Run, {"-M", "a.R62"}, {}}, // start-up decides what a switch with a file means
        {{"--help"}, A::Help, {}, {}},
        {{"-h", "a.R62"}, A::Help, {"a.R62"}, {}},
        {{"--version", "--help"}, A::Help, {}, {}},
        {{"--version"}, A::Version, {}, {}},
        {{"--bogus", "--help"}, A::Help, {}, "--bogus"},
        {{"--bogus", "-x"}, A::Usage, {}, "--bogus"},
        {{"-x"}, A::Usage, {}, "-x"},
        {{"-"}, A::Run, {"-"}, {}},
        {{"--", "--help", "-x.R62"}, A::Run, {"--help", "-x.R62"}, {}},
    };
    for (const Row& r : rows) {
        const WindowArgs got = ParseWindowArgs(r.args);
        QVERIFY2(got.action == r.action && got.startArgs == r.start && got.badOption == r.bad,
                 qPrintable(r.args.join(' ')));
    }

    // The real program: answers on the right stream and exits, without a window or a message box.
    struct Run {
        QStringList args;
        int exitCode;
        QString out, err;
    };
    const Run runs[] = {
        {{"--version"}, 0, "RT62MWin 1.00\n", ""},
        {{"--help"}, 0, "Usage: RT62MWin [FILE.R62]", ""},
        {{"--no-such-option", "a.R62"}, 2, "", "RT62MWin: unknown option '--no-such-option'"},
    };
    for (const Run& r : runs) {
        QProcess p;
        p.setProcessEnvironment([] {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_QPA_PLATFORM", "offscreen");
            return env;
        }());
        p.start(Program(), r.args);
        QVERIFY2(p.waitForFinished(30000), qPrintable(r.args.join(' ')));
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == r.exitCode, qPrintable(err));
        QVERIFY2(r.out.isEmpty() ? out.isEmpty() : out.startsWith(r.out), qPrintable(out));
        QVERIFY2(r.err.isEmpty() ? !err.contains("RT62MWin") : err.contains(r.err), qPrintable(err));
    }
}

QTEST_MAIN(AppDesktopTest)
#include "app_desktop_test.moc"
