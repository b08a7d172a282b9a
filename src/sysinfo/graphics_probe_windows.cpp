// windows.h first: the COM headers below rely on its types.
#include <windows.h>

#include <oleauto.h>
#include <wbemcli.h>
#include <wbemprov.h>

#include <string>
#include <string_view>

#include "common/reg_subkey_enum.h"
#include "common/reg_value_enum.h"
#include "common/registry_walker.h"
#include "platform/registry_name.h"
#include "platform/wide_text_windows.h"
#include "sysinfo/system_info.h"

namespace {

// Releases the interface when the probe leaves, on every path, so no early return leaks one.
template <typename Interface>
class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() {
        if (m_pointer != nullptr) {
            m_pointer->Release();
        }
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;

    Interface* operator->() const { return m_pointer; }
    Interface* Get() const { return m_pointer; }
    // For a call that hands out a new reference; only used on an empty pointer.
    Interface** Receive() { return &m_pointer; }
    void** ReceiveVoid() { return reinterpret_cast<void**>(&m_pointer); }

private:
    Interface* m_pointer = nullptr;
};

// The management calls take counted texts: a plain literal lacks the length prefix that marshalling reads.
class CountedText {
public:
    explicit CountedText(const wchar_t* text) : m_text(SysAllocString(text)) {}
    ~CountedText() { SysFreeString(m_text); }
    CountedText(const CountedText&) = delete;
    CountedText& operator=(const CountedText&) = delete;

