#include <windows.h>

#include <algorithm>
#include <limits>

#include "platform/platform_registry.h"
#include "platform/wide_text_windows.h"
#include "text/text_encoding.h"

namespace platform {

namespace {

// Windows' own limits, terminator not counted.
constexpr DWORD kMaxKeyNameChars = 255;
constexpr DWORD kMaxValueNameChars = 16383;
// The first data buffer; larger data is fetched again with its exact size.
constexpr DWORD kFirstDataBytes = 1024;
// A value that keeps changing size between the size query and the fetch is given up after this.
constexpr int kFetchAttempts = 4;

RegResult FromWin32(LONG code) {
    return static_cast<RegResult>(code);
}

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The limits callers give are for what the program sees: UTF-8 names and, for texts, UTF-8 data,
// as the hive registry counts them. Every UTF-16 unit gives at least one UTF-8 byte, so stored
// data above twice the limit (plus an odd byte) cannot fit whatever its type.
DWORD StoredDataLimit(std::size_t maxDataBytes) {
    constexpr std::size_t kLargest = std::numeric_limits<DWORD>::max();
    return static_cast<DWORD>(maxDataBytes >= (kLargest - 1) / 2 ? kLargest : 2 * maxDataBytes + 1);
}

// The data as the program keeps it: texts in UTF-8 with whatever terminators were stored, all
// other types byte for byte.
std::vector<uint8_t> ProgramData(DWORD type, const BYTE* data, DWORD size) {
    if (!IsStringType(type)) {
        return std::vector<uint8_t>(data, data + size);
    }
    const std::string text = Utf16LeBytesToUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    return std::vector<uint8_t>(text.begin(), text.end());
}

// The bytes to store and, for texts, one more unit after them that is not stored: when a text's
// last stored unit is not zero, RegSetValueExW looks at the unit after it and stores that too if it
// is a zero ("a forgotten terminator"). The unit is never zero, so what is stored is exactly what
// was given, as on the other platforms, and the look never goes past the buffer.
std::vector<BYTE> StoredData(RegType type, const std::vector<uint8_t>& data, DWORD& storedSize) {
    if (!IsStringType(static_cast<DWORD>(type))) {
        storedSize = static_cast<DWORD>(data.size());
        return std::vector<BYTE>(data.begin(), data.end());
    }
    const std::u16string units =
        Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
    std::vector<BYTE> bytes;
    bytes.reserve(units.size() * 2 + 2);
    for (const char16_t unit : units) {
        bytes.push_back(static_cast<BYTE>(unit));
        bytes.push_back(static_cast<BYTE>(unit >> 8));
    }
    storedSize = static_cast<DWORD>(bytes.size());
    bytes.push_back(0xFF);
    bytes.push_back(0xFF);
    return bytes;
}

// Fills `value` from a fetched entry; MoreData when it exceeds the caller's limits.
RegResult TakeValue(std::wstring_view name, DWORD type, const std::vector<BYTE>& data, DWORD size,
                    std::size_t maxNameChars, std::size_t maxDataBytes, RegValue& value) {
    std::string utf8Name = Utf8FromWide(name);
    std::vector<uint8_t> programData = ProgramData(type, data.data(), size);
    if (utf8Name.size() > maxNameChars || programData.size() > maxDataBytes) {
        return RegResult::MoreData;
    }
    value.name = std::move(utf8Name);
    value.type = static_cast<RegType>(type);
    value.data = std::move(programData);
    return RegResult::Success;
}

class WindowsRegistryKey : public RegistryKey {
public:
    explicit WindowsRegistryKey(HKEY key) : m_key(key) {}
    ~WindowsRegistryKey() override { RegCloseKey(m_key); }
    WindowsRegistryKey(const WindowsRegistryKey&) = delete;
    WindowsRegistryKey& operator=(const WindowsRegistryKey&) = delete;

