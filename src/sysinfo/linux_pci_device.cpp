#include "sysinfo/linux_pci_device.h"

#include <filesystem>
#include <limits>

#include "sysinfo/linux_driver_date.h"
#include "sysinfo/linux_kernel.h"
#include "sysinfo/pci_id_database.h"
#include "sysinfo/sysfs_number.h"
#include "sysinfo/system_files.h"

LinuxPciDevice::LinuxPciDevice(std::string folder) : m_folder(std::move(folder)) {}

std::string LinuxPciDevice::FilePath(std::string_view name) const {
    return m_folder + "/" + std::string(name);
}

std::filesystem::path LinuxPciDevice::LinkTarget(std::string_view link) const {
    std::error_code error;
    std::filesystem::path target = std::filesystem::read_symlink(sysfiles::SystemPath(FilePath(link)), error);
    return error ? std::filesystem::path() : target;
}

std::string LinuxPciDevice::LinkTargetName(std::string_view link) const {
    return LinkTarget(link).filename().string();
}

bool LinuxPciDevice::IsOnPciBus() const {
    // The subsystem link ends in ".../bus/pci"; platform and USB devices end elsewhere.
    const std::filesystem::path subsystem = LinkTarget("subsystem");
    return subsystem.filename() == "pci" && subsystem.parent_path().filename() == "bus";
}

bool LinuxPciDevice::IsDisplayController() const {
    const std::optional<uint64_t> classCode = ReadSysfsNumber(FilePath("class"));
    return classCode && (*classCode >> 16) == 0x03;
}

std::optional<uint16_t> LinuxPciDevice::Id(std::string_view file) const {
    const std::optional<uint64_t> id = ReadSysfsNumber(FilePath(file));
    if (!id || *id > std::numeric_limits<uint16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(*id);
}

std::string LinuxPciDevice::Description() const {
    const std::optional<uint16_t> vendorId = Id("vendor");
    const std::optional<uint16_t> deviceId = Id("device");
    return vendorId && deviceId ? DescribePciDevice(*vendorId, *deviceId) : std::string();
}

std::string LinuxPciDevice::DriverName() const {
    return LinkTargetName("driver");
}

std::string LinuxPciDevice::DriverVersion() const {
    if (DriverName().empty()) {
        return {};
    }
    std::string version = sysfiles::ReadSystemLine(FilePath("driver/module/version"));
    return version.empty() ? linux_kernel::Release() : version;
}

std::optional<std::chrono::year_month_day> LinuxPciDevice::DriverDate() const {
    if (DriverName().empty()) {
        return std::nullopt;
    }
    return LinuxDriverDate(LinkTargetName("driver/module"));
}
