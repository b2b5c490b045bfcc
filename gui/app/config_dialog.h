// File / Configure: the interface box, the port list and reopening the port.
#pragma once

#include "gui/common/app_settings.h"

#include <QDialog>
#include <QList>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace rt62 {

class Prompter;
class SerialPort;

// Opens and closes the application's serial port (the application owns the port object).
class PortControl {
  public:
    virtual ~PortControl() = default;
    // Creates a fresh port for the settings' port name and opens the clone link; false on failure.
    virtual bool openPort() = 0;
    // Closes and frees the port, if any.
    virtual void closePort() = 0;
    // The port object of the last openPort, if any: it tells why an open failed.
    virtual const SerialPort* currentPort() const { return nullptr; }
};

// A serial device the system reports, offered below "COM 1".."COM 16".
struct PortChoice {
    QString device;      // the name the link opens: a device path, or "sim:"
    QString description; // what the list shows
};

// The serial devices present now (ListSerialPorts), a stable by-id link in place of its node.
// devRoot and sysRoot are "/dev" and "/sys" except in tests.
QList<PortChoice> SystemSerialPorts(const QString& devRoot = QStringLiteral("/dev"),
                                    const QString& sysRoot = QStringLiteral("/sys"));
PortChoice SimulatedRadioChoice();
// True when the port name (COM%d, a device path, "sim:") names a device in the list, directly or
// through a link such as a /dev/serial/by-id name.
bool PortIsPresent(const QString& portName, const QList<PortChoice>& devices);

// OK's port rule: compare the interface type with the one at opening and close / reopen the port.
// Shows message 80 (with the reason when the port knows it) when a port was opened and that failed.
void ApplyPortChange(int portTypeAtOpen, const AppSettings& settings, PortControl& port, Prompter& prompter);

// "Configuration": the "&QRB-30" box, the port list and the backups folder.
class ConfigurationDialog : public QDialog {
    Q_OBJECT
  public:
    ConfigurationDialog(AppSettings& settings, PortControl& port, Prompter& prompter,
                        QList<PortChoice> devices = SystemSerialPorts(), QWidget* parent = nullptr);

    QCheckBox* qrbBox() const { return qrb_; }
    QComboBox* portList() const { return list_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    // The backups folder; empty means the default folder, which the field shows greyed.
    QLineEdit* backupFolderEdit() const { return backupFolder_; }

    void accept() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    AppSettings& settings_;
    PortControl& port_;
    Prompter& prompter_;
    int portTypeAtOpen_;
    QCheckBox* qrb_;
    QComboBox* list_;
    QLineEdit* backupFolder_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace rt62
