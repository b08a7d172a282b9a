#pragma once

#include <windows.h>

// Makes a static control a label for a text of any length in a room of a few lines: the text wraps at
// word ends, and where the lines do not hold all of it, the last one ends after a word with "…" and
// the whole text shows as the label's tooltip. The window text stays whole. The label stays so until
// it is destroyed.
void MakeEllipsisLabel(HWND label);
