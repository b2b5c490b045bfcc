// RT62MWin: the window program.
#include "app/application.h"
#include "app/help_window.h"
#include "version.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    rt62::EnsureResources();
    QApplication::setApplicationName(QStringLiteral("RT62MWin"));
    QApplication::setApplicationDisplayName(QStringLiteral("RT62MWin"));
    QApplication::setApplicationVersion(QStringLiteral(RT62M_VERSION_TEXT));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/rt62mwin.xpm")));

    rt62::CRT62MApp program;
    if (!program.InitInstance(QApplication::arguments().mid(1))) return 0;
    return app.exec();
}
