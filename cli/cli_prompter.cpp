#include "cli/cli_prompter.h"

#include "core/image/strings.h"

namespace rt62::cli {

std::string CliPrompter::Text(int stringId, const std::vector<std::string>& args) {
    std::string text = FormatString(stringId, args);
    if (text.empty() && !HasString(stringId)) text = "message " + std::to_string(stringId);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

Answer CliPrompter::Choose(int stringId, Buttons buttons) const {
    auto it = answers_.find(stringId);
    if (it != answers_.end()) return it->second;
    switch (buttons) {
        case Buttons::Ok: return Answer::Ok;
        case Buttons::OkCancel: return assumeYes_ ? Answer::Ok : Answer::Cancel;
        case Buttons::YesNo: return assumeYes_ ? Answer::Yes : Answer::No;
        case Buttons::YesNoCancel: return assumeYes_ ? Answer::Yes : Answer::Cancel;
    }
    return Answer::Cancel;
}

Answer CliPrompter::show(int stringId, Buttons buttons, Icon, const std::vector<std::string>& args) {
    shown_.push_back(stringId);
    Answer answer = Choose(stringId, buttons);
    if (quiet_ || !out_) return answer;
    std::string text = Text(stringId, args);
    if (buttons == Buttons::Ok) {
        std::fprintf(out_, "%s\n", text.c_str());
    } else {
        const char* name = answer == Answer::Yes ? "Yes" : answer == Answer::No ? "No" : answer == Answer::Ok ? "OK" : "Cancel";
        std::fprintf(out_, "%s [%s]\n", text.c_str(), name);
    }
    std::fflush(out_);
    return answer;
}

}  // namespace rt62::cli
