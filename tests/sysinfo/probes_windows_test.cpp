#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "helpers/registry_text_windows.h"
#include "sysinfo/system_info.h"

namespace {

constexpr wchar_t kScratchKey[] = L"Software\\Lumikarta probe tests";

// Points this process's HKEY_LOCAL_MACHINE at a scratch key that holds only the given values, so the
// probes read a known machine through the real registry calls without changing the real machine.
class ScratchMachine {
public:
    explicit ScratchMachine(const std::vector<RegistryText>& values) {
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
        EXPECT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, kScratchKey, &m_root), ERROR_SUCCESS);
        for (const RegistryText& value : values) {
            EXPECT_TRUE(WriteRegistryText(m_root, value));
        }
        EXPECT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_root), ERROR_SUCCESS);
    }
    ~ScratchMachine() {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(m_root);
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
    }
    ScratchMachine(const ScratchMachine&) = delete;
    ScratchMachine& operator=(const ScratchMachine&) = delete;

private:
    HKEY m_root = nullptr;
};

constexpr wchar_t kProcessor[] = L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr wchar_t kNetworkCard[] = L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_1000\\3&11";
constexpr wchar_t kDisplay[] = L"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_2000\\3&22";
constexpr wchar_t kDisplayDriver[] = L"SYSTEM\\CurrentControlSet\\Control\\Class\\{disp}\\0000";
constexpr wchar_t kNetworkDriver[] = L"SYSTEM\\CurrentControlSet\\Control\\Class\\{net}\\0001";

TEST(RegistryProbes, ProcessorNameAndTheDisplaysOwnDriver) {
    const std::vector<RegistryText> drivers = {
        {kDisplayDriver, L"driverdesc", L"Adapter X"},    {kDisplayDriver, L"InfPath", L"oem3.inf"},
        {kDisplayDriver, L"DriverVersion", L"1.2.3"},     {kDisplayDriver, L"DriverDate", L"1-2-2024"},
        {kNetworkDriver, L"DriverDesc", L"Network card"}, {kNetworkCard, L"Class", L"Net"},
        {kNetworkCard, L"Driver", L"{net}\\0001"},
    };
    const struct {
        const char* label;
        std::vector<RegistryText> machine;
        std::string cpu;
        const char* graphics;
    } cases[] = {
        {"leading spaces kept; display after another device, its driver listed before its class",
         {{kProcessor, L"ProcessorNameString", L"   Intel(R) Core(TM) i7"},
          {kDisplay, L"Driver", L"{disp}\\0000"},
          {kDisplay, L"Class", L"DISPLAY"}},
         "   Intel(R) Core(TM) i7",
         "Adapter X|1.2.3|1-2-2024"},
        {"name over 100 bytes; a display without a driver does not take another device's",
         {{kProcessor, L"ProcessorNameString", std::wstring(120, L'x')}, {kDisplay, L"Class", L"Display"}},
         "",
         "||"},
    };
    for (const auto& c : cases) {
        std::vector<RegistryText> values = drivers;
        values.insert(values.end(), c.machine.begin(), c.machine.end());
        ScratchMachine machine(values);
        CSystemInfo info;
        info.DetectCPU();
        EXPECT_EQ(info.m_strCPUName, c.cpu) << c.label;
        info.DetectGraphicsRegistry(info.m_Graphics);
        const GraphicsInfo& found = info.m_Graphics;
        EXPECT_EQ(found.m_strDescription + "|" + found.m_strDriverVersion + "|" + found.m_strDriverDate,
                  c.graphics)
            << c.label;
    }
}

// The rest reads the machine the tests run on (Wine in CI), so it checks shapes, not values.

TEST(WindowsProbes, CollectAllReadsThisMachineAndLeavesComAsItWas) {
    CSystemInfo info;
    info.m_Printers = {"stale"};
    info.CollectAll();
    EXPECT_TRUE(info.m_bIsNT);
    EXPECT_TRUE(std::regex_match(info.m_strOS, std::regex("Microsoft Windows .* \\(build [0-9]+\\)")))
        << info.m_strOS;
    EXPECT_FALSE(info.m_strCPUName.empty());
    EXPECT_GT(info.m_ullTotalPageFile, 0u);
    for (const std::string& printer : info.m_Printers) {
        EXPECT_TRUE(printer != "stale" && !printer.empty()) << printer;
    }
    // The memory call of systems before Windows 2000 sees the same machine.
    CSystemInfo older;
    older.DetectMemory();
    EXPECT_EQ(older.m_ullTotalPhys, info.m_ullTotalPhys);
    EXPECT_GT(older.m_ullTotalPhys, 0u);

    const GraphicsInfo& graphics = info.m_Graphics;
    EXPECT_TRUE(graphics.m_bFromWMI);
    EXPECT_FALSE(graphics.m_strDescription.empty());
    EXPECT_TRUE(graphics.m_nHorzRes > 0 && graphics.m_nVertRes > 0 && graphics.m_nBitsPerPixel > 0);
    EXPECT_TRUE(std::regex_search(graphics.m_strDriverDate, std::regex("^[0-9]{8}")))
        << graphics.m_strDriverDate;
    // A thread still joined to the probe's apartment could not join the other kind.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
}

}  // namespace
