// RT62MWin: the window program.
#include "gui/app/application.h"
#include "gui/app/command_line.h"
#include "core/image/language.h"
#include "core/image/system_language.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // --help and --version answer before the toolkit starts, so they work without a display; they speak
    // the system's language (the settings are read later, for the window).
    rt62::SetLanguage(rt62::MatchLanguage(rt62::SystemLanguages()));
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const rt62::WindowArgs early = rt62::ParseWindowArgs(raw);
    if (early.action == rt62::WindowArgs::Action::Help || early.action == rt62::WindowArgs::Action::Version)
        return rt62::PrintWindowArgsText(early);

    QApplication app(argc, argv);
    rt62::SetUpApplication();
    // Parsed again once the toolkit has taken its own options (-platform, -style, ...) out.
    const rt62::WindowArgs args = rt62::ParseWindowArgs(QApplication::arguments().mid(1));
    if (args.action != rt62::WindowArgs::Action::Run) return rt62::PrintWindowArgsText(args);

    rt62::CRT62MApp program;
    if (!program.InitInstance(args.startArgs)) return 0;
    return app.exec();
}
