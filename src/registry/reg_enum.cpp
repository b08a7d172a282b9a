#include "registry/reg_enum.h"

using platform::RegResult;

void CRegEnum::Start() {
    m_nIndex = -1;
    Clear();
    const platform::RegistryKey* key = m_pWalker->TopKey();
    uint32_t subkeys = 0;
    uint32_t values = 0;
    if (key == nullptr || key->QueryInfo(m_szClass, subkeys, values) != RegResult::Success) {
        return;
    }
    m_nCount = CountOf(subkeys, values);
    if (m_nCount != 0) {
        FetchFrom(0);
    }
}

long CRegEnum::Next() {
    Clear();
    if (m_nIndex < 0) {
        return static_cast<long>(RegResult::NoMoreItems);
    }
    return FetchFrom(static_cast<uint32_t>(m_nIndex));
}

long CRegEnum::FetchFrom(uint32_t position) {
    const platform::RegistryKey* key = m_pWalker->TopKey();
    RegResult result = RegResult::InvalidHandle;
    while (key != nullptr) {
        result = FetchAt(*key, position);
        if (result != RegResult::MoreData) {
            break;
        }
        // Too long for the fields: this one is left out, not the ones after it.
        ++position;
    }
    if (result != RegResult::Success) {
        Clear();
    }
    m_nIndex = result == RegResult::Success ? static_cast<int32_t>(position + 1) : -1;
    return static_cast<long>(result);
}
