#include "core/language.h"

#include <optional>
#include <string>
#include <vector>

#include "core/ui_language.h"
#include "res/resource_library.h"
#include "res/resources.h"
#include "text/leading_integer.h"

namespace {

// Stored data longer than this is not read, as the value was never meant to hold more.
constexpr std::size_t kMaxStoredBytes = 100;

std::optional<int> StoredLanguage(platform::Registry& registry) {
    std::unique_ptr<platform::RegistryKey> key;
    if (registry.OpenKey(platform::RegRoot::CurrentUser, kLanguageKeyPath, platform::RegAccess::Read, key) !=
        platform::RegResult::Success) {
        return std::nullopt;
    }
    platform::RegValue value;
    if (key->QueryValue(kLanguageValueName, kMaxStoredBytes, value) != platform::RegResult::Success) {
        return std::nullopt;
    }
    const std::string text(value.data.begin(), value.data.end());
    const int code = LeadingInteger(text.substr(0, text.find('\0')));
    if (code < 0) {
        return std::nullopt;
    }
    return code;
}

}  // namespace

int DecideLanguage(platform::Registry& registry) {
    if (const std::optional<int> stored = StoredLanguage(registry)) {
        return *stored;
    }
    return UserInterfaceLanguageIsGerman() ? kLanguageGerman : kLanguageEnglish;
}

bool StoreLanguage(int languageCode, platform::Registry& registry) {
    std::unique_ptr<platform::RegistryKey> key;
    if (registry.OpenKey(platform::RegRoot::CurrentUser, kLanguageKeyPath, platform::RegAccess::ReadWrite,
                         key) != platform::RegResult::Success &&
        registry.CreateKey(platform::RegRoot::CurrentUser, kLanguageKeyPath, key) !=
            platform::RegResult::Success) {
        return false;
    }
    const std::string text = std::to_string(languageCode);
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return key->SetValue(kLanguageStoredValueName, platform::RegType::Sz, data) ==
           platform::RegResult::Success;
}

void ApplyLanguage(int languageCode, const std::filesystem::path& programFolder) {
    if (languageCode != kLanguageEnglish) {
        return;
    }
    if (const LumikartaResourceTable* english = LoadEnglishResourceLibrary(programFolder)) {
        UseResources(*english);
    }
}
