// First: it brings windows.h, which the COM headers below rely on.
#include "platform/com_support_windows.h"

#include <wbemcli.h>
#include <wbemprov.h>

#include <string>

#include "platform/registry_name.h"
#include "registry/reg_subkey_enum.h"
#include "registry/reg_value_enum.h"
#include "registry/registry_walker.h"
#include "sysinfo/system_info.h"

namespace {

using platform::Bstr;
using platform::ComApartment;
using platform::ComPtr;
using platform::Variant;

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
    if (FAILED(object->Get(name, 0, value.Put(), nullptr, nullptr))) {
        return {};
    }
    return value.Utf8();
}

int32_t NumberProperty(IWbemClassObject* object, const wchar_t* name) {
    Variant value;
    if (FAILED(object->Get(name, 0, value.Put(), nullptr, nullptr)) ||
        FAILED(VariantChangeType(&value.Get(), &value.Get(), 0, VT_I4))) {
        return 0;
    }
    return value.Get().lVal;
}

// The service delivers its unsigned 32-bit numbers as signed ones, so adapters with 2 GiB and more
// would read as negative.
uint64_t MemoryProperty(IWbemClassObject* object, const wchar_t* name) {
    Variant value;
    if (FAILED(object->Get(name, 0, value.Put(), nullptr, nullptr))) {
        return 0;
    }
    if (value.Get().vt == VT_I4) {
        return static_cast<uint32_t>(value.Get().lVal);
    }
    if (FAILED(VariantChangeType(&value.Get(), &value.Get(), 0, VT_UI8))) {
        return 0;
    }
    return value.Get().ullVal;
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
    ComPtr<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(__uuidof(WbemAdministrativeLocator), nullptr,
                                CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, __uuidof(IWbemLocator),
                                reinterpret_cast<void**>(locator.Put())))) {
        return false;
    }
    ComPtr<IWbemServices> services;
    if (FAILED(locator->ConnectServer(Bstr(L"root\\cimv2").Get(), nullptr, nullptr, nullptr, 0, nullptr,
                                      nullptr, services.Put()))) {
        return false;
    }
    AllowImpersonation(services.Get());
    ComPtr<IEnumWbemClassObject> adapters;
    if (FAILED(services->ExecQuery(Bstr(L"WQL").Get(), Bstr(L"SELECT * FROM win32_VideoController ").Get(),
                                   WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, adapters.Put()))) {
        return false;
    }
    AllowImpersonation(adapters.Get());
    if (FAILED(adapters->Reset())) {
        return false;
    }
    m_Graphics.m_bFromWMI = false;
    // Only the first adapter is shown; a second one is left in the enumerator.
    ComPtr<IWbemClassObject> adapter;
    ULONG delivered = 0;
    if (SUCCEEDED(adapters->Next(WBEM_INFINITE, 1, adapter.Put(), &delivered)) && delivered == 1 &&
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
