#include "dialogs/info_fields.h"

#include "res/resources.h"
#include "res/string_ids.h"
#include "sysinfo/info_lines.h"

void ShowInfoLines(const CSystemInfo& info, CDialogHost& host, const InfoFields& fields) {
    const InfoLines lines = FormatInfoLines(info, LoadResString(IDS_MEMORY_LINE));
    host.SetText(fields.cpu, lines.cpu);
    host.SetText(fields.ram, lines.ram);
    host.SetText(fields.graphics, lines.graphics);
    host.SetText(fields.driver, lines.driver);
    host.SetText(fields.os, lines.os);
}
