// The program's numbered string table: every message, status text and help line by its id.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rt62 {

struct Language;

// The text of entry id in the language in use (English where it has no translation), or an empty view
// when the table has no such entry.
std::string_view StringText(int id);
bool HasString(int id);
// The English text, whatever the language: for texts that programs read back.
std::string_view EnglishText(int id);
// The translation of id in a language; empty when that language has none (English has none).
std::string_view TranslatedText(const Language& language, int id);
// The ids the translations cover: all but those that programs read (such as rt62m ports' "in use").
std::span<const int> TranslatableIds();

// The entry with %1, %2, ... replaced by args (a missing arg leaves the marker as it is), and each
// %N{word|words} by the word of arg N's plural category: in English the first word when arg N is 1, else
// the second ("%1 %1{row|rows} skipped"); a translation lists a word for each category of its language.
std::string FormatString(int id, const std::vector<std::string>& args = {});
std::string FormatText(std::string_view text, const std::vector<std::string>& args); // English rules
std::string FormatText(std::string_view text, const std::vector<std::string>& args, const Language& language);

// The columns a UTF-8 text takes in a fixed-width font: two for each East Asian wide character.
int DisplayColumns(std::string_view utf8);

}  // namespace rt62
