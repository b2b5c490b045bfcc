// How core code tells or asks the user something: a numbered message and the answer.
#pragma once

#include <string>
#include <vector>

namespace rt62 {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Stop, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No };

// Every user-visible message is a string-table entry; args fill %1, %2, ... in order.
// The window shows a modal message box, the command line writes to stderr, tests script answers.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Answer show(int stringId, Buttons buttons, Icon icon, const std::vector<std::string>& args = {}) = 0;
};

// Short-hands matching the three message-box helpers of the program.
inline Answer ShowMessage(Prompter& p, int id, Buttons b = Buttons::Ok, Icon i = Icon::Stop) {
    return p.show(id, b, i);
}
inline Answer ShowMessage1(Prompter& p, int id, Buttons b, Icon i, const std::string& a1) {
    return p.show(id, b, i, {a1});
}
inline Answer ShowMessage2(Prompter& p, int id, Buttons b, Icon i, const std::string& a1, const std::string& a2) {
    return p.show(id, b, i, {a1, a2});
}

}  // namespace rt62
