#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sysinfo/graphics_info.h"
#include "sysinfo/product_info.h"

// The facts about this computer that the program shows and sends. Filled once by CollectAll, read
// only afterwards. Every probe is best effort and silent: what it cannot find keeps its initial
// value.
class CSystemInfo {
public:
    CSystemInfo() = default;
    virtual ~CSystemInfo() = default;
    CSystemInfo(const CSystemInfo&) = delete;
    CSystemInfo& operator=(const CSystemInfo&) = delete;

    // Runs the probes in their fixed order; the memory probe relies on the two before it.
    void CollectAll();

    // The product section that support requests append to their description.
    std::string BuildReport() const;

    void DetectOS();
    void DetectCPU();
    void DetectMemory();
    bool DetectGraphicsWMI();
    void DetectGraphicsRegistry(GraphicsInfo& graphics);
    void DetectProducts();
    void DetectPrinters();

    std::string m_strCPUName;
    std::string m_strOS;
    bool m_bIsNT = false;
    uint32_t m_dwMajorVersion = 0;
    uint64_t m_ullTotalPageFile = 0;
    uint64_t m_ullTotalPhys = 0;
    GraphicsInfo m_Graphics;
    std::vector<ProductInfo> m_Products;
    std::vector<std::string> m_Printers;

private:
    // Whether the running system belongs to the NT family of Windows.
    static bool PlatformIsNtFamily();
};