    operator BSTR() const { return m_text; }

private:
    BSTR m_text;
};

class Variant {
public:
    Variant() { VariantInit(&m_value); }
    ~Variant() { VariantClear(&m_value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* Out() { return &m_value; }
    const VARIANT& Value() const { return m_value; }

private:
    VARIANT m_value;
};

// Joins the thread to COM for the probe and leaves again, so each join is matched by one leave. A
// thread already in the other apartment kind is used as it is and not left.
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

// The process security can be set once. When it is already set (by an earlier query or by COM's
// defaults after another call) the query still works, since each proxy is given the levels itself.
bool SetProcessSecurity() {
    const HRESULT result = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT,
                                                RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    return SUCCEEDED(result) || result == RPC_E_TOO_LATE;
}

// The management service answers a caller that it may not impersonate with "access denied". An
// in-process object has no proxy to set, which is no failure.
void AllowImpersonation(IUnknown* proxy) {
    CoSetProxyBlanket(proxy, RPC_C_AUTHN_DEFAULT, RPC_C_AUTHZ_DEFAULT, COLE_DEFAULT_PRINCIPAL,
                      RPC_C_AUTHN_LEVEL_PKT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

// A property without a value (null) reads as an empty text or 0, as a missing one does.
std::string TextProperty(IWbemClassObject* object, const wchar_t* name) {
    Variant value;
    if (FAILED(object->Get(name, 0, value.Out(), nullptr, nullptr)) || value.Value().vt != VT_BSTR ||
        value.Value().bstrVal == nullptr) {
        return {};
    }
    return platform::Utf8FromWide(
        std::wstring_view(value.Value().bstrVal, SysStringLen(value.Value().bstrVal)));
}

int32_t NumberProperty(IWbemClassObject* object, const wchar_t* name) {
    Variant value;
    if (FAILED(object->Get(name, 0, value.Out(), nullptr, nullptr)) ||
        FAILED(VariantChangeType(value.Out(), value.Out(), 0, VT_I4))) {
        return 0;
    }
    return value.Value().lVal;
}

// The service delivers its unsigned 32-bit numbers as signed ones, so adapters with 2 GiB and more
// would read as negative.
uint64_t MemoryProperty(IWbemClassObject* object, const wchar_t* name) {
    Variant value;
    if (FAILED(object->Get(name, 0, value.Out(), nullptr, nullptr))) {
        return 0;
    }
    if (value.Value().vt == VT_I4) {
        return static_cast<uint32_t>(value.Value().lVal);
    }
    if (FAILED(VariantChangeType(value.Out(), value.Out(), 0, VT_UI8))) {
        return 0;
    }
    return value.Value().ullVal;
}

void ReadAdapter(IWbemClassObject* adapter, GraphicsInfo& graphics) {
    graphics.m_nAdapterRAM = MemoryProperty(adapter, L"AdapterRAM");
    graphics.m_strDescription = TextProperty(adapter, L"Description");
    graphics.m_strDriverDate = TextProperty(adapter, L"DriverDate");
    graphics.m_strDriverVersion = TextProperty(adapter, L"DriverVersion");
    graphics.m_nBitsPerPixel = NumberProperty(adapter, L"CurrentBitsPerPixel");
    graphics.m_nHorzRes = NumberProperty(adapter, L"CurrentHorizontalResolution");
    graphics.m_nVertRes = NumberProperty(adapter, L"CurrentVerticalResolution");
}

constexpr char kPciDevicesKey[] = "SYSTEM\\CurrentControlSet\\Enum\\PCI";
constexpr char kDriverClassesKey[] = "SYSTEM\\CurrentControlSet\\Control\\Class";

// The "Driver" value of the first PCI device instance of class "Display" that has one; empty when
// there is none. Only the instance's own entry counts: another device's driver would name the wrong
// hardware, and a display instance without a driver has nothing to show.
std::string DisplayDriverEntry() {
    CRegistryWalker walker;
    if (!walker.Open(platform::RegRoot::LocalMachine, kPciDevicesKey)) {
        return {};
    }
    CRegSubkeyEnum devices(walker);
    for (devices.Start(); !devices.Done(); devices.Next()) {
        if (!walker.Push(devices.Name())) {
            continue;
        }
        CRegSubkeyEnum instances(walker);
        for (instances.Start(); !instances.Done(); instances.Next()) {
            if (!walker.Push(instances.Name())) {
                continue;
            }
            bool display = false;
            std::string driver;
            CRegValueEnum values(walker);
            for (values.Start(); !values.Done(); values.Next()) {
                if (platform::RegNameEquals(values.Name(), "Class")) {
                    display = platform::RegNameEquals(values.DataText(), "Display");
                } else if (platform::RegNameEquals(values.Name(), "Driver")) {
                    driver = values.DataText();
                }
            }
            walker.Pop();
            if (display && !driver.empty()) {
                return driver;
            }
        }
        walker.Pop();
    }
    return {};
}

}  // namespace

bool CSystemInfo::DetectGraphicsWMI() {
    // Declared first so that it is left after every interface below has been released.
    const ComApartment apartment;
    if (!apartment.Joined() || !SetProcessSecurity()) {
        return false;
    }
    ComPointer<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(__uuidof(WbemAdministrativeLocator), nullptr,
                                CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, __uuidof(IWbemLocator),
                                locator.ReceiveVoid()))) {
        return false;
    }
    ComPointer<IWbemServices> services;
    if (FAILED(locator->ConnectServer(CountedText(L"root\\cimv2"), nullptr, nullptr, nullptr, 0, nullptr,
                                      nullptr, services.Receive()))) {
        return false;
    }
    AllowImpersonation(services.Get());
    ComPointer<IEnumWbemClassObject> adapters;
    if (FAILED(services->ExecQuery(CountedText(L"WQL"), CountedText(L"SELECT * FROM win32_VideoController "),
                                   WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, adapters.Receive()))) {
        return false;
    }
    AllowImpersonation(adapters.Get());
    if (FAILED(adapters->Reset())) {
        return false;
    }
    m_Graphics.m_bFromWMI = false;
    // Only the first adapter is shown; a second one is left in the enumerator.
    ComPointer<IWbemClassObject> adapter;
    ULONG delivered = 0;
    if (SUCCEEDED(adapters->Next(WBEM_INFINITE, 1, adapter.Receive(), &delivered)) && delivered == 1 &&
        adapter.Get() != nullptr) {
        m_Graphics.m_bFromWMI = true;
        ReadAdapter(adapter.Get(), m_Graphics);
    }
    return m_Graphics.m_bFromWMI;
}

void CSystemInfo::DetectGraphicsRegistry(GraphicsInfo& graphics) {
    graphics.m_bFromWMI = false;
    const std::string driver = DisplayDriverEntry();
    if (driver.empty()) {
        return;
    }
    CRegistryWalker walker;
    if (!walker.Open(platform::RegRoot::LocalMachine, std::string(kDriverClassesKey) + "\\" + driver)) {
        return;
    }
    CRegValueEnum values(walker);
    for (values.Start(); !values.Done(); values.Next()) {
        if (platform::RegNameEquals(values.Name(), "DriverDate")) {
            graphics.m_strDriverDate = values.DataText();
        } else if (platform::RegNameEquals(values.Name(), "DriverDesc")) {
            graphics.m_strDescription = values.DataText();
        } else if (platform::RegNameEquals(values.Name(), "DriverVersion")) {
            graphics.m_strDriverVersion = values.DataText();
        }
    }
}
