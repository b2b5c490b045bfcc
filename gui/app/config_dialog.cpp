#include "gui/app/config_dialog.h"
#include "gui/common/qt_prompter.h"

#include "gui/common/accessible_names.h"
#include "gui/common/help_window.h"
#include "core/image/prompter.h"
#include "core/image/strings.h"
#include "core/link/port_list.h"
#include "core/link/radio_backup.h"
#include "core/link/serial_port.h"
#include "core/link/sim_port.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rt62 {
namespace {

constexpr int kComPortCount = 16;
constexpr int kStrSlowLatency = 4310;
constexpr int kStrPortNotPresent = 4304; // " (not present)"
constexpr int kStrSimulatedRadio = 5027;
constexpr int kStrSimulatedFleet = 5026;

} // namespace

PortChoice SimulatedRadioChoice() {
    const SystemPort sim = SimulatedRadioPort();
    return {QString::fromStdString(sim.device), TableText(kStrSimulatedRadio)};
}

QList<PortChoice> SystemSerialPorts(const QString& devRoot, const QString& sysRoot) {
    PortRoots roots;
    roots.dev = devRoot.toStdString();
    roots.sys = sysRoot.toStdString();
    QList<PortChoice> out;
    for (const SystemPort& p : ListSerialPorts(roots)) {
        // A stable by-id name is offered instead of the node, whose number may change on replugging.
        QString device = QString::fromStdString(p.byId.empty() ? p.device : p.byId);
        QString description;
        if (!p.byId.empty()) {
            description = QFileInfo(device).fileName();
        } else {
            QString what = QString::fromStdString(p.product);
            if (what.isEmpty())
                what = p.usbId.empty() && p.device.find("/ttyS") != std::string::npos
                           ? TableText(5028)  // "serial port"
                           : TableText(5029); // "USB serial adapter"
            // A device path carries its description in brackets; a COM port is followed by it.
            description = (device.startsWith(QLatin1Char('/')) ? QStringLiteral("%1 (%2)") : QStringLiteral("%1  %2"))
                              .arg(device, what);
        }
        if (p.inUse) description += TableText(5030);
        if (p.latencyMs > kSlowLatencyMs)
            description += QString::fromStdString(FormatString(kStrSlowLatency, {std::to_string(p.latencyMs)}));
        out.push_back({device, description});
    }
    return out;
}

bool PortIsPresent(const QString& portName, const QList<PortChoice>& devices) {
    const std::optional<PortName> parsed = ParsePortName(portName.toStdString());
    if (!parsed) return false;
    if (parsed->kind == PortName::Kind::Simulated) return true;
    const QString device = QString::fromStdString(parsed->device);
    const QString canonical = QFileInfo(device).canonicalFilePath();
    for (const PortChoice& c : devices) {
        if (c.device == device) return true;
        // Windows lists COM1-COM16 by their names ("COM3"), which open as \\.\COM3.
        const std::optional<PortName> listed = ParsePortName(c.device.toStdString());
        if (listed && listed->device == parsed->device) return true;
        if (!canonical.isEmpty() && QFileInfo(c.device).canonicalFilePath() == canonical) return true;
    }
    return false;
}

void ApplyPortChange(int portTypeAtOpen, const AppSettings& settings, PortControl& port, Prompter& prompter) {
    bool opened = true;
    if (settings.portType == portTypeAtOpen) {
        if (settings.portType == 1) return;
        port.closePort();
        opened = port.openPort();
    } else if (settings.portType == 1) {
        port.closePort();
        return;
    } else {
        opened = port.openPort();
    }
    if (!opened) ShowPortProblem(prompter, port.currentPort());
}

