#include "core/app/session_settings.h"

#include <cctype>

namespace rt62 {
namespace {

constexpr std::string_view kServicePassword = "melto-varis";

} // namespace

bool IsServicePassword(std::string_view typed) {
    if (typed.size() != kServicePassword.size()) return false;
    for (std::size_t i = 0; i < typed.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(typed[i])) != kServicePassword[i]) return false;
    return true;
}

} // namespace rt62
