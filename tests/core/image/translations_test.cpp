// The translations: complete and faithful to the English's placeholders, and each language's plurals.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "core/image/language.h"
#include "core/image/strings.h"

namespace rt62 {
namespace {

// The Get Started and Common Problems texts are laid out for a fixed-width font, and the window's
// --help for a terminal: a translation wraps them anew, within the same width.
int RewrapWidth(int id) {
    if ((id >= 60 && id <= 78) || (id >= 104 && id <= 106) || id == 4220) return 63;
    if (id == 4300) return 79;
    return 0;
}

// The headings of the report's tables: each word stands above its column, so every line keeps its width.
bool KeepsLineWidths(int id) { return id == 4657 || id == 4659; }

std::vector<int> LineWidths(std::string_view text) {
    std::vector<int> out;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        out.push_back(DisplayColumns(text.substr(at, end - at)));
        at = end + 1;
    }
    return out;
}

// Words a user types or a program reads, quoted by the messages: a translation keeps them as they are.
const std::pair<int, const char*> kKeptWords[] = {
    {128, "\n.R62\nRT62M.Document\n"}, {4000, "sudo usermod -aG dialout $USER"},
    {4105, "true"}, {4105, "false"}, {4107, "paging.page_%2"}, {4108, "two_tone.pair_%2"}, {4109, "PROX"},
    {4115, "C-67.0"}, {4115, "D-023"}, {4115, "none"}, {4116, "OFF"}, {4116, "MOTOROLA, 1- 433.7, 2- 569.1"},
    {4119, "DEC"}, {4132, "format:"}, {4132, "rt62m-1"}, {4136, "raw.%1"}, {4136, "VV/MM"}, {4137, "0x00-0x105"},
    {4138, "raw.checksum"}, {4138, "{stored: XXXX, sum: XXXX}"}, {4139, "format: rt62m-1"}, {4155, "split"},
    {4155, "off"}, {4159, "Tone"}, {4159, "TSQL"}, {4159, "DTCS"}, {4159, "Cross"}, {4161, "NN, NR, RN"},
    {4162, "NFM"}, {4164, "High"}, {4164, "Low"}, {4305, "$XDG_CONFIG_HOME/RT62MWin/RT62MWin.ini"},
    {4505, "0-9, A-D, *"}, {4508, "\"time,serial_number,ani_code,result,backup_file\""},
};

std::set<std::string> Matches(const std::string& text, const std::regex& re) {
    std::set<std::string> out;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        out.insert(it->str());
    return out;
}

std::vector<std::string> Problems(const Language& language, int id) {
    const std::string english(EnglishText(id));
    const std::string text(TranslatedText(language, id));
    if (text.empty()) return {"not translated"};
    std::vector<std::string> out;
    static const std::regex placeholder(R"(%[1-9])");
    static const std::regex plural(R"(%[1-9]\{[^}]*\})");
    static const std::regex pattern(R"(\*\.\w+|\$\w+)");
    if (Matches(english, placeholder) != Matches(text, placeholder)) out.push_back("placeholders differ");
    if (Matches(english, pattern) != Matches(text, pattern)) out.push_back("file patterns or variables differ");
    for (const std::string& p : Matches(text, plural)) {
        const auto forms = static_cast<std::size_t>(std::count(p.begin(), p.end(), '|') + 1);
        if (forms != language.categories.size()) out.push_back(p + ": not one word per plural category");
    }
    for (const std::string& p : Matches(english, plural))
        if (language.categories.size() > 1 && text.find(p.substr(0, 3)) == std::string::npos)
            out.push_back(p.substr(0, 2) + " has no plural words");
    for (const auto& [kept, word] : kKeptWords)
        if (kept == id && text.find(word) == std::string::npos) out.push_back(std::string("\"") + word + "\" not kept");
    if (KeepsLineWidths(id) && LineWidths(english) != LineWidths(text)) out.push_back("line widths differ");
    if (const int width = RewrapWidth(id)) {
        std::size_t at = 0;
        for (std::size_t end; (end = text.find('\n', at)) != std::string::npos || at < text.size(); at = end + 1) {
            end = std::min(end, text.size());
            std::string_view line(text.data() + at, end - at);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (DisplayColumns(line) > width) out.push_back("a line wider than " + std::to_string(width) + " columns");
        }
    } else if (std::count(english.begin(), english.end(), '\n') != std::count(text.begin(), text.end(), '\n')) {
        out.push_back("line breaks differ");
    }
    return out;
}

TEST(Translations, EveryIdInEveryShippedLanguageKeepsWhatTheEnglishHolds) {
    int languages = 0;
    for (const Language& language : Languages()) {
        if (!language.shipped || language.code == "en") continue;
        ++languages;
        for (const int id : TranslatableIds())
            for (const std::string& p : Problems(language, id))
                ADD_FAILURE() << language.code << " " << id << ": " << p << "\n  " << TranslatedText(language, id);
    }
    EXPECT_EQ(languages, 6);
    for (const auto& [id, word] : kKeptWords) EXPECT_NE(EnglishText(id).find(word), std::string::npos) << id;
    EXPECT_GT(TranslatableIds().size(), 300u);
    // What programs read back has no translation.
    for (const int fixed : {121, 4007, 4306})
        EXPECT_FALSE(std::binary_search(TranslatableIds().begin(), TranslatableIds().end(), fixed)) << fixed;
}

TEST(Translations, PluralWordsFollowEachLanguagesCategories) {
    const std::string text = "%1{a|b|c|d}";
    struct Case {
        const char* code;
        std::vector<std::pair<const char*, const char*>> numberWord;
    };
    const Case cases[] = {
        {"en", {{"1", "a"}, {"0", "b"}, {"2", "b"}, {"1.0", "b"}, {"x", "b"}}},
        {"fr", {{"0", "a"}, {"1", "a"}, {"1.5", "a"}, {"2", "c"}, {"1000000", "b"}, {"2000000", "b"}}},
        {"es", {{"1", "a"}, {"1.0", "a"}, {"0", "c"}, {"5", "c"}, {"3000000", "b"}}},
        {"pt_BR", {{"0", "a"}, {"1", "a"}, {"2", "c"}, {"1000000", "b"}}},
        {"pl", {{"1", "a"}, {"2", "b"}, {"4", "b"}, {"5", "c"}, {"12", "c"}, {"14", "c"}, {"22", "b"},
                {"112", "c"}, {"0", "c"}, {"11", "c"}, {"21", "c"}, {"1.5", "d"}}},
        {"zh_CN", {{"1", "a"}, {"2", "a"}}},
    };
    for (const Case& c : cases) {
        const Language* language = FindLanguage(c.code);
        ASSERT_NE(language, nullptr) << c.code;
        for (const auto& [number, word] : c.numberWord)
            EXPECT_EQ(FormatText(text, {number}, *language), word) << c.code << " " << number;
    }
    // A language in use that lacks a text says it in English, with English plurals.
    SetLanguage(*FindLanguage("pl"));
    EXPECT_EQ(FormatText("%1 %1{row|rows}", {"2"}), "2 rows");
    EXPECT_EQ(FormatString(4168, {"1", "5"}).substr(0, 2), "1 ");
    SetLanguage(EnglishLanguage());
    EXPECT_EQ(FormatString(4168, {"1", "5"}), "1 channel imported, 5 rows skipped");
}

TEST(Translations, TheSystemsPreferenceChoosesTheLanguage) {
    const std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
        {{}, "en"},
        {{"C"}, "en"},
        {{"C.UTF-8"}, "en"},
        {{"de_DE.UTF-8"}, "de"},
        {{"de_AT@euro"}, "de"},
        {{"sv", "fr-CA", "de"}, "fr"},    // the first it speaks, in the order given
        {{"en_GB", "de"}, "en"},           // English named first stays English
        {{"pt-PT"}, "pt_BR"},
        {{"pt_BR"}, "pt_BR"},
        {{"zh-Hans-CN"}, "zh_CN"},
        {{"zh_SG"}, "zh_CN"},
        {{"zh-TW", "ja", "es-MX"}, "es"}, // no Traditional Chinese
        {{"zh-Hant-HK"}, "en"},
        {{"en-XA"}, "en_XA"},             // the pseudo-language, by its code only
        {{"xx", ""}, "en"},
    };
    for (const auto& [preferred, code] : cases)
        EXPECT_EQ(MatchLanguage(preferred).code, code) << (preferred.empty() ? "" : preferred.front());
}

TEST(Translations, ThePseudoLanguageIsLongerAccentedAndBracketedButKeepsPlaceholders) {
    const Language& pseudo = *FindLanguage("en_XA");
    EXPECT_FALSE(pseudo.shipped);
    for (const int id : TranslatableIds()) {
        const std::string english(EnglishText(id));
        const std::string text(TranslatedText(pseudo, id));
        if (english.find_first_not_of(" \r\n") == std::string::npos) continue;
        EXPECT_GE(text.size(), english.size() * 14 / 10) << id;
        EXPECT_NE(text.find('['), std::string::npos) << id;
        static const std::regex marks(R"(%[1-9]\{?|\*\.\w+|\$\w+)");
        EXPECT_EQ(Matches(english, marks), Matches(text, marks)) << id;
        EXPECT_EQ(std::count(english.begin(), english.end(), '\n'), std::count(text.begin(), text.end(), '\n'))
            << id;
    }
    EXPECT_EQ(FormatText(std::string(TranslatedText(pseudo, 4168)), {"1", "2"}, pseudo).find("%"),
              std::string::npos);
}

} // namespace
} // namespace rt62
