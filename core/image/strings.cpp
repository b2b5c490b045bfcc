#include "core/image/strings.h"

#include <algorithm>
#include <array>

#include "core/image/language.h"
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
#include "core/image/strings_report.inc"
#include "core/image/strings_web.inc"
};

const Entry* Find(int id) {
    for (const Entry& e : kEntries)
        if (e.id == id) return &e;
    return nullptr;
}

// The translations, compiled from i18n/*.po at build time; each table sorted by id.
struct TranslatedEntry {
    int id;
    const char* text;
};
struct TranslationTable {
    const char* code;
    const TranslatedEntry* entries;
    std::size_t count;
};
#include "core/image/translations.inc"

const TranslationTable* TableOf(const Language& language) {
    for (const TranslationTable& t : kTranslationTables)
        if (language.code == t.code) return &t;
    return nullptr;
}

const char* Translated(const TranslationTable* table, int id) {
    if (!table) return nullptr;
    const TranslatedEntry* end = table->entries + table->count;
    const TranslatedEntry* e =
        std::lower_bound(table->entries, end, id, [](const TranslatedEntry& a, int b) { return a.id < b; });
    return e != end && e->id == id ? e->text : nullptr;
}

// The text of an id in a language, and the language it is in: English where the translation lacks it.
std::pair<std::string_view, const Language*> Lookup(int id, const Language& language) {
    if (const char* t = Translated(TableOf(language), id)) return {t, &language};
    const Entry* e = Find(id);
    return {e ? std::string_view(e->text) : std::string_view(), &EnglishLanguage()};
}

} // namespace

std::string_view StringText(int id) {
    return Lookup(id, CurrentLanguage()).first;
}

std::string_view EnglishText(int id) {
    return Lookup(id, EnglishLanguage()).first;
}

std::string_view TranslatedText(const Language& language, int id) {
    const char* t = Translated(TableOf(language), id);
    return t ? std::string_view(t) : std::string_view();
}

std::span<const int> TranslatableIds() {
    return kTranslatableIds;
}

bool HasString(int id) {
    return Find(id) != nullptr;
}

std::string FormatText(std::string_view text, const std::vector<std::string>& args) {
    return FormatText(text, args, EnglishLanguage());
}

std::string FormatText(std::string_view text, const std::vector<std::string>& args, const Language& language) {
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            std::size_t n = static_cast<std::size_t>(text[i + 1] - '1');
            // %1{row|rows}: the word of %1's plural category, one word per category of the language.
            const std::size_t close = text.find('}', i);
            if (n < args.size() && i + 2 < text.size() && text[i + 2] == '{' && close != std::string_view::npos) {
                std::string_view words = text.substr(i + 3, close - i - 3);
                for (std::size_t k = language.PluralIndex(args[n]); k > 0 && words.find('|') != words.npos; --k)
                    words.remove_prefix(words.find('|') + 1);
                out += words.substr(0, words.find('|'));
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

int DisplayColumns(std::string_view utf8) {
    int columns = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if ((lead & 0xC0) == 0x80) { // a stray continuation byte
            ++i;
            continue;
        }
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                          (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                          (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                          (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
        columns += wide ? 2 : 1;
    }
    return columns;
}

std::string FormatString(int id, const std::vector<std::string>& args) {
    const auto [text, language] = Lookup(id, CurrentLanguage());
    return FormatText(text, args, *language);
}

} // namespace rt62
