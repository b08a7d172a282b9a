#include "platform/platform_registry.h"
#include "platform/registry.h"

namespace platform {

namespace {

std::unique_ptr<Registry>& Current() {
    static std::unique_ptr<Registry> registry;
    return registry;
}

}  // namespace

Registry& SystemRegistry() {
    auto& registry = Current();
    if (!registry) {
        registry = CreatePlatformRegistry();
    }
    return *registry;
}

void SetSystemRegistry(std::unique_ptr<Registry> registry) {
    Current() = std::move(registry);
}

}  // namespace platform
