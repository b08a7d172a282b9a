#pragma once

#include "dialogs/dialog_host.h"
#include "sysinfo/system_info.h"

// The ids of the five fact fields a window shows, the main window and the support form alike.
struct InfoFields {
    int cpu;
    int ram;
    int graphics;
    int driver;
    int os;
};

// Fills the fields from the record, the memory line in the current language.
void ShowInfoLines(const CSystemInfo& info, CDialogHost& host, const InfoFields& fields);
