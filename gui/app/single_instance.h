// One running copy per user and graphical session: a lock file plus a local socket over which a later
// copy asks the first one to come forward, or to open a file.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

namespace rt62 {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // key names the lock and the socket (see KeyFor).
    explicit SingleInstance(QString key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The program's key for this process: executable base name, user and display.
    static QString DefaultKey();
    // program-user-session, where the session is the Wayland socket when there is one, else the X
    // display without its screen number (":0.1" is the display ":0"). Characters that cannot be in a
    // file name become '_'.
    static QString KeyFor(const QString& program, const QString& user, const QString& display,
                          const QString& waylandDisplay);

    // True when this is the first copy (the lock is ours and the socket listens). False when another
    // copy holds the lock; it has then been asked to come forward and, when fileToOpen is not empty,
    // to open that file (an absolute path).
    bool acquire(const QString& fileToOpen = {});
    bool isPrimary() const { return server_ != nullptr; }
    const QString& serverName() const { return serverName_; }

  signals:
    // A later copy asked this one to show its window.
    void activationRequested();
    // A later copy was started with this file (absolute path).
    void openRequested(const QString& path);

  private:
    void notifyPrimary(const QString& fileToOpen) const;
    void handleLine(const QByteArray& line);

    QString key_;
    QString serverName_; // the socket: a path in the user's runtime folder where there is one
    QLockFile lock_;
    QLocalServer* server_ = nullptr;
};

} // namespace rt62
