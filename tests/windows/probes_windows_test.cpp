#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "sysinfo/info_lines.h"
#include "sysinfo/system_info.h"

namespace {

constexpr wchar_t kScratchKey[] = L"Software\\Lumikarta probe tests";

struct StoredValue {
    const wchar_t* key;
    const wchar_t* name;
    std::wstring text;
};

// Points this process's HKEY_LOCAL_MACHINE at a scratch key that holds only the given values, so the
// probes read a known machine through the real registry calls without changing the real machine.
class ScratchMachine {
public:
    explicit ScratchMachine(const std::vector<StoredValue>& values) {
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &m_root, nullptr),
                  ERROR_SUCCESS);
        for (const StoredValue& value : values) {
            HKEY key = nullptr;
            if (RegCreateKeyExW(m_root, value.key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
                ERROR_SUCCESS) {
                ADD_FAILURE() << "cannot create a scratch key";
                continue;
            }
            const auto bytes = static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t));
            RegSetValueExW(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                           bytes);
            RegCloseKey(key);
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

TEST(DetectCPU, TakesTheStoredNameUpToItsLimit) {
    const struct {
        const char* label;
        std::vector<StoredValue> machine;
        std::string expected;
    } cases[] = {
        {"leading spaces are kept",
         {{kProcessor, L"ProcessorNameString", L"   Intel(R) Core(TM) i7"}},
         "   Intel(R) Core(TM) i7"},
        {"longer than 100 bytes", {{kProcessor, L"ProcessorNameString", std::wstring(120, L'x')}}, ""},
        {"no processor key", {}, ""},
    };
    for (const auto& c : cases) {
        ScratchMachine machine(c.machine);
        CSystemInfo info;
        info.DetectCPU();
        EXPECT_EQ(info.m_strCPUName, c.expected) << c.label;
    }
}

TEST(DetectGraphicsRegistry, ReadsTheDriverOfTheDisplayInstance) {
    const std::vector<StoredValue> drivers = {
        {kDisplayDriver, L"driverdesc", L"Adapter X"},    {kDisplayDriver, L"InfPath", L"oem3.inf"},
        {kDisplayDriver, L"DriverVersion", L"1.2.3"},     {kDisplayDriver, L"DriverDate", L"1-2-2024"},
        {kNetworkDriver, L"DriverDesc", L"Network card"},
    };
    const struct {
        const char* label;
        std::vector<StoredValue> devices;
        const char* expected;
    } cases[] = {
        {"display after another device, its driver listed before its class",
         {{kNetworkCard, L"Class", L"Net"},
          {kNetworkCard, L"Driver", L"{net}\\0001"},
          {kDisplay, L"Driver", L"{disp}\\0000"},
          {kDisplay, L"Class", L"DISPLAY"}},
         "Adapter X|1.2.3|1-2-2024"},
        {"a display without a driver does not take another device's",
         {{kNetworkCard, L"Class", L"Net"},
          {kNetworkCard, L"Driver", L"{net}\\0001"},
          {kDisplay, L"Class", L"Display"}},
         "||"},
        {"driver key missing",
         {{kDisplay, L"Class", L"Display"}, {kDisplay, L"Driver", L"{gone}\\0000"}},
         "||"},
        {"no PCI devices", {}, "||"},
    };
    for (const auto& c : cases) {
        std::vector<StoredValue> values = drivers;
        values.insert(values.end(), c.devices.begin(), c.devices.end());
        ScratchMachine machine(values);
        CSystemInfo info;
        info.m_Graphics.m_bFromWMI = true;
        info.DetectGraphicsRegistry(info.m_Graphics);
        const GraphicsInfo& found = info.m_Graphics;
        EXPECT_EQ(found.m_strDescription + "|" + found.m_strDriverVersion + "|" + found.m_strDriverDate,
                  c.expected)
            << c.label;
        EXPECT_FALSE(found.m_bFromWMI) << c.label;
    }
}

// The rest reads the machine the tests run on (Wine in CI), so it checks shapes, not values.

TEST(WindowsProbes, MemoryAndPrinters) {
    // Both memory calls see the same machine.
    CSystemInfo extended;
    extended.m_bIsNT = true;
    extended.m_dwMajorVersion = 6;
    extended.DetectMemory();
    CSystemInfo older;
    older.DetectMemory();
    EXPECT_GT(extended.m_ullTotalPhys, 0u);
    EXPECT_GT(extended.m_ullTotalPageFile, 0u);
    EXPECT_EQ(extended.m_ullTotalPhys, older.m_ullTotalPhys);

    CSystemInfo info;
    info.m_Printers = {"stale"};
    info.DetectPrinters();
    for (const std::string& printer : info.m_Printers) {
        EXPECT_NE(printer, "stale");
        EXPECT_FALSE(printer.empty());
    }
}

TEST(WindowsProbes, AdapterQueryAnswersTwiceAndLeavesComAsItWas) {
    for (int round = 0; round < 2; ++round) {
        CSystemInfo info;
        ASSERT_TRUE(info.DetectGraphicsWMI()) << "round " << round;
        const GraphicsInfo& graphics = info.m_Graphics;
        EXPECT_TRUE(graphics.m_bFromWMI);
        EXPECT_FALSE(graphics.m_strDescription.empty());
        EXPECT_TRUE(std::regex_search(graphics.m_strDriverDate, std::regex("^[0-9]{8}")))
            << graphics.m_strDriverDate;
    }
    // A thread still joined to the probe's apartment could not join the other kind.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
}

TEST(WindowsProbes, CollectAllFillsTheFiveLines) {
    CSystemInfo info;
    info.CollectAll();
    EXPECT_TRUE(info.m_bIsNT);
    EXPECT_GE(info.m_dwMajorVersion, 6u);
    const InfoLines lines = FormatInfoLines(info, "%.2lf MB / %.2lf MB");
    EXPECT_FALSE(lines.cpu.empty());
    EXPECT_TRUE(std::regex_match(lines.ram, std::regex("[0-9]+\\.[0-9]{2} MB / [0-9]+\\.[0-9]{2} MB")))
        << lines.ram;
    EXPECT_TRUE(std::regex_match(
        lines.graphics, std::regex(".+ \\([0-9]+\\.[0-9]{2} MB\\) \\([0-9]+ x [0-9]+ [0-9]+ Bit\\)")))
        << lines.graphics;
    EXPECT_TRUE(std::regex_search(lines.driver, std::regex("\\([0-9]{2}\\.[0-9]{2}\\.[0-9]{4}\\)$")))
        << lines.driver;
    EXPECT_EQ(lines.os, info.m_strOS);
    EXPECT_TRUE(std::regex_match(lines.os, std::regex("Microsoft Windows .* \\(build [0-9]+\\)")))
        << lines.os;
}

}  // namespace
