#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A device as sysfs shows it in its folder, "/sys/bus/pci/devices/0000:03:00.0" or a link to it
// such as "/sys/class/drm/card0/device". Paths are as on the real machine; every read goes through
// the system root.
class LinuxPciDevice {
public:
    explicit LinuxPciDevice(std::string folder);

    // Whether the device sits on the PCI bus, and so has the ids and class below.
    bool IsOnPciBus() const;
    // Base class 03: VGA, XGA, 3D and other display controllers.
    bool IsDisplayController() const;
    // Vendor and device names from pci.ids; empty when the ids cannot be read.
    std::string Description() const;
    // The name of the driver bound to the device ("amdgpu"); empty when none is.
    std::string DriverName() const;
    // The driver module's version; the running kernel's release for a driver without one, as drivers
    // built into the kernel are. Empty when no driver is bound.
    std::string DriverVersion() const;
    // See LinuxDriverDate; none when no driver is bound.
    std::optional<std::chrono::year_month_day> DriverDate() const;
    // The path of one of the device's files ("mem_info_vram_total").
    std::string FilePath(std::string_view name) const;

private:
    // The target of a link below the folder as written; empty when there is no such link.
    std::filesystem::path LinkTarget(std::string_view link) const;
    // The final name in the target of a link below the folder ("driver/module" -> "amdgpu"); empty
    // when there is no such link.
    std::string LinkTargetName(std::string_view link) const;
    std::optional<uint16_t> Id(std::string_view file) const;

    std::string m_folder;
};
