// One running copy per user: a lock file plus a local socket that asks the first copy to come forward.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace rt62 {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // key names the lock and the socket; the program uses its executable's base name.
    explicit SingleInstance(QString key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The program's key: executable base name plus the user, so two users do not shut each other out.
    static QString DefaultKey();

    // True when this is the first copy (the lock is ours and the socket listens). False when another
    // copy holds the lock; it has then been asked to bring its window forward.
    bool acquire();
    bool isPrimary() const { return server_ != nullptr; }
    const QString& serverName() const { return key_; }

  signals:
    // A later copy asked this one to show its window.
    void activationRequested();

  private:
    void notifyPrimary() const;

    QString key_;
    QLockFile lock_;
    QLocalServer* server_ = nullptr;
};

} // namespace rt62
