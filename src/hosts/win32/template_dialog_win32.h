#pragma once

#include <windows.h>

#include "res/resource_table.h"

// Win32 dialogs made from a template of the resource tables. Before the dialog procedure sees
// WM_INITDIALOG, lists and combo boxes hold the template's initial items and icon controls the
// icon of the current resources, as a dialog loaded from a resource file has them, and labels for
// long texts show them as their style says. The procedure
// receives every message from WM_INITDIALOG on, with param as WM_INITDIALOG's lParam.

// Modeless; null when the dialog cannot be made. The caller destroys it.
HWND CreateTemplateDialog(const LumikartaDialogTemplate& dialogTemplate, HWND owner, DLGPROC procedure,
                          LPARAM param);
// Modal; what EndDialog was given, or -1 when the dialog cannot be made.
INT_PTR RunTemplateDialog(const LumikartaDialogTemplate& dialogTemplate, HWND owner, DLGPROC procedure,
                          LPARAM param);
// Gives the dialog's icon controls their icons in the size for the DPI, after it has changed.
void UpdateTemplateIcons(HWND dialog, UINT dpi);
