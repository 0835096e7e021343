#include "Play.h"
#include "Wire.h"

int playScript(Wire &wire, const SimOptions &options)
{
    Q_UNUSED(wire);
    report(QStringLiteral("action %1 is not played yet").arg(options.action));
    return 1;
}
