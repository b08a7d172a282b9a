#pragma once

// A node of a CXMLDocument, or none. A light handle: copies refer to the same node, which lives as
// long as its document.
class CXMLNode {
public:
    CXMLNode() = default;
    explicit CXMLNode(void* handle) : m_pHandle(handle) {}

    explicit operator bool() const { return m_pHandle != nullptr; }
    bool operator==(const CXMLNode& other) const = default;
    // The backend's own node object.
    void* Handle() const { return m_pHandle; }

private:
    void* m_pHandle = nullptr;
};
