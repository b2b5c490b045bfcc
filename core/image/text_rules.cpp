// White space, number reading and the character kinds of the edit fields.
#include "core/image/text_rules.h"

#include "core/image/std_compat.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

namespace rt62 {

namespace {

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

char32_t Upper(char32_t c) {
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

bool InRange(char32_t c, char from, char to) {
    const char32_t u = Upper(c);
    return u >= static_cast<char32_t>(from) && u <= static_cast<char32_t>(to);
}

// Characters a free text tag may not hold (the second one is the double quote).
constexpr std::string_view kTagForbidden = "!\"#$%&',.;<>?@^{|}~";

// The number a text starts with: its sign and its digits (with the point, when one is read).
struct LeadingNumber {
    bool negative = false;
    std::string_view digits;
};

LeadingNumber ScanNumber(std::string_view text, bool decimal) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    LeadingNumber out;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) out.negative = text[i++] == '-';
    // Only plain decimal notation: an exponent or "inf" never comes from the fields.
    std::size_t end = i;
    bool point = false;
    while (end < text.size() && (IsDigit(text[end]) || (decimal && text[end] == '.' && !point))) {
        point = point || text[end] == '.';
        ++end;
    }
    out.digits = text.substr(i, end - i);
    return out;
}

// The digits as a double; nullopt when they hold no number or one beyond a double's range.
std::optional<double> DigitsValue(const LeadingNumber& n) {
    double value = 0.0;
    const auto r = FromCharsFixed(n.digits.data(), n.digits.data() + n.digits.size(), value);
    if (r.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return n.negative ? -value : value;
}

} // namespace

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

double ParseDecimal(std::string_view text) {
    return DigitsValue(ScanNumber(text, true)).value_or(0.0);
}

int ReadWholeNumber(std::string_view text) {
    const LeadingNumber n = ScanNumber(text, false);
    long long value = 0;
    for (char c : n.digits)
        value = std::min<long long>(value * 10 + (c - '0'), INT_MAX);
    return static_cast<int>(n.negative ? -value : value);
}

std::optional<double> StrictDecimal(std::string_view text) {
    const std::string_view t = Trim(text);
    const LeadingNumber n = ScanNumber(t, true);
    const bool whole = n.digits.data() + n.digits.size() == t.data() + t.size();
    if (!whole || n.digits.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
    return DigitsValue(n);
}

bool FilterAccepts(unsigned kind, char32_t ch, int position) {
    if (kind < kFilterDecimal || kind > kFilterSerial) return true;
    if (ch > 0xFF) return false;
    switch (kind) {
    case kFilterDecimal: return IsDigit(ch) || ch == '.' || ch == ' ';
    case kFilterSigned: return IsDigit(ch) || ch == ' ' || ch == '+' || ch == '-';
    case kFilterDtmf: return IsDigit(ch) || InRange(ch, 'A', 'D') || ch == '#' || ch == '*';
    case kFilterTag: {
        const char32_t low = ch & 0x7F;
        if (low < 0x20 || low == 0x7F) return false;
        return kTagForbidden.find(static_cast<char>(low)) == std::string_view::npos;
    }
    case kFilterSignedDecimal: return IsDigit(ch) || ch == ' ' || ch == '+' || ch == '-' || ch == '.';
    case kFilterDigitsSpace: return IsDigit(ch) || ch == ' ';
    case kFilterHex: return IsDigit(ch) || InRange(ch, 'A', 'F');
    case kFilterDigits: return IsDigit(ch);
    case kFilterSerial: return position == 1 ? InRange(ch, 'C', 'N') : IsDigit(ch);
    default: return true;
    }
}

bool FilterAcceptsAll(unsigned kind, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!FilterAccepts(kind, static_cast<unsigned char>(text[i]), static_cast<int>(i))) return false;
    return true;
}

} // namespace rt62
