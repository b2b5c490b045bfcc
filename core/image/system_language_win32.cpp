// The system's languages on Windows: the user's preferred display languages.
#include "core/image/system_language.h"

#include <windows.h>

#include "core/image/native_path.h"

namespace rt62 {

std::vector<std::string> SystemLanguages() {
    std::vector<std::string> out;
    ULONG count = 0;
    ULONG size = 0;
    if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) && size > 0) {
        std::wstring names(size, L'\0');
        if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size)) {
            // "fr-FR\0en-US\0\0"
            for (std::size_t at = 0; at < names.size() && names[at] != L'\0';) {
                const std::size_t end = names.find(L'\0', at);
                out.push_back(Utf8FromWide(std::wstring_view(names).substr(at, end - at)));
                at = end + 1;
            }
        }
    }
    if (out.empty()) {
        wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
        if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0) > 0)
            out.push_back(Utf8FromWide(name));
    }
    return out;
}

} // namespace rt62
