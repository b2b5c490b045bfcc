#include "gui/app/ini_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace rt62 {
namespace {

const QString kInitialize = QStringLiteral("Initialize");
const QString kItem = QStringLiteral("ITEM");
const QString kRecent = QStringLiteral("Recent File List");

QString ItemKey(int i) {
    return QStringLiteral("ITEM%1").arg(i);
}

// A value with a comma comes back from the INI parser as a list; treat it as the raw text.
QString RawText(const QVariant& v) {
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

void PutPort(QSettings& ini, const AppSettings& s) {
    ini.beginGroup(kInitialize);
    ini.setValue(QStringLiteral("PORT_TYPE"), s.portType);
    ini.setValue(QStringLiteral("COM_PORT"), s.comPort);
    if (s.portDevice.isEmpty())
        ini.remove(QStringLiteral("PORT_DEVICE"));
    else
        ini.setValue(QStringLiteral("PORT_DEVICE"), s.portDevice);
    // Only a folder the user chose is written, so the default keeps following the environment.
    if (s.backupFolder.isEmpty())
        ini.remove(QStringLiteral("BACKUP_DIR"));
    else
        ini.setValue(QStringLiteral("BACKUP_DIR"), s.backupFolder);
    ini.endGroup();
}

void PutItems(QSettings& ini, const AppSettings& s) {
    ini.beginGroup(kItem);
    for (int i = 0; i < kColumnItemCount; ++i)
        ini.setValue(ItemKey(i), s.items[static_cast<size_t>(i)]);
    ini.endGroup();
}

} // namespace

int ParseProfileInt(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
        negative = t[i++] == QLatin1Char('-');
    long long v = 0;
    for (; i < t.size() && t[i].isDigit() && t[i].unicode() < 128; ++i) {
        v = v * 10 + (t[i].unicode() - '0');
        if (v > 0x7fffffffLL) return 0; // overflow: as unreadable
    }
    return static_cast<int>(negative ? -v : v);
}

int UserConfigPlaceText() {
#ifdef Q_OS_WIN
    return 4306;
#else
    return 4305;
#endif
}

QString UserConfigHome() {
#ifdef Q_OS_WIN
    // The roaming profile's application data, where Windows programs keep their settings.
    const QString appData = qEnvironmentVariable("APPDATA");
    if (!appData.isEmpty() && QDir::isAbsolutePath(appData)) return QDir::cleanPath(QDir::fromNativeSeparators(appData));
    return QDir::home().filePath(QStringLiteral("AppData/Roaming"));
#endif
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are to be ignored, says the base-directory convention.
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg);
    return QDir::home().filePath(QStringLiteral(".config"));
}

bool RunsFromBuildFolder(const QString& programDir) {
    const QDir dir(programDir);
    return QFileInfo::exists(dir.filePath(QStringLiteral("CMakeCache.txt"))) ||
           QFileInfo::exists(dir.filePath(QStringLiteral("../CMakeCache.txt")));
}

QString ChooseIniPath(const QString& workingDir, const QString& programDir, const QString& configHome) {
    const QString here = QDir(workingDir).filePath(QStringLiteral("RT62MWin.ini"));
    if (QFileInfo(here).isFile() || RunsFromBuildFolder(programDir)) return here;
    return QDir(configHome).filePath(QStringLiteral("RT62MWin/RT62MWin.ini"));
}

QString IniSettings::DefaultPath() {
    return QDir::current().filePath(QStringLiteral("RT62MWin.ini"));
}

QString IniSettings::StartupPath() {
    return ChooseIniPath(QDir::currentPath(), QCoreApplication::applicationDirPath(), UserConfigHome());
}

bool IniSettings::finish(QSettings& ini) const {
    // The configuration folder may not exist yet on a new account.
    QDir().mkpath(QFileInfo(path_).absolutePath());
    ini.sync();
    if (ini.status() == QSettings::NoError) return true;
    if (!failure_->reported && failure_->handler) {
        failure_->reported = true;
        failure_->handler(path_);
    }
    return false;
}

