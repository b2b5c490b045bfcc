#include "app/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace rt62 {
namespace {

constexpr char kActivate[] = "activate\n";

QString LockPath(const QString& key) {
    return QDir(QDir::tempPath()).filePath(key + QStringLiteral(".lock"));
}

} // namespace

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent), key_(std::move(key)), lock_(LockPath(key_)) {
    lock_.setStaleLockTime(0); // a lock is stale only when its process is gone
}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
}

QString SingleInstance::DefaultKey() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    QString key = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (key.isEmpty()) key = QStringLiteral("RT62MWin");
    if (!user.isEmpty()) key += QLatin1Char('-') + user;
    return key;
}

bool SingleInstance::acquire() {
    if (server_) return true;
    if (!lock_.tryLock(0)) {
        notifyPrimary();
        return false;
    }
    // The lock is ours, so a socket left by a crashed copy is stale and may go.
    QLocalServer::removeServer(key_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(key_)) {
        // Still the only copy; later copies just cannot reach us. Not worth refusing to start.
        return true;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (s->readAll().contains("activate")) emit activationRequested();
                s->disconnectFromServer();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    return true;
}

void SingleInstance::notifyPrimary() const {
    QLocalSocket socket;
    socket.connectToServer(key_);
    if (!socket.waitForConnected(1000)) return;
    socket.write(kActivate);
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(1000);
}

} // namespace rt62
