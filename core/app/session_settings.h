// The settings a session works with, whatever keeps them (the window's settings file, rt62m's
// options): the port, the backups, service mode.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace rt62 {

struct SessionSettings {
    // The port as ParsePortName reads it: "COM3", a device, "sim:" or "sim:fleet".
    std::string portName = "COM1";
    // The direct cable keeps one port open between transfers; the interface (and a command-line run)
    // gets a port for each transfer, freed afterwards.
    bool portPerTransfer = false;
    bool backups = true;       // every image read from a radio is kept first
    std::string backupFolder;  // in the system's spelling; empty: DefaultBackupFolder()
    bool serviceMode = false;
    std::chrono::milliseconds giveUpAfter{0}; // zero: wait for the radio without limit
};

// Whether typed is the service-mode password. Letters count in lower case, as both front-ends take
// them; anything else must match exactly.
bool IsServicePassword(std::string_view typed);

} // namespace rt62
