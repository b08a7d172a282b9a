#pragma once

#include <string>
#include <vector>

// One run of a program as a whole process: its wall time, the processor time it used (user and
// system; unlike the wall time hardly longer on a busy machine), its peak resident memory and its
// output (trailing line feeds removed).
struct Run {
    double seconds = 0;
    double cpuSeconds = 0;
    long peakKiB = 0;
    int exitStatus = 0;
    std::string output;
};

// Starts args[0] (searched in PATH) with the others as arguments and waits for it. Exits the
// benchmark when the program cannot be started.
Run Measure(std::vector<std::string> args);
// The run with the median time.
Run Median(std::vector<Run> runs);