ConfigurationDialog::ConfigurationDialog(AppSettings& settings, PortControl& port, Prompter& prompter,
                                         QList<PortChoice> devices, QWidget* parent)
    : QDialog(parent), settings_(settings), port_(port), prompter_(prompter),
      portTypeAtOpen_(settings.portType), qrb_(new QCheckBox(QStringLiteral("&QRB-30"), this)),
      list_(new QComboBox(this)), backupFolder_(new QLineEdit(this)),
      ok_(new QPushButton(TableText(kStrOk), this)), cancel_(new QPushButton(TableText(kStrCancel), this)) {
    setWindowTitle(TableText(4976));
    qrb_->setObjectName(QStringLiteral("1241"));
    list_->setObjectName(QStringLiteral("1242"));

    for (int i = 1; i <= kComPortCount; ++i)
        list_->addItem(QStringLiteral("COM %1").arg(i), QString());
    devices.push_back(SimulatedRadioChoice());
    // Radios one after another, for trying Radio > Program Fleet without a cable.
    devices.push_back({QString::fromLatin1(kSimulatedFleetName), TableText(kStrSimulatedFleet)});
    bool deviceListed = settings.portDevice.isEmpty();
    for (const PortChoice& c : devices) {
        list_->addItem(c.description, c.device);
        deviceListed = deviceListed || c.device == settings.portDevice;
    }
    // A device chosen earlier but unplugged now stays selectable, so OK does not silently change it.
    if (!deviceListed)
        list_->addItem(settings.portDevice + TableText(kStrPortNotPresent), settings.portDevice);

    int pos = settings.comPort - 1;
    if (pos < 0 || pos >= kComPortCount) pos = 0;
    if (!settings.portDevice.isEmpty()) pos = list_->findData(settings.portDevice);
    list_->setCurrentIndex(pos);
    qrb_->setChecked(settings.portType == 1);

    // The box takes effect at once, even if the dialog is cancelled afterwards.
    connect(qrb_, &QCheckBox::toggled, this, [this](bool on) { settings_.portType = on ? 1 : 0; });

    // Enter closes only from the buttons themselves (see keyPressEvent).
    for (QPushButton* b : {ok_, cancel_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    ok_->setObjectName(QStringLiteral("1"));
    cancel_->setObjectName(QStringLiteral("2"));
    connect(ok_, &QPushButton::clicked, this, &ConfigurationDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &ConfigurationDialog::reject);

    auto* group = new QGroupBox(TableText(5021), this);
    auto* label = new QLabel(TableText(5022), group);
    label->setObjectName(QStringLiteral("3610"));
    label->setBuddy(list_);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(qrb_);
    groupLayout->addWidget(label);
    groupLayout->addWidget(list_);

    // Every image read from the radio is kept here before it is used.
    auto* backups = new QGroupBox(TableText(5023), this);
    backupFolder_->setObjectName(QStringLiteral("backupFolder"));
    backupFolder_->setText(settings.backupFolder);
    backupFolder_->setPlaceholderText(QString::fromStdString(DefaultBackupFolder()));
    backupFolder_->setMinimumWidth(backupFolder_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
    auto* browse = new QPushButton(TableText(5016), backups);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString start =
            backupFolder_->text().isEmpty() ? backupFolder_->placeholderText() : backupFolder_->text();
        const QString chosen = QFileDialog::getExistingDirectory(this, TableText(5003), start);
        if (!chosen.isEmpty()) backupFolder_->setText(QDir::toNativeSeparators(chosen));
    });
    auto* folderLabel = new QLabel(TableText(5024), backups);
    folderLabel->setBuddy(backupFolder_);
    auto* backupLayout = new QHBoxLayout(backups);
    backupLayout->addWidget(folderLabel);
    backupLayout->addWidget(backupFolder_, 1);
    backupLayout->addWidget(browse);
    setTabOrder(backupFolder_, browse);
    setTabOrder(browse, ok_);
    setTabOrder(ok_, cancel_);

    auto* left = new QVBoxLayout;
    left->addWidget(group);
    left->addWidget(backups);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    NameControlsFromLabels(this);
    InstallHelpKey(this, kHelpConfigure);
}

void ConfigurationDialog::accept() {
    const int pos = list_->currentIndex();
    const QString device = list_->currentData().toString();
    if (pos >= kComPortCount && !device.isEmpty()) {
        settings_.portDevice = device;
    } else {
        settings_.comPort = (pos < 0 || pos >= kComPortCount) ? 1 : pos + 1;
        settings_.portDevice.clear();
    }
    // The default folder typed out in full is still the default.
    const QString folder = backupFolder_->text().trimmed();
    settings_.backupFolder = folder == backupFolder_->placeholderText() ? QString() : folder;
    ApplyPortChange(portTypeAtOpen_, settings_, port_, prompter_);
    QDialog::accept();
}

void ConfigurationDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        QWidget* focus = focusWidget();
        if (focus == ok_)
            accept();
        else if (focus == cancel_)
            reject();
        event->accept(); // anywhere else Enter does nothing
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace rt62
