#include "core/image/strings.h"

#include <algorithm>
#include <array>

#include "core/version.h"

namespace rt62 {
namespace {

struct Entry {
    int id;
    const char* text;
};

// The table is split by area into include files, so each area keeps its own texts.
constexpr Entry kEntries[] = {
#include "core/image/strings_core.inc"
#include "core/image/strings_dialogs.inc"
#include "core/image/strings_gui.inc"
#include "core/image/strings_link.inc"
#include "core/image/strings_text.inc"
};

const Entry* Find(int id) {
    for (const Entry& e : kEntries)
        if (e.id == id) return &e;
    return nullptr;
}

} // namespace

std::string_view StringText(int id) {
    const Entry* e = Find(id);
    return e ? std::string_view(e->text) : std::string_view();
}

bool HasString(int id) {
    return Find(id) != nullptr;
}

std::string FormatText(std::string_view text, const std::vector<std::string>& args) {
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            std::size_t n = static_cast<std::size_t>(text[i + 1] - '1');
            // %1{row|rows}: the first word when %1 is 1, the second otherwise.
            const std::size_t bar = text.find('|', i);
            const std::size_t close = text.find('}', i);
            if (n < args.size() && i + 2 < text.size() && text[i + 2] == '{' && bar < close &&
                close != std::string_view::npos) {
                out += args[n] == "1" ? text.substr(i + 3, bar - i - 3) : text.substr(bar + 1, close - bar - 1);
                i = close;
                continue;
            }
            if (n < args.size()) {
                out += args[n];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string FormatString(int id, const std::vector<std::string>& args) {
    return FormatText(StringText(id), args);
}

} // namespace rt62
