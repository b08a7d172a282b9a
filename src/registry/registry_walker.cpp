#include "registry/registry_walker.h"

CRegistryWalker::CRegistryWalker(platform::Registry& registry) : m_registry(registry) {}

CRegistryWalker::~CRegistryWalker() = default;

bool CRegistryWalker::Open(platform::RegRoot root, const std::string& path) {
    // Entries above the top hold no open key.
    for (int depth = m_nDepth; depth >= 0; --depth) {
        m_Stack[depth].key.reset();
    }
    m_nDepth = 0;
    m_hRoot = root;
    m_Stack[0].path = path;
    return m_registry.OpenKey(root, path, platform::RegAccess::Read, m_Stack[0].key) ==
           platform::RegResult::Success;
}

bool CRegistryWalker::Push(const std::string& name) {
    if (m_nDepth >= kStackSize - 1) {
        return false;
    }
    const Entry& top = m_Stack[m_nDepth];
    Entry& next = m_Stack[m_nDepth + 1];
    next.path.assign(top.path).append(1, '\\').append(name);
    const platform::RegResult opened =
        top.key != nullptr
            ? m_registry.OpenSubkey(m_hRoot, *top.key, next.path, name, platform::RegAccess::Read, next.key)
            : m_registry.OpenKey(m_hRoot, next.path, platform::RegAccess::Read, next.key);
    if (opened != platform::RegResult::Success) {
        return false;
    }
    ++m_nDepth;
    return true;
}

bool CRegistryWalker::Pop() {
    if (m_nDepth == 0) {
        return false;
    }
    m_Stack[m_nDepth].key.reset();
    --m_nDepth;
    return true;
}
