// The libFuzzer entry of one target, named by RQX_FUZZ_TARGET when it is built.
#include "support/FuzzTargets.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const FuzzTarget *const target = FindFuzzTarget(QStringLiteral(RQX_FUZZ_TARGET));
    if (!target) {
        std::fprintf(stderr, "no fuzz target named %s\n", RQX_FUZZ_TARGET);
        std::abort();
    }
    FuzzInput input(data, size);
    const QString broken = target->run(input);
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "invariant broken in %s: %s\n", RQX_FUZZ_TARGET, broken.toUtf8().constData());
        std::abort();
    }
    return 0;
}
