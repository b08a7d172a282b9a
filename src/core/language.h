#pragma once

#include <filesystem>
#include <string_view>

#include "platform/registry.h"

// The user-interface language: 0 German, 1 English. Any other code is carried along but selects no
// language library.
inline constexpr int kLanguageGerman = 0;
inline constexpr int kLanguageEnglish = 1;

// Where the main window stores the chosen language below HKEY_CURRENT_USER.
inline constexpr std::string_view kLanguageKeyPath = "SOFTWARE\\Lumikarta\\Support und Update";
inline constexpr std::string_view kLanguageValueName = "LANGUAGE";
// The main window writes the name in this spelling; value names are compared without regard to case.
inline constexpr std::string_view kLanguageStoredValueName = "Language";

// The stored language code, or, when none usable is stored, German for a user whose interface
// language is German and English for everyone else.
int DecideLanguage(platform::Registry& registry = platform::SystemRegistry());

// Stores the code as decimal text (with its terminating zero) for the next start, creating the key
// when it is missing; false when the value could not be written.
bool StoreLanguage(int languageCode, platform::Registry& registry = platform::SystemRegistry());

// Makes the English language library the current resource source when the code asks for English
// and the library can be loaded; otherwise the German texts stay.
void ApplyLanguage(int languageCode, const std::filesystem::path& programFolder);
