#include "gui/app/application.h"
#include "gui/common/accessible_names.h"
#include "gui/common/file_paths.h"

#include "gui/common/help_window.h"
#include "gui/app/language_menu.h"
#include "gui/app/main_frame.h"
#include "gui/app/service_mode.h"
#include "gui/app/single_instance.h"
#include "gui/editor/form_view.h"
#include "core/app/session.h"
#include "core/image/document.h"
#include "core/link/serial_port.h"
#include "core/version.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPrinterInfo>
#include <QTableView>

namespace rt62 {

namespace {
constexpr int kStrIniNotWritten = 4303;
} // namespace

void SetUpApplication() {
    EnsureResources();
    InstallAccessibleInterfaces();
    QApplication::setApplicationName(QStringLiteral("RT62MWin"));
    QApplication::setApplicationVersion(QStringLiteral(RT62M_VERSION_TEXT));
    // No display name: the platform would append it to every window title, which names the
    // program already. The desktop entry gives the window its icon and name in the shell.
    QGuiApplication::setDesktopFileName(QStringLiteral("rt62mwin"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("rt62mwin"), QIcon(QStringLiteral(":/icons/rt62mwin.xpm"))));
}

CRT62MApp::CRT62MApp() : instanceKey_(SingleInstance::DefaultKey()) {}

CRT62MDoc* CRT62MApp::document() const {
    return session_ ? &session_->Document() : nullptr;
}

SerialPort* CRT62MApp::port() const {
    return session_ ? session_->Port() : nullptr;
}

CRT62MApp::~CRT62MApp() {
    prompter_.setParent(nullptr); // a message from the last settings write must not sit on a dying window
    frame_.reset();               // writes its settings while the rest still exists
    closePort();
}

QString CRT62MApp::FileArgument(const QStringList& args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        if (!IsServiceModeSwitch({*it}) && !it->isEmpty()) return *it;
    return {};
}

QString CRT62MApp::StartFile(const QStringList& args) {
    return args.size() == 1 && IsServiceModeSwitch(args) ? QString() : FileArgument(args);
}

bool CRT62MApp::InitInstance(const QStringList& args) {
    // A file for a window already running on this display is handed over with its full path, since
    // that window has a working directory of its own.
    const QString file = StartFile(args);
    instance_ = std::make_unique<SingleInstance>(instanceKey_);
    if (!instance_->acquire(file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath())) return false;
    connect(instance_.get(), &SingleInstance::openRequested, this, &CRT62MApp::queueOpen);
    connect(instance_.get(), &SingleInstance::activationRequested, this, [this] {
        if (frame_) frame_->bringToFront();
    });
    handOverTimer_.setInterval(100);
    connect(&handOverTimer_, &QTimer::timeout, this, &CRT62MApp::openHandedOver);

    // The settings file, read with its repair rules and written back whole. A file that cannot be
    // written is said once, with its path; the program goes on with the settings in memory.
    ini_ = IniSettings(IniSettings::StartupPath());
    const bool firstStart = !QFileInfo(ini_.path()).isFile();
    ini_.setWriteFailureHandler([this](const QString& path) {
        ShowMessage1(prompter_, kStrIniNotWritten, Buttons::Ok, Icon::Exclamation, NativePath(path));
    });
    ini_.loadStartup(settings_);
    StartInLanguage(settings_);

    settings_.serviceMode = IsServiceModeSwitch(args);
    settings_.printerName = QPrinterInfo::defaultPrinterName();
    if (settings_.serviceMode) settings_.serviceMode = AskServicePassword(nullptr);

    session_ = std::make_unique<Session>(prompter_, NativePath(QCoreApplication::applicationDirPath()));
    if (portFactory_) session_->SetPortFactory(portFactory_);
    if (!OpenStartDocument(args)) return false;

    frame_ = std::make_unique<CMainFrame>(FrameContext{*session_, settings_, ini_, prompter_, *this});
    prompter_.setParent(frame_.get());
    frame_->view()->FullRefresh();
    frame_->show();
    frame_->view()->grid()->setFocus();

    // On a new machine the default port is often not there at all: no error about a port nobody
    // chose; the info panel shows it as not present. A chosen port that has gone is still reported.
    const bool opened = settings_.portType != 0 || openPort();
    updatePortPresence();
    frame_->view()->RefreshInfoPanel();
    if (!opened && !(firstStart && settings_.portMissing))
        ShowPortProblem(prompter_, port());
    return true;
}

void CRT62MApp::queueOpen(const QString& path) {
    handedOver_ << path;
    handOverTimer_.start();
}

void CRT62MApp::openHandedOver() {
    // Never under a dialog, a message or a transfer: the document must not change beneath them.
    if (!frame_ || QApplication::activeModalWidget()) return;
    if (handedOver_.isEmpty()) {
        handOverTimer_.stop();
        return;
    }
    frame_->openFile(NativePath(handedOver_.takeFirst()));
}

bool CRT62MApp::OpenStartDocument(const QStringList& args) {
    const QString file = StartFile(args);
    CRT62MDoc& doc = session_->Document();
    if (file.isEmpty()) {
        doc.OnNewDocument();
        return true;
    }
    // The same probe as File / Open, so a file of the wrong size is refused, not read as an image.
    const std::string path = NativePath(QFileInfo(file).absoluteFilePath());
    switch (CRT62MDoc::ProbeOpenFile(path)) {
    case OpenProbe::Ok:
        break;
    case OpenProbe::CannotOpen:
        ShowMessage1(prompter_, kStrOpenFailed, Buttons::Ok, Icon::Stop, path);
        return false;
    case OpenProbe::CannotRead:
        ShowMessage1(prompter_, kStrReadFailed, Buttons::Ok, Icon::Stop, path);
        return false;
    case OpenProbe::WrongSize:
        ShowMessage(prompter_, kStrBadFormat, Buttons::Ok, Icon::Stop);
        return false;
    }
    doc.Open(path);
    return doc.IsFileLoaded();
}

bool CRT62MApp::openPort() {
    updatePortPresence();
    if (!session_) return false;
    session_->Settings() = settings_.sessionSettings();
    return session_->OpenPort();
}

void CRT62MApp::closePort() {
    if (session_) session_->ClosePort();
}

void CRT62MApp::updatePortPresence() {
    settings_.portMissing = !PortIsPresent(settings_.portName(), portList_());
}

} // namespace rt62
