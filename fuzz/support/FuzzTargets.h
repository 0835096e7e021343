#pragma once

#include "FuzzInput.h"

#include <QString>
#include <vector>

// A fuzz target: one input path of the program driven by a fuzzer's bytes. It returns what broke, in
// words, when the program survived the input but an invariant did not hold; nothing when all held.
// A crash is found by the sanitizers, not reported here.
struct FuzzTarget {
    const char *name; // also the program fuzz_<name> and the folders corpus/<name>, regressions/<name>
    QString (*run)(FuzzInput &input);
};

// Every target, in the order scripts/fuzz runs them.
const std::vector<FuzzTarget> &FuzzTargets();
// The target of that name, or nothing.
const FuzzTarget *FindFuzzTarget(const QString &name);

// The targets' entry points (fuzz/targets/<name>.cpp).
QString FuzzRqx2Receive(FuzzInput &input);
QString FuzzRqx5Receive(FuzzInput &input);
QString FuzzCoordinateFile(FuzzInput &input);
QString FuzzFileText(FuzzInput &input);
QString FuzzInstrumentCode(FuzzInput &input);
QString FuzzRqx2MeasurementFile(FuzzInput &input);
QString FuzzRqx5MeasurementFile(FuzzInput &input);
QString FuzzDrawingImport(FuzzInput &input);
