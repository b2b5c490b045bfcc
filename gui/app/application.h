// The application object: start-up in order, the settings, the port and the one document and window.
#pragma once

#include "gui/common/app_settings.h"
#include "gui/app/config_dialog.h"
#include "gui/app/ini_settings.h"
#include "gui/common/qt_prompter.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

namespace rt62 {

class CMainFrame;
class CRT62MDoc;
class SerialPort;
class Session;
class SingleInstance;

// The program's names for the desktop (application name, version, desktop entry, icon); call once
// after the QApplication exists.
void SetUpApplication();

class CRT62MApp : public QObject, public PortControl {
    Q_OBJECT
  public:
    CRT62MApp();
    ~CRT62MApp() override; // the exit steps: the port is closed and freed

    // The start-up sequence; false ends the program (a second copy, or the named file failed).
    // args are the command-line arguments after the program name.
    bool InitInstance(const QStringList& args);

    AppSettings& settings() { return settings_; }
    CMainFrame* frame() const { return frame_.get(); }
    CRT62MDoc* document() const;
    SerialPort* port() const;
    // The single-instance key; tests give their own so they do not meet a running program.
    void setInstanceKey(QString key) { instanceKey_ = std::move(key); }

    // PortControl: the session's port for the configured name.
    bool openPort() override;
    void closePort() override;
    const SerialPort* currentPort() const override { return port(); }

    // The data file named on the command line, if any (service switches are not files).
    static QString FileArgument(const QStringList& args);
    // The file the start opens: none for the lone service switch, else FileArgument.
    static QString StartFile(const QStringList& args);

    // Where start-up and the port changes learn which serial devices this machine has.
    void setSerialPortList(std::function<QList<PortChoice>()> list) { portList_ = std::move(list); }
    // What makes the port object for a port name (tests give one that fails to open).
    using PortFactory = std::function<std::unique_ptr<SerialPort>(const std::string& name)>;
    void setPortFactory(PortFactory factory) { portFactory_ = std::move(factory); }

    // Files handed over by later copies, waiting until the window is free to open them.
    const QStringList& handedOverFiles() const { return handedOver_; }

  private:
    bool OpenStartDocument(const QStringList& args);
    void queueOpen(const QString& path);
    void openHandedOver();
    void updatePortPresence();

    AppSettings settings_;
    IniSettings ini_;
    QtPrompter prompter_;
    QString instanceKey_;
    std::unique_ptr<SingleInstance> instance_;
    std::function<QList<PortChoice>()> portList_ = [] { return SystemSerialPorts(); };
    PortFactory portFactory_;
    QStringList handedOver_;
    QTimer handOverTimer_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<CMainFrame> frame_;
};

} // namespace rt62
