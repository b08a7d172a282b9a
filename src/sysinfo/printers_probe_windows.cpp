#include <windows.h>
#include <winspool.h>

#include <vector>

#include "platform/wide_text_windows.h"
#include "sysinfo/system_info.h"

namespace {

// A printer added between asking for the size and enumerating makes the buffer too small; a few
// more rounds catch that without looping forever on a spooler that keeps changing.
constexpr int kAttempts = 3;

}  // namespace

void CSystemInfo::DetectPrinters() {
    m_Printers.clear();
    DWORD needed = 0;
    DWORD returned = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
    for (int attempt = 0; attempt < kAttempts && needed > 0; ++attempt) {
        // The records hold pointers, so the buffer needs their alignment: operator new gives it.
        std::vector<BYTE> buffer(needed);
        if (EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &returned)) {
            const auto* printers = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
            for (DWORD i = 0; i < returned; ++i) {
                if (printers[i].pPrinterName != nullptr) {
                    m_Printers.push_back(platform::Utf8FromWide(printers[i].pPrinterName));
                }
            }
            return;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return;
        }
    }
}
