#include "gui/dialogs/filter_kind.h"

#include <string_view>

namespace rt62 {
namespace {

bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }

char32_t Upper(char32_t c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

bool InRange(char32_t c, char from, char to) {
    char32_t u = Upper(c);
    return u >= static_cast<char32_t>(from) && u <= static_cast<char32_t>(to);
}

// Characters a free text tag may not hold (the second one is the double quote).
constexpr std::string_view kTagForbidden = "!\"#$%&',.;<>?@^{|}~";

}  // namespace

bool FilterAccepts(unsigned kind, char32_t ch, int selectionStart) {
    if (kind < kFilterDecimal || kind > kFilterSerial) return true;
    if (ch > 0xFF) return false;
    switch (kind) {
    case kFilterDecimal: return IsDigit(ch) || ch == '.' || ch == ' ';
    case kFilterSigned: return IsDigit(ch) || ch == ' ' || ch == '+' || ch == '-';
    case kFilterDtmf: return IsDigit(ch) || InRange(ch, 'A', 'D') || ch == '#' || ch == '*';
    case kFilterTag: {
        char32_t low = ch & 0x7F;
        if (low < 0x20 || low == 0x7F) return false;
        return kTagForbidden.find(static_cast<char>(low)) == std::string_view::npos;
    }
    case kFilterSignedDecimal: return IsDigit(ch) || ch == ' ' || ch == '+' || ch == '-' || ch == '.';
    case kFilterDigitsSpace: return IsDigit(ch) || ch == ' ';
    case kFilterHex: return IsDigit(ch) || InRange(ch, 'A', 'F');
    case kFilterDigits: return IsDigit(ch);
    case kFilterSerial: return selectionStart == 1 ? InRange(ch, 'C', 'N') : IsDigit(ch);
    default: return true;
    }
}

}  // namespace rt62
