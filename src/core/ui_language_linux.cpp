#include <array>
#include <cstdlib>
#include <string_view>

#include "core/ui_language.h"

bool UserInterfaceLanguageIsGerman() {
    // The variables in the order gettext consults them; the first one set decides.
    static constexpr std::array kVariables = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    for (const char* variable : kVariables) {
        const char* value = std::getenv(variable);
        if (!value || !*value) {
            continue;
        }
        // "de", "de_AT.UTF-8", "de_CH@euro", or a LANGUAGE list such as "de:en".
        const std::string_view locale(value);
        const std::string_view language = locale.substr(0, locale.find_first_of("_.@:"));
        return language == "de";
    }
    return false;
}
