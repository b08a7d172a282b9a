#include <algorithm>
#include <memory>

#include "platform/registry.h"
#include "sysinfo/system_info.h"

namespace {

constexpr char kProcessorKey[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
// The name is at most 48 characters; a longer value is no processor name.
constexpr std::size_t kMaxNameBytes = 100;

}  // namespace

void CSystemInfo::DetectCPU() {
    std::unique_ptr<platform::RegistryKey> key;
    if (platform::SystemRegistry().OpenKey(platform::RegRoot::LocalMachine, kProcessorKey,
                                           platform::RegAccess::Read, key) != platform::RegResult::Success) {
        return;
    }
    platform::RegValue value;
    if (key->QueryValue("ProcessorNameString", kMaxNameBytes, value) != platform::RegResult::Success ||
        value.data.empty()) {
        return;
    }
    // Kept with the spaces the platform often puts before it; the window trims them where it shows it.
    const auto end = std::find(value.data.begin(), value.data.end(), uint8_t{0});
    m_strCPUName.assign(value.data.begin(), end);
}
