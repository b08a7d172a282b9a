#include "common/reg_subkey_enum.h"

using platform::RegResult;

void CRegSubkeyEnum::Start() {
    m_nIndex = -1;
    m_szName.clear();
    platform::RegistryKey* key = m_pWalker->TopKey();
    uint32_t values = 0;
    if (key == nullptr || key->QueryInfo(m_szClass, m_nCount, values) != RegResult::Success ||
        m_nCount == 0) {
        return;
    }
    FetchFrom(0);
}

long CRegSubkeyEnum::Next() {
    if (m_nIndex < 0) {
        return static_cast<long>(RegResult::NoMoreItems);
    }
    return FetchFrom(static_cast<uint32_t>(m_nIndex));
}

long CRegSubkeyEnum::FetchFrom(uint32_t position) {
    platform::RegistryKey* key = m_pWalker->TopKey();
    RegResult result = RegResult::InvalidHandle;
    while (key != nullptr) {
        result = key->EnumKey(position, kMaxNameChars, m_szName);
        if (result != RegResult::MoreData) {
            break;
        }
        // Too long for the field: this one is left out, not the ones after it.
        ++position;
    }
    m_nIndex = result == RegResult::Success ? static_cast<int32_t>(position + 1) : -1;
    return static_cast<long>(result);
}
