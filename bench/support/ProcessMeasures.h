#pragma once

// What the benchmarks report besides time.

// The resident set of this process in MB (VmRSS).
double residentMegabytes();
// CPU time of this process in seconds: the program's receive events, painting, everything.
double processCpuSeconds();
// Clears the kernel's record of the resident peak, so that peakMegabytes() gives the peak from now.
void resetPeak();
// The peak of the resident set in MB (VmHWM) since the process started or resetPeak() was called.
double peakMegabytes();
