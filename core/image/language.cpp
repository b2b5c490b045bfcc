#include "core/image/language.h"

#include <algorithm>
#include <atomic>
#include <cctype>

namespace rt62 {
namespace {

using enum PluralCategory;

// CLDR's operands of a decimal text: i the integer digits, v how many fraction digits there are.
struct Operands {
    bool number = false;
    unsigned long long i = 0;
    int v = 0;
    bool fractionZero = true; // the fraction digits are all 0 ("1.0")
};

Operands Read(std::string_view text) {
    Operands o;
    std::size_t k = 0;
    if (k < text.size() && text[k] == '-') ++k;
    bool digits = false;
    for (; k < text.size() && std::isdigit(static_cast<unsigned char>(text[k])); ++k, digits = true)
        o.i = o.i < 100000000000000000ULL ? o.i * 10 + static_cast<unsigned>(text[k] - '0') : o.i;
    if (k < text.size() && text[k] == '.') {
        for (++k; k < text.size() && std::isdigit(static_cast<unsigned char>(text[k])); ++k, ++o.v)
            o.fractionZero = o.fractionZero && text[k] == '0';
    }
    o.number = digits && k == text.size();
    return o;
}

bool Millions(const Operands& o) { return o.v == 0 && o.i != 0 && o.i % 1000000 == 0; }

PluralCategory EnglishRule(std::string_view t) {
    const Operands o = Read(t);
    return o.number && o.i == 1 && o.v == 0 ? One : Other;
}
PluralCategory FrenchRule(std::string_view t) {
    const Operands o = Read(t);
    if (!o.number) return Other;
    if (o.i <= 1) return One;
    return Millions(o) ? Many : Other;
}
PluralCategory SpanishRule(std::string_view t) {
    const Operands o = Read(t);
    if (!o.number) return Other;
    if (o.i == 1 && o.fractionZero) return One;
    return Millions(o) ? Many : Other;
}
PluralCategory PortugueseRule(std::string_view t) {
    return FrenchRule(t); // one: i = 0..1, many: the millions, as French
}
PluralCategory PolishRule(std::string_view t) {
    const Operands o = Read(t);
    if (!o.number || o.v != 0) return Other;
    const unsigned long long d = o.i % 10, dd = o.i % 100;
    if (o.i == 1) return One;
    if (d >= 2 && d <= 4 && (dd < 12 || dd > 14)) return Few;
    return Many;
}
PluralCategory ChineseRule(std::string_view) { return Other; }

constexpr PluralCategory kOneOther[] = {One, Other};
constexpr PluralCategory kOneManyOther[] = {One, Many, Other};
constexpr PluralCategory kOneFewManyOther[] = {One, Few, Many, Other};
constexpr PluralCategory kOtherOnly[] = {Other};

const Language kLanguages[] = {
    {"en", "English", kOneOther, EnglishRule, true},
    {"de", "Deutsch", kOneOther, EnglishRule, true},
    {"es", "Español", kOneManyOther, SpanishRule, true},
    {"fr", "Français", kOneManyOther, FrenchRule, true},
    {"pl", "Polski", kOneFewManyOther, PolishRule, true},
    {"pt_BR", "Português (Brasil)", kOneManyOther, PortugueseRule, true},
    {"zh_CN", "简体中文", kOtherOnly, ChineseRule, true},
    {"en_XA", "[Ƥşḗŭḓǿ]", kOneOther, EnglishRule, false},
};

std::atomic<const Language*> g_current{&kLanguages[0]};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

const Language* ByCode(std::string_view code) {
    for (const Language& l : kLanguages)
        if (l.code == code) return &l;
    return nullptr;
}

} // namespace

std::size_t Language::PluralIndex(std::string_view number) const {
    const auto at = std::find(categories.begin(), categories.end(), category(number));
    return at == categories.end() ? categories.size() - 1 : static_cast<std::size_t>(at - categories.begin());
}

std::span<const Language> Languages() { return kLanguages; }
const Language& EnglishLanguage() { return kLanguages[0]; }

const Language* FindLanguage(std::string_view name) {
    // "de_AT.UTF-8@euro" -> "de_at"; "zh-Hans-CN" -> "zh_hans_cn".
    name = name.substr(0, name.find_first_of(".@"));
    std::string n = Lower(name);
    std::replace(n.begin(), n.end(), '-', '_');
    if (n == "c" || n == "posix") return &kLanguages[0];
    const std::string lang = n.substr(0, n.find('_'));
    const std::string rest = n.size() > lang.size() ? n.substr(lang.size() + 1) : std::string();
    if (lang == "en") return rest == "xa" ? ByCode("en_XA") : &kLanguages[0];
    if (lang == "zh") {
        // Simplified Chinese is for the mainland and Singapore; Traditional readers are not given it.
        for (std::string_view traditional : {"hant", "tw", "hk", "mo"})
            if (rest.substr(0, rest.find('_')) == traditional) return nullptr;
        return ByCode("zh_CN");
    }
    // Brazilian Portuguese serves the other Portuguese-speaking countries too.
    if (lang == "pt") return ByCode("pt_BR");
    const Language* l = ByCode(lang);
    return l && l->shipped ? l : nullptr;
}

const Language& MatchLanguage(const std::vector<std::string>& preferred) {
    for (const std::string& p : preferred)
        if (const Language* l = FindLanguage(p)) return *l;
    return kLanguages[0];
}

void SetLanguage(const Language& language) { g_current.store(&language); }
const Language& CurrentLanguage() { return *g_current.load(); }

} // namespace rt62
