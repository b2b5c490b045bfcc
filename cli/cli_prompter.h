// The terminal's Prompter: messages go to stderr, questions take a fixed answer instead of waiting.
#pragma once

#include <cstdio>
#include <map>
#include <vector>

#include "core/image/prompter.h"

namespace rt62::cli {

// A tool run from a script must never block on a question, so every question gets the answer chosen
// beforehand: by default the safe one (No, Cancel), or Yes/OK when the caller says so (--yes).
class CliPrompter : public Prompter {
public:
    explicit CliPrompter(std::FILE* out = stderr, bool assumeYes = false) : out_(out), assumeYes_(assumeYes) {}

    Answer show(int stringId, Buttons buttons, Icon icon, const std::vector<std::string>& args = {}) override;

    // Overrides the answer for one string id (e.g. a question the user answered on the command line).
    void SetAnswer(int stringId, Answer answer) { answers_[stringId] = answer; }
    void SetAssumeYes(bool yes) { assumeYes_ = yes; }
    void SetQuiet(bool quiet) { quiet_ = quiet; }

    // The ids shown so far, oldest first; lets a command tell which failure it met.
    const std::vector<int>& Shown() const { return shown_; }
    int LastId() const { return shown_.empty() ? 0 : shown_.back(); }

    // The message text as the terminal shows it: the table entry filled in, CR LF turned into LF.
    static std::string Text(int stringId, const std::vector<std::string>& args = {});

private:
    Answer Choose(int stringId, Buttons buttons) const;

    std::FILE* out_;
    bool assumeYes_;
    bool quiet_ = false;
    std::map<int, Answer> answers_;
    std::vector<int> shown_;
};

}  // namespace rt62::cli
