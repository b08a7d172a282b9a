#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The registry as the program sees it: the calls the registry walker, the probes and the language
// setting make, with the platform's own result codes and value types. Windows serves it with
// advapi32; Linux with hives loaded from registry text files.
namespace platform {

// Result codes carry the Win32 error numbers so both backends report alike.
enum class RegResult : long {
    Success = 0,
    FileNotFound = 2,
    AccessDenied = 5,
    InvalidHandle = 6,
    WriteFault = 29,
    MoreData = 234,
    NoMoreItems = 259,
};

// Value types carry the Win32 numbers; a hive may hold any other number too (hex(N) in text files).
enum class RegType : uint32_t {
    None = 0,
    Sz = 1,
    ExpandSz = 2,
    Binary = 3,
    Dword = 4,
    DwordBigEndian = 5,
    Link = 6,
    MultiSz = 7,
    ResourceList = 8,
    FullResourceDescriptor = 9,
    ResourceRequirementsList = 10,
    Qword = 11,
};

// HKEY_LOCAL_MACHINE is seen through its 32-bit view, where the products' 32-bit installers put their
// keys; LocalMachine64 is its 64-bit view, where a 64-bit Windows keeps the system's own keys.
enum class RegRoot { LocalMachine, CurrentUser, LocalMachine64 };

enum class RegAccess { Read, ReadWrite };

struct RegValue {
    std::string name;
    RegType type = RegType::None;
    std::vector<uint8_t> data;
};

// An open key; destroying it closes the key.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    // Class text and the number of subkeys and values (RegQueryInfoKey).
    virtual RegResult QueryInfo(std::string& className, uint32_t& subkeyCount,
                                uint32_t& valueCount) const = 0;
    // Subkey number `index` (RegEnumKeyEx). MoreData when its name is longer than maxNameChars;
    // NoMoreItems past the last one.
    virtual RegResult EnumKey(uint32_t index, std::size_t maxNameChars, std::string& name) const = 0;
    // Value number `index` (RegEnumValue). MoreData when its name is longer than maxNameChars or
    // its data longer than maxDataBytes; NoMoreItems past the last one.
    virtual RegResult EnumValue(uint32_t index, std::size_t maxNameChars, std::size_t maxDataBytes,
                                RegValue& value) const = 0;
    // The value of that name, compared without regard to case (RegQueryValueEx).
    virtual RegResult QueryValue(std::string_view name, std::size_t maxDataBytes, RegValue& value) const = 0;
    // Creates or replaces a value (RegSetValueEx); the key must be open for writing.
    virtual RegResult SetValue(std::string_view name, RegType type, const std::vector<uint8_t>& data) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;

    // Opens `path` (backslash-separated, case-insensitive) below `root`.
    virtual RegResult OpenKey(RegRoot root, std::string_view path, RegAccess access,
                              std::unique_ptr<RegistryKey>& key) = 0;
    // Opens the subkey `name` of `parent`, a key of this registry below `root` whose child has the
    // full path `path`. A walk through a large tree so finds each key in constant time instead of
    // from the root; a registry that cannot open below a key opens the full path.
    virtual RegResult OpenSubkey(RegRoot root, const RegistryKey& /*parent*/, std::string_view path,
                                 std::string_view /*name*/, RegAccess access,
                                 std::unique_ptr<RegistryKey>& key) {
        return OpenKey(root, path, access, key);
    }
    // Opens `path`, creating the missing keys on the way, for reading and writing.
    virtual RegResult CreateKey(RegRoot root, std::string_view path, std::unique_ptr<RegistryKey>& key) = 0;
};

// The registry of this process: the platform's own, or whatever a test has put in its place.
Registry& SystemRegistry();
// Replaces the process registry (tests); an empty pointer brings the platform's own back.
void SetSystemRegistry(std::unique_ptr<Registry> registry);

}  // namespace platform
