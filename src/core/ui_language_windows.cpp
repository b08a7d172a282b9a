#include <windows.h>

#include "core/ui_language.h"

bool UserInterfaceLanguageIsGerman() {
    // The primary language alone: German of Germany, Austria, Switzerland and elsewhere alike.
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_GERMAN;
}
