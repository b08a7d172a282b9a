#include "common/info_fields.h"

#include "common/line_edit_text.h"
#include "res/resources.h"
#include "res/string_ids.h"
#include "sysinfo/info_lines.h"

void ShowInfoLines(const CSystemInfo& info, const InfoFields& fields) {
    const InfoLines lines = FormatInfoLines(info, LoadResString(IDS_MEMORY_LINE));
    SetLineText(*fields.cpu, lines.cpu);
    SetLineText(*fields.ram, lines.ram);
    SetLineText(*fields.graphics, lines.graphics);
    SetLineText(*fields.driver, lines.driver);
    SetLineText(*fields.os, lines.os);
}
