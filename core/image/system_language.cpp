#include "core/image/system_language.h"

#include <algorithm>

#include "core/image/native_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace rt62 {

#ifdef _WIN32

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

#else

std::vector<std::string> SystemLanguages() {
    std::vector<std::string> out;
    // LANGUAGE is a list, and is taken even under the C locale, so that "LANGUAGE=de rt62m" works from a
    // shell that sets nothing else.
    const std::string list = EnvironmentUtf8("LANGUAGE");
    for (std::size_t at = 0; at <= list.size();) {
        const std::size_t end = std::min(list.find(':', at), list.size());
        if (end > at) out.push_back(list.substr(at, end - at));
        at = end + 1;
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const std::string value = EnvironmentUtf8(name);
        if (!value.empty()) {
            out.push_back(value);
            break;
        }
    }
    return out;
}

#endif

} // namespace rt62
