#include "common/reg_value_enum.h"

#include <algorithm>

using platform::RegResult;

void CRegValueEnum::Start() {
    m_nIndex = -1;
    m_value = {};
    platform::RegistryKey* key = m_pWalker->TopKey();
    uint32_t subkeys = 0;
    if (key == nullptr || key->QueryInfo(m_szClass, subkeys, m_nCount) != RegResult::Success ||
        m_nCount == 0) {
        return;
    }
    FetchFrom(0);
}

long CRegValueEnum::Next() {
    m_value.name.clear();
    if (m_nIndex < 0) {
        return static_cast<long>(RegResult::NoMoreItems);
    }
    return FetchFrom(static_cast<uint32_t>(m_nIndex));
}

long CRegValueEnum::FetchFrom(uint32_t position) {
    platform::RegistryKey* key = m_pWalker->TopKey();
    RegResult result = RegResult::InvalidHandle;
    while (key != nullptr) {
        result = key->EnumValue(position, kMaxNameChars, kMaxDataBytes, m_value);
        if (result != RegResult::MoreData) {
            break;
        }
        // Too long for the fields: this one is left out, not the ones after it.
        ++position;
    }
    if (result != RegResult::Success) {
        m_value = {};
    }
    m_nIndex = result == RegResult::Success ? static_cast<int32_t>(position + 1) : -1;
    return static_cast<long>(result);
}

std::string CRegValueEnum::DataText() const {
    const auto end = std::find(m_value.data.begin(), m_value.data.end(), uint8_t{0});
    return std::string(m_value.data.begin(), end);
}
