#pragma once

#include <cstdint>
#include <string>

#include "registry/registry_walker.h"

// What the subkey and the value enumeration share: a position over the entries of the walker's top
// key. Use: Start, then while not Done read the entry and call Next. The top key must stay the
// same until the last Next; callers that Push inside the loop Pop back first. An entry too long for
// the fixed fields is passed over and the enumeration goes on with the next one.
class CRegEnum {
public:
    CRegEnum(const CRegEnum&) = delete;
    CRegEnum& operator=(const CRegEnum&) = delete;

    void Start();
    // Moves to the next entry; returns the platform's result of that fetch.
    long Next();
    bool Done() const { return m_nIndex < 0; }

protected:
    explicit CRegEnum(CRegistryWalker& walker) : m_pWalker(&walker) {}
    ~CRegEnum() = default;

    // The number of entries enumerated, from the key's subkey and value counts.
    virtual uint32_t CountOf(uint32_t subkeys, uint32_t values) const = 0;
    // Reads entry `position` into the fields; MoreData when it does not fit them.
    virtual platform::RegResult FetchAt(const platform::RegistryKey& key, uint32_t position) = 0;
    virtual void Clear() = 0;

private:
    long FetchFrom(uint32_t position);

    CRegistryWalker* m_pWalker;
    // Position of the next entry to fetch; -1 once the enumeration has ended.
    int32_t m_nIndex = -1;
    std::string m_szClass;
    uint32_t m_nCount = 0;
};