    RegResult QueryInfo(std::string& className, uint32_t& subkeyCount, uint32_t& valueCount) const override {
        className.clear();
        std::wstring buffer(MAX_PATH + 1, L'\0');
        for (;;) {
            DWORD length = static_cast<DWORD>(buffer.size());
            DWORD subkeys = 0;
            DWORD values = 0;
            const LONG result = RegQueryInfoKeyW(m_key, buffer.data(), &length, nullptr, &subkeys, nullptr,
                                                 nullptr, &values, nullptr, nullptr, nullptr, nullptr);
            if (result == ERROR_MORE_DATA && buffer.size() < 32768) {
                buffer.resize(buffer.size() * 2);
                continue;
            }
            if (result != ERROR_SUCCESS) {
                return FromWin32(result);
            }
            className =
                Utf8FromWide(std::wstring_view(buffer.data(), std::min<std::size_t>(length, buffer.size())));
            subkeyCount = subkeys;
            valueCount = values;
            return RegResult::Success;
        }
    }

    RegResult EnumKey(uint32_t index, std::size_t maxNameChars, std::string& name) const override {
        std::wstring buffer(kMaxKeyNameChars + 1, L'\0');
        for (int attempt = 0; attempt < kFetchAttempts; ++attempt) {
            DWORD length = static_cast<DWORD>(buffer.size());
            const LONG result =
                RegEnumKeyExW(m_key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
            if (result == ERROR_SUCCESS) {
                std::string utf8 = Utf8FromWide(std::wstring_view(buffer.data(), length));
                if (utf8.size() > maxNameChars) {
                    return RegResult::MoreData;
                }
                name = std::move(utf8);
                return RegResult::Success;
            }
            // Each unit is at least one UTF-8 byte: a name that does not fit the buffer is too
            // long unless the caller allows more than the buffer holds.
            if (result != ERROR_MORE_DATA || buffer.size() > maxNameChars) {
                return FromWin32(result);
            }
            DWORD longest = 0;
            const LONG info = RegQueryInfoKeyW(m_key, nullptr, nullptr, nullptr, nullptr, &longest, nullptr,
                                               nullptr, nullptr, nullptr, nullptr, nullptr);
            if (info != ERROR_SUCCESS) {
                return FromWin32(info);
            }
            buffer.assign(std::max<std::size_t>(longest + 1, buffer.size() * 2), L'\0');
        }
        return RegResult::MoreData;
    }

    RegResult EnumValue(uint32_t index, std::size_t maxNameChars, std::size_t maxDataBytes,
                        RegValue& value) const override {
        const DWORD dataLimit = StoredDataLimit(maxDataBytes);
        std::wstring name(std::min<std::size_t>(maxNameChars, kMaxValueNameChars) + 1, L'\0');
        std::vector<BYTE> data(std::min(dataLimit, kFirstDataBytes));
        for (int attempt = 0; attempt < kFetchAttempts; ++attempt) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD type = REG_NONE;
            DWORD size = static_cast<DWORD>(data.size());
            LONG result =
                RegEnumValueW(m_key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
            if (result == ERROR_SUCCESS) {
                return TakeValue(std::wstring_view(name.data(), nameLength), type, data, size, maxNameChars,
                                 maxDataBytes, value);
            }
            if (result != ERROR_MORE_DATA) {
                return FromWin32(result);
            }
            // The name or the data did not fit; ask for the full name and the data's size to tell.
            std::wstring fullName(kMaxValueNameChars + 1, L'\0');
            nameLength = static_cast<DWORD>(fullName.size());
            size = 0;
            result =
                RegEnumValueW(m_key, index, fullName.data(), &nameLength, nullptr, nullptr, nullptr, &size);
            if (result != ERROR_SUCCESS) {
                return FromWin32(result);
            }
            if (nameLength > maxNameChars || size > dataLimit) {
                return RegResult::MoreData;
            }
            name.assign(nameLength + 1, L'\0');
            // Never empty, so a fetch always has a buffer and cannot take the size-only form.
            data.resize(std::max<DWORD>(size, 1));
        }
        return RegResult::MoreData;
    }

    RegResult QueryValue(std::string_view name, std::size_t maxDataBytes, RegValue& value) const override {
        const std::wstring wideName = WideFromUtf8(name);
        const DWORD dataLimit = StoredDataLimit(maxDataBytes);
        std::vector<BYTE> data(std::min(dataLimit, kFirstDataBytes));
        for (int attempt = 0; attempt < kFetchAttempts; ++attempt) {
            DWORD type = REG_NONE;
            DWORD size = static_cast<DWORD>(data.size());
            LONG result = RegQueryValueExW(m_key, wideName.c_str(), nullptr, &type, data.data(), &size);
            if (result == ERROR_SUCCESS) {
                std::vector<uint8_t> programData = ProgramData(type, data.data(), size);
                if (programData.size() > maxDataBytes) {
                    return RegResult::MoreData;
                }
                value.name.assign(name);
                value.type = static_cast<RegType>(type);
                value.data = std::move(programData);
                return RegResult::Success;
            }
            if (result != ERROR_MORE_DATA) {
                return FromWin32(result);
            }
            size = 0;
            result = RegQueryValueExW(m_key, wideName.c_str(), nullptr, nullptr, nullptr, &size);
            if (result != ERROR_SUCCESS) {
                return FromWin32(result);
            }
            if (size > dataLimit) {
                return RegResult::MoreData;
            }
            data.resize(std::max<DWORD>(size, 1));
        }
        return RegResult::MoreData;
    }

    RegResult SetValue(std::string_view name, RegType type, const std::vector<uint8_t>& data) override {
        // A text takes at most two UTF-16 bytes per UTF-8 byte.
        if (data.size() > std::numeric_limits<DWORD>::max() / 2 - 2) {
            return FromWin32(ERROR_INVALID_PARAMETER);
        }
        DWORD storedSize = 0;
        const std::vector<BYTE> stored = StoredData(type, data, storedSize);
        return FromWin32(RegSetValueExW(m_key, WideFromUtf8(name).c_str(), 0, static_cast<DWORD>(type),
                                        stored.data(), storedSize));
    }

private:
    HKEY m_key;
};

class WindowsRegistry : public Registry {
public:
    RegResult OpenKey(RegRoot root, std::string_view path, RegAccess access,
                      std::unique_ptr<RegistryKey>& key) override {
        key.reset();
        const REGSAM rights = access == RegAccess::Read ? KEY_READ : KEY_READ | KEY_WRITE;
        HKEY opened = nullptr;
        const LONG result =
            RegOpenKeyExW(RootKey(root), WideFromUtf8(path).c_str(), 0, rights | View(root), &opened);
        if (result == ERROR_SUCCESS) {
            key = std::make_unique<WindowsRegistryKey>(opened);
        }
        return FromWin32(result);
    }

    RegResult CreateKey(RegRoot root, std::string_view path, std::unique_ptr<RegistryKey>& key) override {
        key.reset();
        HKEY created = nullptr;
        const LONG result =
            RegCreateKeyExW(RootKey(root), WideFromUtf8(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_WRITE | View(root), nullptr, &created, nullptr);
        if (result == ERROR_SUCCESS) {
            key = std::make_unique<WindowsRegistryKey>(created);
        }
        return FromWin32(result);
    }

private:
    static HKEY RootKey(RegRoot root) {
        return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    }

    // The program reads the machine's keys as the 32-bit program it was made as, so a 64-bit
    // build finds the products' installers' keys where they put them.
    static REGSAM View(RegRoot root) {
        switch (root) {
            case RegRoot::LocalMachine:
                return KEY_WOW64_32KEY;
            case RegRoot::LocalMachine64:
                return KEY_WOW64_64KEY;
            case RegRoot::CurrentUser:
                break;
        }
        return 0;
    }
};

}  // namespace

std::unique_ptr<Registry> CreatePlatformRegistry() {
    return std::make_unique<WindowsRegistry>();
}

}  // namespace platform
