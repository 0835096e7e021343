#pragma once

// The body of a benchmark program's main() that builds windows: a QApplication, offscreen unless
// QT_QPA_PLATFORM says otherwise, then every benchmark the command line selects.
int runWindowBenchmarks(int argc, char **argv);
