// The settings file "RT62MWin.ini": keys, defaults, repair rules, recent files.
#pragma once

#include "core/app/recent_files.h"
#include "gui/common/app_settings.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QSettings;

namespace rt62 {

inline constexpr int kMinFrameWidth = 750;
inline constexpr int kMinFrameHeight = 540;

// Reads an integer the way the profile functions always have: optional sign, then digits up to the
// first other character; anything unreadable is 0.
int ParseProfileInt(const QString& text);

// The repair rules of the start-up read.
inline int RepairPortType(int v) {
    return (v == 0 || v == 1) ? v : 0;
}
inline int RepairComPort(int v) {
    return (v <= 0 || v > 16) ? 1 : v;
}

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, otherwise ~/.config;
// on Windows %APPDATA%.
QString UserConfigHome();
// The string-table id of how the help text names the settings file's place in UserConfigHome().
int UserConfigPlaceText();
// True for a program started from the folder it was built in (bin/ of a CMake build tree).
bool RunsFromBuildFolder(const QString& programDir);
// Where the settings file of a run lives: the working directory's RT62MWin.ini when there is one, or
// when the program runs from its build folder (set-ups made that way keep working); otherwise the
// user's configuration folder, configHome/RT62MWin/RT62MWin.ini.
QString ChooseIniPath(const QString& workingDir, const QString& programDir, const QString& configHome);

// One settings file. Every call opens the file afresh and writes through at once, so the file is
// complete even if the program is later killed.
class IniSettings {
  public:
    // Called with the path the first time a write fails; later failures of the run stay quiet.
    using WriteFailureHandler = std::function<void(const QString& path)>;

    // The working directory at the time of the call, not the program's folder.
    static QString DefaultPath();
    // ChooseIniPath for this process: its working directory, its program folder, the user's
    // configuration folder.
    static QString StartupPath();

    explicit IniSettings(QString path = DefaultPath())
        : path_(std::move(path)), failure_(std::make_shared<FailureState>()) {}
    const QString& path() const { return path_; }
    // Copies of this object share the handler and the "already said" mark.
    void setWriteFailureHandler(WriteFailureHandler handler) const { failure_->handler = std::move(handler); }

    // Start-up: PORT_TYPE, COM_PORT, PORT_DEVICE, BACKUP_DIR, LANGUAGE and ITEM0-14 read with their rules into
    // s, then all but LANGUAGE written back. False when the file could not be written.
    bool loadStartup(AppSettings& s) const;

    // The window size from CX/CY (defaults 750 x 540), raised to the minimum.
    QSize frameSize() const;
    int readInt(const QString& section, const QString& key, int def) const;

    // Exit of the main window: PORT_TYPE, COM_PORT, PORT_DEVICE, BACKUP_DIR, CX and CY.
    bool writeFrame(const AppSettings& s, QSize outerSize) const;
    // Column visibility, section "ITEM", keys "ITEM0".."ITEM14".
    bool writeItems(const AppSettings& s) const;
    bool writePort(const AppSettings& s) const;
    // LANGUAGE in [Initialize], written only once a language is chosen and removed for the system's.
    bool writeLanguage(const AppSettings& s) const;

    QStringList recentFiles() const;
    bool writeRecentFiles(const QStringList& files) const;

  private:
    struct FailureState {
        WriteFailureHandler handler;
        bool reported = false;
    };
    bool finish(QSettings& ini) const;

    QString path_;
    std::shared_ptr<FailureState> failure_;
};

// RecentFileOrder for a list of paths: the same file is the same name, in any case on Windows.
QStringList AddRecentFile(QStringList files, const QString& path);

} // namespace rt62
