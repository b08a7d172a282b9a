#pragma once

// Makes the standard output and error reach the console the program was started from, when it has
// been given none: a windowed Windows program starts without them, yet its text modes must still
// print in a command prompt. Elsewhere, and when the output is redirected, nothing changes.
void ReachStartingConsole();
