#pragma once

#include <windows.h>

// The program declares itself aware of each monitor's DPI, so Windows no longer stretches its
// windows: what the host draws itself (icons, fonts it derives) is made for the DPI the window is
// shown at. The functions for that came with Windows 10; before it, every window has the system's DPI.

// The DPI the window is shown at.
UINT WindowDpi(HWND window);
// A system metric (SM_CXICON, SM_CXSMICON) as it is at that DPI.
int SystemMetricForDpi(int metric, UINT dpi);
