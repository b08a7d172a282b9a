#pragma once

#include <cstdint>
#include <string>

#include "common/registry_walker.h"

// Position over the subkeys of a walker's top key: Start, then while not Done use Name and Next.
// The top key must stay the same until the last Next; callers that Push inside the loop Pop back
// first. A subkey whose name is too long for the 255-character field is passed over and the
// enumeration goes on with the next one.
class CRegSubkeyEnum {
public:
    static constexpr std::size_t kMaxNameChars = 255;

    explicit CRegSubkeyEnum(CRegistryWalker& walker) : m_pWalker(&walker) {}

    void Start();
    // Moves to the next subkey; returns the platform's result of that fetch.
    long Next();
    bool Done() const { return m_nIndex < 0; }
    const std::string& Name() const { return m_szName; }

private:
    long FetchFrom(uint32_t position);

    CRegistryWalker* m_pWalker;
    int32_t m_nIndex = -1;
    std::string m_szClass;
    uint32_t m_nCount = 0;
    std::string m_szName;
};
