// Shared pieces of the fuzz targets: a check that stops the run with a message, a prompter that
// answers without a person, and a scratch folder in memory where the system has one.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/image/model.h"
#include "core/image/prompter.h"

namespace rt62::fuzz {

// A broken property is a finding: report it and abort, so libFuzzer keeps the input as a crash.
#define RT62_FUZZ_CHECK(cond, what)                                                                          \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "property broken: %s (%s) at %s:%d\n", what, #cond, __FILE__, __LINE__);    \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

// Answers every question with the given answer for yes/no questions and OK otherwise.
class QuietPrompter : public Prompter {
  public:
    Answer yesNo = Answer::Yes;
    Answer okCancel = Answer::Ok;
    std::vector<int> ids;
    Answer show(int id, Buttons buttons, Icon, const std::vector<std::string>& = {}) override {
        ids.push_back(id);
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return okCancel;
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            return yesNo;
        }
        return Answer::Ok;
    }
    bool Saw(int id) const {
        for (int i : ids)
            if (i == id) return true;
        return false;
    }
};

// A private folder for files the target must write, made once per process. tmpfs when there is
// one: a fuzz run writes files hundreds of thousands of times.
const std::string& ScratchDir();

// The factory model of a BandStepCode, made once: every input starts from one of the four.
const ImageModel& FactoryModel(int bandStepCode);

} // namespace rt62::fuzz
