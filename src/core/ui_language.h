#pragma once

// Whether the user's interface language is German, of any country.
bool UserInterfaceLanguageIsGerman();
