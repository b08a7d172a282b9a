#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/registry_walker.h"

// Position over the values of a walker's top key, used like CRegSubkeyEnum. A value whose name is
// longer than 255 characters or whose data is longer than 256 bytes is passed over and the
// enumeration goes on with the next one.
class CRegValueEnum {
public:
    static constexpr std::size_t kMaxNameChars = 255;
    static constexpr std::size_t kMaxDataBytes = 256;

    explicit CRegValueEnum(CRegistryWalker& walker) : m_pWalker(&walker) {}

    void Start();
    long Next();
    bool Done() const { return m_nIndex < 0; }
    const std::string& Name() const { return m_value.name; }
    platform::RegType Type() const { return m_value.type; }
    const std::vector<uint8_t>& Data() const { return m_value.data; }
    // The data read as a text: up to its terminator, or all of it when it has none.
    std::string DataText() const;

private:
    long FetchFrom(uint32_t position);

    CRegistryWalker* m_pWalker;
    int32_t m_nIndex = -1;
    std::string m_szClass;
    uint32_t m_nCount = 0;
    platform::RegValue m_value;
};
