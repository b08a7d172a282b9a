#include "support/scoped_system_registry.h"

#include "platform/hive_registry.h"

namespace {

constexpr char kHeader[] = "Windows Registry Editor Version 5.00\n\n";

}  // namespace

ScopedSystemRegistry::ScopedSystemRegistry(const std::string& machine, const std::string& user) {
    platform::SetSystemRegistry(std::make_unique<platform::HiveRegistry>(
        m_folder.WriteFile("system.reg", kHeader + machine), m_folder.WriteFile("user.reg", kHeader + user)));
}

ScopedSystemRegistry::~ScopedSystemRegistry() {
    platform::SetSystemRegistry(nullptr);
}
