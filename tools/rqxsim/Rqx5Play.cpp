#include "Play.h"
#include "Wire.h"

int playRqx5(Wire &wire, const SimOptions &options)
{
    Q_UNUSED(wire);
    report(QStringLiteral("action %1 is not played yet").arg(options.action));
    return 1;
}
