// The system's languages on Linux and other POSIX systems: the locale variables.
#include "core/image/system_language.h"

#include <algorithm>

#include "core/image/native_path.h"

namespace rt62 {

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

} // namespace rt62
