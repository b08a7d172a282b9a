#pragma once

#include <cstdint>
#include <string>

// The graphics adapter and its driver, as one of the two graphics probes found them.
struct GraphicsInfo {
    // Begins with yyyymmdd when m_bFromWMI; otherwise the driver's own date text.
    std::string m_strDriverDate;
    std::string m_strDescription;
    std::string m_strDriverVersion;
    // True when the adapter query delivered an adapter, so the four numbers below mean something.
    bool m_bFromWMI = false;
    // Bytes; 64 bits wide because adapters with 4 GiB and more are common.
    uint64_t m_nAdapterRAM = 0;
    int32_t m_nHorzRes = 0;
    int32_t m_nVertRes = 0;
    int32_t m_nBitsPerPixel = 0;
};
