#pragma once

#include <QLineEdit>

#include "sysinfo/system_info.h"

// The five fact fields a window shows, the main window and the support form alike.
struct InfoFields {
    QLineEdit* cpu;
    QLineEdit* ram;
    QLineEdit* graphics;
    QLineEdit* driver;
    QLineEdit* os;
};

// Fills the fields from the record, the memory line in the current language.
void ShowInfoLines(const CSystemInfo& info, const InfoFields& fields);
