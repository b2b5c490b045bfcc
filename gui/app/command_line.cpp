#include "gui/app/command_line.h"
#include "gui/app/ini_settings.h"

#include "gui/app/service_mode.h"
#include "core/image/strings.h"
#include "core/version.h"

#include <cstdio>

namespace rt62 {
namespace {

constexpr int kStrHelp = 4300;
constexpr int kStrVersion = 4301;
constexpr int kStrUnknownOption = 4302;

bool LooksLikeOption(const QString& a) {
    // "-" alone is a (strange) file name; the service switches are handled by start-up.
    return a.size() > 1 && a.startsWith(QLatin1Char('-')) && !IsServiceModeSwitch({a});
}

} // namespace

WindowArgs ParseWindowArgs(const QStringList& args) {
    WindowArgs out;
    bool optionsEnded = false;
    for (const QString& a : args) {
        if (optionsEnded) {
            out.startArgs << a;
        } else if (a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out.action = WindowArgs::Action::Help;
        } else if (a == QLatin1String("--version")) {
            if (out.action != WindowArgs::Action::Help) out.action = WindowArgs::Action::Version;
        } else if (LooksLikeOption(a)) {
            if (out.badOption.isEmpty()) out.badOption = a;
        } else {
            out.startArgs << a;
        }
    }
    if (out.action == WindowArgs::Action::Run && !out.badOption.isEmpty())
        out.action = WindowArgs::Action::Usage;
    return out;
}

int PrintWindowArgsText(const WindowArgs& args) {
    switch (args.action) {
    case WindowArgs::Action::Run:
        return 0;
    case WindowArgs::Action::Help:
        std::fputs(FormatString(kStrHelp, {FormatString(UserConfigPlaceText())}).c_str(), stdout);
        return 0;
    case WindowArgs::Action::Version:
        std::fputs(FormatString(kStrVersion, {RT62M_VERSION_TEXT}).c_str(), stdout);
        return 0;
    case WindowArgs::Action::Usage:
        std::fputs(FormatString(kStrUnknownOption, {args.badOption.toStdString()}).c_str(), stderr);
        return 2;
    }
    return 2;
}

} // namespace rt62
