#include "platform/hive/hive_registry_key.h"

#include "platform/hive/hive_registry.h"

namespace platform {

RegResult HiveRegistryKey::QueryInfo(std::string& className, uint32_t& subkeyCount,
                                     uint32_t& valueCount) const {
    className.clear();
    subkeyCount = static_cast<uint32_t>(m_hive.Subkeys(m_key).size());
    valueCount = static_cast<uint32_t>(m_hive.ValueCount(m_key));
    return RegResult::Success;
}

RegResult HiveRegistryKey::EnumKey(uint32_t index, std::size_t maxNameChars, std::string& name) const {
    const auto& subkeys = m_hive.Subkeys(m_key);
    if (index >= subkeys.size()) {
        return RegResult::NoMoreItems;
    }
    const std::string_view found = m_hive.KeyName(subkeys[index]);
    if (found.size() > maxNameChars) {
        return RegResult::MoreData;
    }
    name.assign(found);
    return RegResult::Success;
}

RegResult HiveRegistryKey::EnumValue(uint32_t index, std::size_t maxNameChars, std::size_t maxDataBytes,
                                     RegValue& value) const {
    if (!m_hive.ReadValue(m_key, std::size_t{index}, value)) {
        return RegResult::NoMoreItems;
    }
    return value.name.size() > maxNameChars || value.data.size() > maxDataBytes ? RegResult::MoreData
                                                                                : RegResult::Success;
}

RegResult HiveRegistryKey::QueryValue(std::string_view name, std::size_t maxDataBytes,
                                      RegValue& value) const {
    if (!m_hive.ReadValue(m_key, name, value)) {
        return RegResult::FileNotFound;
    }
    return value.data.size() > maxDataBytes ? RegResult::MoreData : RegResult::Success;
}

RegResult HiveRegistryKey::SetValue(std::string_view name, RegType type, const std::vector<uint8_t>& data) {
    if (!m_bWritable || m_owner == nullptr) {
        return RegResult::AccessDenied;
    }
    const std::vector<RegValue> before = m_hive.Values(m_key);
    m_hive.SetValue(m_key, RegValue{std::string(name), type, data});
    if (!m_owner->SaveUserHive()) {
        // Memory and file stay alike: what could not be stored did not happen.
        m_hive.SetValues(m_key, before);
        return RegResult::WriteFault;
    }
    return RegResult::Success;
}

}  // namespace platform
