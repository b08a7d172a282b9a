#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string_view>
#include <vector>

#include "sysinfo/linux_pci_device.h"
#include "sysinfo/sysfs_number.h"
#include "sysinfo/system_files.h"
#include "sysinfo/system_info.h"

namespace {

using std::chrono::year_month_day;

constexpr std::string_view kDrmFolder = "/sys/class/drm";
constexpr std::string_view kPciDevicesFolder = "/sys/bus/pci/devices";
// Without a frame buffer device to ask, the depth that every current desktop runs at.
constexpr int32_t kDefaultBitsPerPixel = 32;

std::string Child(std::string_view folder, std::string_view name) {
    return std::string(folder) + "/" + std::string(name);
}

// The names in a folder of the system, sorted, since a folder lists them in no fixed order.
std::vector<std::string> SortedEntryNames(std::string_view folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(sysfiles::SystemPath(folder), error), end;
         !error && entry != end; entry.increment(error)) {
        names.push_back(entry->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The DRM cards among the entries of /sys/class/drm ("card0", "card1", not the connectors "card0-DP-1"
// nor the render nodes), in the order of their numbers, so that card10 comes after card2.
std::vector<std::string> DrmCards(const std::vector<std::string>& drmEntries) {
    std::vector<std::pair<unsigned, std::string>> cards;
    constexpr std::string_view kPrefix = "card";
    for (const std::string& name : drmEntries) {
        if (!name.starts_with(kPrefix)) {
            continue;
        }
        unsigned number = 0;
        const char* end = name.data() + name.size();
        const auto result = std::from_chars(name.data() + kPrefix.size(), end, number);
        if (result.ec == std::errc() && result.ptr == end) {
            cards.emplace_back(number, name);
        }
    }
    std::sort(cards.begin(), cards.end());
    std::vector<std::string> names;
    for (auto& card : cards) {
        names.push_back(std::move(card.second));
    }
    return names;
}

struct Resolution {
    int32_t width = 0;
    int32_t height = 0;
};

// The first mode ("2560x1440", the monitor's preferred one) of the card's first connected connector;
// 0 x 0 when none is connected.
Resolution ConnectedResolution(const std::vector<std::string>& drmEntries, const std::string& card) {
    const std::string prefix = card + "-";
    for (const std::string& name : drmEntries) {
        const std::string connector = Child(kDrmFolder, name);
        if (!name.starts_with(prefix) ||
            sysfiles::ReadSystemLine(Child(connector, "status")) != "connected") {
            continue;
        }
        const std::string mode = sysfiles::ReadSystemLine(Child(connector, "modes"));
        Resolution resolution;
        const char* end = mode.data() + mode.size();
        const auto width = std::from_chars(mode.data(), end, resolution.width);
        if (width.ec != std::errc() || width.ptr == end || *width.ptr != 'x' ||
            std::from_chars(width.ptr + 1, end, resolution.height).ec != std::errc()) {
            return {};
        }
        return resolution;
    }
    return {};
}

int32_t FramebufferBitsPerPixel() {
    const std::optional<uint64_t> bits = ReadSysfsNumber("/sys/class/graphics/fb0/bits_per_pixel");
    if (!bits || *bits == 0 || *bits > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        return kDefaultBitsPerPixel;
    }
    return static_cast<int32_t>(*bits);
}

// The adapter query's date and time form, "20240201000000.000000-000"; only the day is known.
std::string QueryDate(const year_month_day& date) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02u%02u000000.000000-000", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

// The registry's driver date form, month-day-year without leading zeros: "2-1-2024".
std::string RegistryDate(const year_month_day& date) {
    char text[64];
    std::snprintf(text, sizeof text, "%u-%u-%d", static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(date.year()));
    return text;
}

// What a probe cannot tell keeps the value it had.
void SetKnown(std::string& member, std::string value) {
    if (!value.empty()) {
        member = std::move(value);
    }
}

}  // namespace

bool CSystemInfo::DetectGraphicsWMI() {
    const std::vector<std::string> drmEntries = SortedEntryNames(kDrmFolder);
    for (const std::string& card : DrmCards(drmEntries)) {
        const LinuxPciDevice device(Child(Child(kDrmFolder, card), "device"));
        if (!device.IsOnPciBus()) {
            continue;
        }
        SetKnown(m_Graphics.m_strDescription, device.Description());
        SetKnown(m_Graphics.m_strDriverVersion, device.DriverVersion());
        if (const std::optional<year_month_day> date = device.DriverDate()) {
            m_Graphics.m_strDriverDate = QueryDate(*date);
        }
        // Only drivers that manage the memory themselves (amdgpu) tell its size.
        m_Graphics.m_nAdapterRAM = ReadSysfsNumber(device.FilePath("mem_info_vram_total")).value_or(0);
        const Resolution resolution = ConnectedResolution(drmEntries, card);
        m_Graphics.m_nHorzRes = resolution.width;
        m_Graphics.m_nVertRes = resolution.height;
        m_Graphics.m_nBitsPerPixel = FramebufferBitsPerPixel();
        m_Graphics.m_bFromWMI = true;
        return true;
    }
    return false;
}

void CSystemInfo::DetectGraphicsRegistry(GraphicsInfo& graphics) {
    graphics.m_bFromWMI = false;
    for (const std::string& address : SortedEntryNames(kPciDevicesFolder)) {
        const LinuxPciDevice device(Child(kPciDevicesFolder, address));
        if (!device.IsDisplayController()) {
            continue;
        }
        SetKnown(graphics.m_strDescription, device.Description());
        if (const std::string driver = device.DriverName(); !driver.empty()) {
            graphics.m_strDriverVersion = driver + " " + device.DriverVersion();
        }
        if (const std::optional<year_month_day> date = device.DriverDate()) {
            graphics.m_strDriverDate = RegistryDate(*date);
        }
        return;
    }
}
