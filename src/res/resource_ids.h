#pragma once

#include <cstdint>

// The dialog templates and the icon; the same numbers in every language.
enum ResourceId : uint32_t {
    IDD_ABOUTBOX = 100,
    IDD_LUMIKARTASYSTEMINFO_DIALOG = 102,
    IDD_UPDATEBOX = 129,
    IDD_UPDATEDOWNLOAD = 131,
    IDR_MAINFRAME = 136,
    IDD_SENDDIALOG = 138,
};
