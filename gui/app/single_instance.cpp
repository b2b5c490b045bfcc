#include "gui/app/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QUrl>

namespace rt62 {
namespace {

constexpr char kActivate[] = "activate";
constexpr char kOpen[] = "open ";
constexpr qsizetype kMaxLine = 64 * 1024; // far above any path; a peer sending more is dropped
constexpr int kWaitMs = 1000;
// How long a later copy stays for the first one to take its line: a Windows named pipe drops what
// its sender wrote once the sender has hung up, so leaving early would lose the file.
constexpr int kHandOverMs = 5000;

// The user's private runtime folder when the session has one, so no other user can take the names;
// the temporary folder otherwise.
QString PlaceFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir()) return runtime;
    return QDir::tempPath();
}

QString SafeName(QString text) {
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_.-]"));
    return text.replace(unsafe, QStringLiteral("_"));
}

} // namespace

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent), key_(std::move(key)),
      serverName_(QDir(PlaceFolder()).filePath(key_ + QStringLiteral(".sock"))),
      lock_(QDir(PlaceFolder()).filePath(key_ + QStringLiteral(".lock"))) {
    lock_.setStaleLockTime(0); // a lock is stale only when its process is gone
}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
}

QString SingleInstance::KeyFor(const QString& program, const QString& user, const QString& display,
                               const QString& waylandDisplay) {
    QString session = waylandDisplay;
    if (session.isEmpty()) {
        static const QRegularExpression screen(QStringLiteral("^(.*:[0-9]+)\\.[0-9]+$"));
        session = display;
        const QRegularExpressionMatch m = screen.match(display);
        if (m.hasMatch()) session = m.captured(1);
    }
    QString key = program.isEmpty() ? QStringLiteral("RT62MWin") : program;
    if (!user.isEmpty()) key += QLatin1Char('-') + user;
    if (!session.isEmpty()) key += QLatin1Char('-') + session;
    return SafeName(key);
}

QString SingleInstance::DefaultKey() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    // Without X or Wayland (Windows), the session is the one Windows names for the logon
    // ("Console", "RDP-Tcp#3"): each remote session of a user gets a window of its own.
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty()) display = qEnvironmentVariable("SESSIONNAME");
    return KeyFor(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(), user, display,
                  qEnvironmentVariable("WAYLAND_DISPLAY"));
}

bool SingleInstance::acquire(const QString& fileToOpen) {
    if (server_) return true;
    if (!lock_.tryLock(0)) {
        notifyPrimary(fileToOpen);
        return false;
    }
    // The lock is ours, so a socket left by a crashed copy is stale and may go.
    QLocalServer::removeServer(serverName_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(serverName_)) {
        // Still the only copy; later copies just cannot reach us. Not worth refusing to start.
        return true;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                // One line per connection; it may arrive in pieces.
                QByteArray buffer = s->property("buffer").toByteArray() + s->readAll();
                const qsizetype end = buffer.indexOf('\n');
                if (end < 0 && buffer.size() <= kMaxLine) {
                    s->setProperty("buffer", buffer);
                    return;
                }
                if (end >= 0) handleLine(buffer.left(end));
                s->disconnectFromServer();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    return true;
}

void SingleInstance::handleLine(const QByteArray& line) {
    if (line == kActivate) {
        emit activationRequested();
    } else if (line.startsWith(kOpen)) {
        // Sent as a file URL, so no character of the name can break the line.
        const QUrl url = QUrl::fromEncoded(line.mid(qsizetype(sizeof(kOpen) - 1)), QUrl::StrictMode);
        if (url.isValid() && url.isLocalFile() && QDir::isAbsolutePath(url.toLocalFile())) {
            emit activationRequested();
            emit openRequested(url.toLocalFile());
        }
    }
}

void SingleInstance::notifyPrimary(const QString& fileToOpen) const {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(kWaitMs)) return;
    const QByteArray line = fileToOpen.isEmpty()
                                ? QByteArray(kActivate)
                                : QByteArray(kOpen) + QUrl::fromLocalFile(fileToOpen).toEncoded();
    socket.write(line + '\n');
    socket.waitForBytesWritten(kWaitMs);
    // The first copy hangs up once it has the line; until then the message may still be in flight.
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kHandOverMs);
}

} // namespace rt62
