// The window's own command line: --help, --version, unknown options, and what is left for start-up.
#pragma once

#include <QString>
#include <QStringList>

namespace rt62 {

struct WindowArgs {
    enum class Action { Run, Help, Version, Usage };
    Action action = Action::Run;
    QStringList startArgs; // for InitInstance: the service switch or the file name ("--" dropped)
    QString badOption;     // Usage: the first option not understood
};

// args are the arguments after the program name. Help and version win over an unknown option, so
// "--bogus --help" still helps; after "--" nothing counts as an option.
WindowArgs ParseWindowArgs(const QStringList& args);

// Prints the help, version or usage text (stdout, stdout, stderr) and returns the exit status.
int PrintWindowArgsText(const WindowArgs& args);

} // namespace rt62
