#include "app/application.h"

#include "app/help_window.h"
#include "app/main_frame.h"
#include "app/service_mode.h"
#include "app/single_instance.h"
#include "editor/form_view.h"
#include "image/document.h"
#include "link/serial_port.h"

#include <QApplication>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QTableView>

namespace rt62 {

CRT62MApp::CRT62MApp() : instanceKey_(SingleInstance::DefaultKey()) {}

CRT62MApp::~CRT62MApp() {
    frame_.reset(); // writes its settings while the rest still exists
    closePort();
}

QString CRT62MApp::FileArgument(const QStringList& args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        if (!IsServiceModeSwitch({*it}) && !it->isEmpty()) return *it;
    return {};
}

bool CRT62MApp::InitInstance(const QStringList& args) {
    instance_ = std::make_unique<SingleInstance>(instanceKey_);
    if (!instance_->acquire()) return false;

    // The settings file of the working directory, read with its repair rules and written back whole.
    ini_ = IniSettings(IniSettings::DefaultPath());
    ini_.loadStartup(settings_);

    settings_.serviceMode = IsServiceModeSwitch(args);
    settings_.printerName = QPrinterInfo::defaultPrinterName();
    if (settings_.serviceMode) settings_.serviceMode = AskServicePassword(nullptr);

    doc_ = std::make_unique<CRT62MDoc>(prompter_, QCoreApplication::applicationDirPath().toStdString());
    if (!OpenStartDocument(args)) return false;

    frame_ = std::make_unique<CMainFrame>(FrameContext{*doc_, settings_, ini_, prompter_, port_, *this});
    prompter_.setParent(frame_.get());
    connect(instance_.get(), &SingleInstance::activationRequested, frame_.get(), &CMainFrame::bringToFront);
    frame_->view()->FullRefresh();
    frame_->show();
    frame_->view()->grid()->setFocus();

    if (settings_.portType == 0 && !openPort()) ShowPortProblem(prompter_, port_.get());
    return true;
}

bool CRT62MApp::OpenStartDocument(const QStringList& args) {
    const QString file = args.size() == 1 && IsServiceModeSwitch(args) ? QString() : FileArgument(args);
    if (file.isEmpty()) {
        doc_->OnNewDocument();
        return true;
    }
    // The same probe as File / Open, so a file of the wrong size is refused, not read as an image.
    const std::string path = QFileInfo(file).absoluteFilePath().toStdString();
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
    doc_->Open(path);
    return doc_->IsFileLoaded();
}

bool CRT62MApp::openPort() {
    closePort();
    port_ = CreateSerialPort(settings_.portName().toStdString());
    return port_ && OpenCloneLink(*port_);
}

void CRT62MApp::closePort() {
    if (port_) port_->Close();
    port_.reset();
}

} // namespace rt62
