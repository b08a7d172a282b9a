#pragma once

// windows.h first: the COM headers rely on its types.
#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

#include "platform/wide_text_windows.h"

// Owners of COM references, texts and values, so that every path out of a COM call releases what
// it was handed. Shared by the MSXML document and the management-service probe.
namespace platform {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr& other) : m_p(other.m_p) {
        if (m_p != nullptr) {
            m_p->AddRef();
        }
    }
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (m_p != nullptr) {
            std::exchange(m_p, nullptr)->Release();
        }
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For calls that hand out a new reference.
    T** Put() {
        Reset();
        return &m_p;
    }
    T* Detach() { return std::exchange(m_p, nullptr); }
    // Takes a reference of its own to a pointer that someone else holds.
    static ComPtr Retain(T* raw) {
        ComPtr kept;
        if (raw != nullptr) {
            raw->AddRef();
            kept.m_p = raw;
        }
        return kept;
    }

    template <typename U>
    ComPtr<U> As(const IID& iid) const {
        ComPtr<U> other;
        if (m_p != nullptr && FAILED(m_p->QueryInterface(iid, reinterpret_cast<void**>(other.Put())))) {
            other.Reset();
        }
        return other;
    }

private:
    T* m_p = nullptr;
};

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::string_view utf8) {
        const std::wstring wide = WideFromUtf8(utf8);
        m_b = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    // A counted copy of a literal: calls that are marshalled read the length before the text.
    explicit Bstr(const wchar_t* wide) : m_b(SysAllocString(wide)) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(m_b); }

    BSTR Get() const { return m_b; }
    BSTR* Put() {
        SysFreeString(std::exchange(m_b, nullptr));
        return &m_b;
    }
    BSTR Detach() { return std::exchange(m_b, nullptr); }
    std::string Utf8() const { return Utf8FromWide(std::wstring_view(m_b, SysStringLen(m_b))); }

private:
    BSTR m_b = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&m_v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&m_v); }

    VARIANT* Put() {
        VariantClear(&m_v);
        return &m_v;
    }
    VARIANT& Get() { return m_v; }
    const VARIANT& Get() const { return m_v; }
    // The text of a string value; empty for anything else (a null node value).
    std::string Utf8() const {
        if (V_VT(&m_v) != VT_BSTR || V_BSTR(&m_v) == nullptr) {
            return {};
        }
        return Utf8FromWide(std::wstring_view(V_BSTR(&m_v), SysStringLen(V_BSTR(&m_v))));
    }

private:
    VARIANT m_v;
};

// Joins the thread to COM (single-threaded apartment) for the owner's life and leaves again, so each
// join is matched by one leave. A thread already in the other apartment kind answers
// RPC_E_CHANGED_MODE; it is used as it is and not left.
class ComApartment {
public:
    ComApartment() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_result)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool Joined() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_result;
};

}  // namespace platform
