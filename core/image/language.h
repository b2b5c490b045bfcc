// The languages the program speaks: which ones it has, which one is in use, how each counts plurals.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rt62 {

// CLDR's plural categories; a language's plural words are listed in this order.
enum class PluralCategory { One, Few, Many, Other };

struct Language {
    std::string_view code; // as the PO files are named: "en", "de", "pt_BR", "zh_CN"; "en_XA" the pseudo-language
    std::string_view name; // in the language itself, for the language menu
    std::span<const PluralCategory> categories;
    // The category of a count as the program prints it ("1", "22", "1.5"); Other for a text that is not
    // a number.
    PluralCategory (*category)(std::string_view number);
    bool shipped; // offered to users; the pseudo-language is for testers and is chosen only by its code

    // Which of the language's plural words a count takes (an index into categories).
    std::size_t PluralIndex(std::string_view number) const;
};

// English first, then the translations, then the pseudo-language.
std::span<const Language> Languages();
const Language& EnglishLanguage();

// The language of a preference as a user or a system names it: "de", "de_AT.UTF-8", "pt-BR", "zh-Hans-CN",
// "en-XA"; null when the program does not speak it. "C" and "POSIX" are English.
const Language* FindLanguage(std::string_view name);

// The first of the preferences, most wanted first, that the program speaks; English when none is.
const Language& MatchLanguage(const std::vector<std::string>& preferred);

// The language the string table answers in (English until set). Set it before starting threads; a
// change later is seen by each text looked up after it.
void SetLanguage(const Language& language);
const Language& CurrentLanguage();

} // namespace rt62
