#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/registry.h"

// Walks a registry subtree below one root key with a stack of open keys and their full paths, so
// callers descend into subkeys by name, ask where they are and climb back. Each subkey is opened
// below its open parent, for reading: a walk over many keys then costs no lookups from the root.
class CRegistryWalker {
public:
    static constexpr int kStackSize = 128;

    explicit CRegistryWalker(platform::Registry& registry = platform::SystemRegistry());
    ~CRegistryWalker();
    CRegistryWalker(const CRegistryWalker&) = delete;
    CRegistryWalker& operator=(const CRegistryWalker&) = delete;

    // Opens the start key; true on success. Keys of an earlier walk are closed first.
    bool Open(platform::RegRoot root, const std::string& path);
    // Opens the subkey `name` of the top key as the new top; false when it cannot be opened or the
    // stack is full (the walk then stays where it was).
    bool Push(const std::string& name);
    // Closes the top key and returns to its parent; false at the start key, which stays open.
    bool Pop();

    std::string CurrentPath() const { return m_Stack[m_nDepth].path; }
    platform::RegistryKey* TopKey() const { return m_Stack[m_nDepth].key.get(); }
    int Depth() const { return m_nDepth; }

private:
    struct Entry {
        std::string path;
        std::unique_ptr<platform::RegistryKey> key;
    };

    platform::Registry& m_registry;
    std::array<Entry, kStackSize> m_Stack;
    int m_nDepth = 0;
    platform::RegRoot m_hRoot = platform::RegRoot::LocalMachine;
};
