#include "core/image/std_compat.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace rt62::fallback {
namespace {

std::to_chars_result Put(char* first, char* last, const std::string& text) {
    if (static_cast<std::size_t>(last - first) < text.size()) return {last, std::errc::value_too_large};
    std::memcpy(first, text.data(), text.size());
    return {first + text.size(), std::errc()};
}

std::string Printf(const char* format, int precision, double value) {
    const int n = std::snprintf(nullptr, 0, format, precision, value);
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(s.data(), s.size(), format, precision, value);
    s.pop_back();
    return s;
}

bool ReadsBack(const std::string& text, double value) { return std::strtod(text.c_str(), nullptr) == value; }

// Decimal digits d1 d2 ... dn and exponent e stand for d1.d2...dn * 10^e.
struct Decimal {
    std::string digits;
    int exponent = 0;

    std::string Exponential() const {
        std::string s(1, digits[0]);
        if (digits.size() > 1) s += '.' + digits.substr(1);
        char e[16]; // room for any int, though a double's exponent has at most three digits
        std::snprintf(e, sizeof e, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return s + e;
    }
};

Decimal FromExponential(const std::string& text) { // text as "%.*e" writes it, without sign
    Decimal d;
    const std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] != '.') d.digits += text[i];
    d.exponent = std::atoi(text.c_str() + e + 1);
    return d;
}

// The same number of digits, one unit in the last place up or down; nullopt-like empty when the
// digit count would change.
Decimal Step(Decimal d, int direction) {
    std::string& s = d.digits;
    int i = static_cast<int>(s.size()) - 1;
    for (; i >= 0; --i) {
        if (direction > 0 && s[static_cast<std::size_t>(i)] < '9') {
            ++s[static_cast<std::size_t>(i)];
            break;
        }
        if (direction < 0 && s[static_cast<std::size_t>(i)] > '0') {
            --s[static_cast<std::size_t>(i)];
            break;
        }
        s[static_cast<std::size_t>(i)] = direction > 0 ? '0' : '9';
    }
    if (i < 0 || s[0] == '0') d.digits.clear();
    return d;
}

// The shortest digits that read back as value (> 0, finite): the correctly rounded ones of the
// smallest count that reads back, or a neighbour of them where the value sits next to a power of two
// and its rounding interval is lopsided.
Decimal ShortestDigits(double value) {
    for (int n = 1; n <= 17; ++n) {
        const Decimal nearest = FromExponential(Printf("%.*e", n - 1, value));
        if (ReadsBack(nearest.Exponential(), value)) return nearest;
        for (int direction : {1, -1}) {
            const Decimal other = Step(nearest, direction);
            if (!other.digits.empty() && ReadsBack(other.Exponential(), value)) return other;
        }
    }
    return FromExponential(Printf("%.*e", 16, value));
}

} // namespace

std::to_chars_result ToCharsShortest(char* first, char* last, double value) {
    if (!std::isfinite(value) || value == 0) return Put(first, last, Printf("%.*g", 1, value));
    const std::string sign = std::signbit(value) ? "-" : "";
    Decimal d = ShortestDigits(std::fabs(value));
    // Trailing zeros never make a representation shorter.
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    const int n = static_cast<int>(d.digits.size());
    const std::string exponential = d.Exponential();
    std::string fixed;
    if (d.exponent >= n - 1) {
        // An integer: printed exactly, as printf would, which is the same length.
        fixed = Printf("%.*f", 0, std::fabs(value));
    } else if (d.exponent >= 0) {
        fixed = d.digits.substr(0, static_cast<std::size_t>(d.exponent) + 1) + '.' +
                d.digits.substr(static_cast<std::size_t>(d.exponent) + 1);
    } else {
        fixed = "0." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
    }
    return Put(first, last, sign + (fixed.size() <= exponential.size() ? fixed : exponential));
}

std::to_chars_result ToCharsFixed(char* first, char* last, double value, int precision) {
    return Put(first, last, Printf("%.*f", precision, value));
}

std::from_chars_result FromCharsFixed(const char* first, const char* last, double& value) {
    const char* p = first;
    if (p != last && *p == '-') ++p;
    auto matchWord = [&](const char* word) {
        const std::size_t n = std::strlen(word);
        if (static_cast<std::size_t>(last - p) < n) return false;
        for (std::size_t i = 0; i < n; ++i)
            if ((p[i] | 0x20) != word[i]) return false;
        p += n;
        return true;
    };
    if (matchWord("inf")) {
        matchWord("inity");
    } else if (matchWord("nan")) {
        // "nan(chars)" takes the parenthesis only when it is closed.
        const char* q = p;
        if (q != last && *q == '(') {
            ++q;
            while (q != last && (std::isalnum(static_cast<unsigned char>(*q)) || *q == '_')) ++q;
            if (q != last && *q == ')') p = q + 1;
        }
    } else {
        int digits = 0;
        while (p != last && *p >= '0' && *p <= '9') ++p, ++digits;
        if (p != last && *p == '.') {
            ++p;
            while (p != last && *p >= '0' && *p <= '9') ++p, ++digits;
        }
        if (digits == 0) return {first, std::errc::invalid_argument};
    }
    const std::string text(first, p);
    errno = 0;
    const double v = std::strtod(text.c_str(), nullptr);
    if (errno == ERANGE) return {p, std::errc::result_out_of_range};
    value = v;
    return {p, std::errc()};
}

} // namespace rt62::fallback