int IniSettings::readInt(const QString& section, const QString& key, int def) const {
    QSettings ini(path_, QSettings::IniFormat);
    const QVariant v = ini.value(section + QLatin1Char('/') + key);
    if (!v.isValid()) return def;
    return ParseProfileInt(RawText(v));
}

bool IniSettings::loadStartup(AppSettings& s) const {
    s.portType = RepairPortType(readInt(kInitialize, QStringLiteral("PORT_TYPE"), 0));
    s.comPort = RepairComPort(readInt(kInitialize, QStringLiteral("COM_PORT"), 1));
    {
        QSettings ini(path_, QSettings::IniFormat);
        s.portDevice = RawText(ini.value(kInitialize + QStringLiteral("/PORT_DEVICE"))).trimmed();
        s.backupFolder = RawText(ini.value(kInitialize + QStringLiteral("/BACKUP_DIR"))).trimmed();
        s.language = RawText(ini.value(kInitialize + QStringLiteral("/LANGUAGE"))).trimmed();
    }
    for (int i = 0; i < kColumnItemCount; ++i)
        s.items[static_cast<size_t>(i)] = readInt(kItem, ItemKey(i), 1);

    QSettings ini(path_, QSettings::IniFormat);
    PutPort(ini, s);
    PutItems(ini, s);
    return finish(ini);
}

QSize IniSettings::frameSize() const {
    const int cx = readInt(kInitialize, QStringLiteral("CX"), kMinFrameWidth);
    const int cy = readInt(kInitialize, QStringLiteral("CY"), kMinFrameHeight);
    return {std::max(cx, kMinFrameWidth), std::max(cy, kMinFrameHeight)};
}

bool IniSettings::writeFrame(const AppSettings& s, QSize outerSize) const {
    QSettings ini(path_, QSettings::IniFormat);
    PutPort(ini, s);
    ini.setValue(kInitialize + QStringLiteral("/CX"), outerSize.width());
    ini.setValue(kInitialize + QStringLiteral("/CY"), outerSize.height());
    return finish(ini);
}

bool IniSettings::writeItems(const AppSettings& s) const {
    QSettings ini(path_, QSettings::IniFormat);
    PutItems(ini, s);
    return finish(ini);
}

bool IniSettings::writeLanguage(const AppSettings& s) const {
    QSettings ini(path_, QSettings::IniFormat);
    if (s.language.isEmpty())
        ini.remove(kInitialize + QStringLiteral("/LANGUAGE"));
    else
        ini.setValue(kInitialize + QStringLiteral("/LANGUAGE"), s.language);
    return finish(ini);
}

bool IniSettings::writePort(const AppSettings& s) const {
    QSettings ini(path_, QSettings::IniFormat);
    PutPort(ini, s);
    return finish(ini);
}

QStringList IniSettings::recentFiles() const {
    QSettings ini(path_, QSettings::IniFormat);
    QStringList out;
    ini.beginGroup(kRecent);
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString f = RawText(ini.value(QStringLiteral("File%1").arg(i)));
        if (!f.isEmpty()) out << f;
    }
    ini.endGroup();
    return out;
}

bool IniSettings::writeRecentFiles(const QStringList& files) const {
    QSettings ini(path_, QSettings::IniFormat);
    ini.beginGroup(kRecent);
    for (int i = 1; i <= kRecentFileCount; ++i) {
        if (i <= files.size())
            ini.setValue(QStringLiteral("File%1").arg(i), files[i - 1]);
        else
            ini.remove(QStringLiteral("File%1").arg(i));
    }
    ini.endGroup();
    return finish(ini);
}

QStringList AddRecentFile(QStringList files, const QString& path) {
    if (path.isEmpty()) return files;
    // Windows file names are the same file in any case.
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity kNameCase = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity kNameCase = Qt::CaseSensitive;
#endif
    std::vector<bool> same;
    for (const QString& f : files) same.push_back(QString::compare(f, path, kNameCase) == 0);
    QStringList out;
    for (int position : RecentFileOrder(same)) out << (position < 0 ? path : files[position]);
    return out;
}

} // namespace rt62
