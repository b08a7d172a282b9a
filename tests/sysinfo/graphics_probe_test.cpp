#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "helpers/fake_system_root.h"
#include "sysinfo/info_lines.h"
#include "sysinfo/system_info.h"

namespace {

constexpr std::string_view kRelease = "6.1.0-18-amd64";
const std::string kModules = "/lib/modules/" + std::string(kRelease) + "/";

// Device 1234:1111 is missing on purpose; the 1111 under another vendor must not stand in for it.
constexpr std::string_view kPciIds =
    "1002  Advanced Micro Devices, Inc. [AMD/ATI]\n"
    "\t73a5  Navi 21 [Radeon RX 6950 XT]\n"
    "\t73bf  Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]\n"
    "\t\t1002 0e3a  Radeon RX 6900 XT\n"
    "10de  NVIDIA Corporation\n"
    "\t1111  GeForce FX 5200\n"
    "1234  Technical Corp.\n"
    "8086  Intel Corporation\n"
    "\t1237  440FX - 82441FX PMC [Natoma]\n"
    "C 03  Display controller\n"
    "\t00  VGA compatible controller\n";

// An empty module is a driver built into the kernel.
struct PciDevice {
    std::string address, vendor, device, classCode, driver, module;
};

std::string DeviceFolder(const std::string& address) {
    return "/sys/devices/pci0000:00/" + address;
}

void AddKernel(const FakeSystemRoot& root, std::string_view version) {
    root.WriteFile("/proc/sys/kernel/osrelease", std::string(kRelease) + "\n");
    root.WriteFile("/proc/sys/kernel/version", std::string(version) + "\n");
}

void AddPciDevice(const FakeSystemRoot& root, const PciDevice& device) {
    const std::string folder = DeviceFolder(device.address);
    root.WriteFile(folder + "/vendor", device.vendor + "\n");
    root.WriteFile(folder + "/device", device.device + "\n");
    root.WriteFile(folder + "/class", device.classCode + "\n");
    root.Link(folder + "/subsystem", "../../../bus/pci");
    root.Link("/sys/bus/pci/devices/" + device.address, "../../.." + folder.substr(4));
    if (!device.driver.empty()) {
        root.Link(folder + "/driver", "../../../bus/pci/drivers/" + device.driver);
    }
    if (!device.module.empty()) {
        root.Link("/sys/bus/pci/drivers/" + device.driver + "/module", "../../../../module/" + device.module);
    }
}

void AddDrmCard(const FakeSystemRoot& root, const std::string& card, const std::string& deviceFolder) {
    root.Link("/sys/class/drm/" + card, "../.." + deviceFolder.substr(4) + "/drm/" + card);
    root.Link(deviceFolder + "/drm/" + card + "/device", "../..");
}

void AddConnector(const FakeSystemRoot& root, const std::string& name, std::string_view status,
                  std::string_view modes) {
    root.WriteFile("/sys/class/drm/" + name + "/status", std::string(status) + "\n");
    root.WriteFile("/sys/class/drm/" + name + "/modes", modes);
}

// The firmware's frame buffer comes up as card0 before the AMD card, as with simpledrm; the driver is
// built into the kernel, so the kernel's build date is the driver's.
void AmdDesktop(const FakeSystemRoot& root, std::string_view kernelVersion) {
    AddKernel(root, kernelVersion);
    root.WriteFile("/usr/share/misc/pci.ids", kPciIds);
    const std::string firmware = "/sys/devices/platform/simple-framebuffer.0";
    root.Link(firmware + "/subsystem", "../../../bus/platform");
    AddDrmCard(root, "card0", firmware);
    AddConnector(root, "card0-Unknown-1", "connected", "1024x768\n");
    const PciDevice amd{"0000:03:00.0", "0x1002", "0x73bf", "0x030000", "amdgpu", ""};
    AddPciDevice(root, amd);
    AddDrmCard(root, "card1", DeviceFolder(amd.address));
    root.WriteFile(DeviceFolder(amd.address) + "/mem_info_vram_total", "17179869184\n");
    AddConnector(root, "card1-DP-1", "disconnected", "");
    AddConnector(root, "card1-DP-2", "connected", "2560x1440\n1920x1080\n");
    AddConnector(root, "card1-HDMI-A-1", "connected", "1920x1080\n");
    root.WriteFile("/sys/class/graphics/fb0/bits_per_pixel", "24\n");
}

// No DRM at all, only the PCI bus: a host bridge before the standard VGA, whose module tells its version.
void HeadlessVm(const FakeSystemRoot& root) {
    AddKernel(root, "#1 SMP");
    root.WriteFile("/usr/share/hwdata/pci.ids", kPciIds);
    AddPciDevice(root, {"0000:00:00.0", "0x8086", "0x1237", "0x060000", "", ""});
    AddPciDevice(root, {"0000:00:02.0", "0x1234", "0x1111", "0x030000", "bochs-drm", "bochs_drm"});
    root.WriteFile("/sys/module/bochs_drm/version", "1.0.0\n");
    root.WriteFile(kModules + "modules.dep",
                   "kernel/drivers/video/fbdev/core/fb.ko:\n"
                   "kernel/drivers/gpu/drm/tiny/bochs-drm.ko.zst: kernel/drivers/video/fbdev/core/fb.ko\n");
    const std::string module = kModules + "kernel/drivers/gpu/drm/tiny/bochs-drm.ko.zst";
    root.WriteFile(module, "ELF");
    root.SetModified(module, 1687348800);  // 2023-06-21 12:00
}

// The graphics and driver lines that both probes in their fixed order leave for the main window.
std::string ProbeGraphics() {
    CSystemInfo info;
    if (!info.DetectGraphicsWMI()) {
        info.DetectGraphicsRegistry(info.m_Graphics);
    }
    return FormatGraphicsLine(info.m_Graphics) + " | " + FormatDriverLine(info.m_Graphics);
}

// The desktop under kernels that write their build date in each way, and the headless machine.
TEST(GraphicsProbes, DescribeTheAdapterOfEachMachine) {
    const std::string amd =
        "Advanced Micro Devices, Inc. [AMD/ATI] Navi 21 [Radeon RX 6800/6800 XT / 6900 XT] (16384.00 MB) "
        "(2560 x 1440 24 Bit) | 6.1.0-18-amd64 (";
    const std::pair<const char*, std::string> versionsAndLines[] = {
        {"#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2023-12-12)", amd + "12.12.2023)"},
        {"#1 SMP PREEMPT_DYNAMIC Thu Feb  1 12:00:00 UTC 2024", amd + "01.02.2024)"},
        {"#1 SMP PREEMPT_DYNAMIC Sat, 03 Feb 2024 10:30:35 +0000", amd + "03.02.2024)"},
        {"#1 SMP (custom build)", amd + "..)"},
    };
    for (const auto& [version, lines] : versionsAndLines) {
        FakeSystemRoot root;
        AmdDesktop(root, version);
        EXPECT_EQ(ProbeGraphics(), lines) << version;
    }
    FakeSystemRoot headless;
    HeadlessVm(headless);
    EXPECT_EQ(ProbeGraphics(), "Technical Corp. Device 1111 | bochs-drm 1.0.0 (6-21-2023)");
}

}  // namespace
