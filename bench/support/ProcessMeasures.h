#pragma once

// What the benchmarks report besides time.

// The resident set of this process in MB (VmRSS).
double residentMegabytes();
// CPU time of this process in seconds: the program's receive events, painting, everything.
double processCpuSeconds();
