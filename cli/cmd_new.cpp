// rt62m new --band N -o FILE: a factory data file for a BandStepCode, as the default files hold.
#include <cstdio>

#include "cli_document.h"
#include "command.h"

namespace rt62::cli {
namespace {

int RunNew(const std::vector<std::string>& args) {
    int band = -1;
    std::string out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool hasValue = i + 1 < args.size();
        if (a == "--band" || a == "-b") {
            if (!hasValue) return UsageError("new: --band needs a value 0-3");
            const std::string& v = args[++i];
            if (v.size() != 1 || v[0] < '0' || v[0] > '3') return UsageError("new: --band must be 0, 1, 2 or 3");
            band = v[0] - '0';
        } else if (a == "-o" || a == "--output") {
            if (!hasValue || args[i + 1].empty()) return UsageError("new: -o needs a file name");
            out = args[++i];
        } else {
            return UsageError("new: unexpected argument '" + a + "'");
        }
    }
    if (band < 0) return UsageError("new: --band N is required (0-3)");
    if (out.empty()) return UsageError("new: -o FILE is required");

    CliPrompter prompter;
    CRT62MDoc doc(prompter);
    doc.Model() = MakeFactoryImage(band);
    return doc.WriteDataFile(out) ? kExitOk : kExitFailure;
}

}  // namespace

RT62M_COMMAND("new", "new --band N -o FILE  a factory data file for BandStepCode N (0-3)", 50, RunNew);

}  // namespace rt62::cli
