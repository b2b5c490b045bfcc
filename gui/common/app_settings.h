// The application-wide settings of one run: port, window size, column items, service mode, printer.
#pragma once

#include <QString>
#include <array>

#include "core/app/session_settings.h"
#include "core/grid/columns.h" // kColumnItemCount
#include "core/link/radio_backup.h"
#include "gui/common/file_paths.h"

namespace rt62 {

struct AppSettings {
    int portType = 0;   // 0 direct COM port, 1 QRB-30 interface
    int comPort = 1;    // 1-16
    QString portDevice; // a device chosen from the system's list ("" = use COM%d), or "sim:"
    int cx = 0;         // window size from the INI file
    int cy = 0;
    std::array<int, kColumnItemCount> items{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}; // "ITEM0".."ITEM14"
    bool portMissing = false; // the port's device is not on this machine (the info panel says so)
    bool serviceMode = false;
    QString printerName; // shown in the info panel
    QString backupFolder; // where images read from the radio are kept ("" = the default folder)
    QString language;     // the window's language as the PO files name it ("de", "pt_BR"); "" = the system's

    // The port name the link layer opens: the chosen device, or "COM%d".
    QString portName() const {
        return portDevice.isEmpty() ? QStringLiteral("COM%1").arg(comPort) : portDevice;
    }
    // What the session works with: the port by name, a port per transfer with the interface, the
    // backups folder in the system's spelling (so messages and the fleet log show it so).
    SessionSettings sessionSettings() const {
        SessionSettings s;
        s.portName = portName().toStdString();
        s.portPerTransfer = portType == 1;
        s.backupFolder = NativePath(backupFolder);
        s.serviceMode = serviceMode;
        return s;
    }
    // The folder the backups go to now: the chosen one, or the default.
    QString backupFolderInUse() const {
        return backupFolder.isEmpty() ? QString::fromStdString(DefaultBackupFolder()) : backupFolder;
    }
};

} // namespace rt62
