#include "FuzzTargets.h"

const std::vector<FuzzTarget> &FuzzTargets()
{
    static const std::vector<FuzzTarget> targets = {
        {"Rqx2Receive", FuzzRqx2Receive},
        {"Rqx5Receive", FuzzRqx5Receive},
        {"CoordinateFile", FuzzCoordinateFile},
        {"FileText", FuzzFileText},
        {"InstrumentCode", FuzzInstrumentCode},
        {"Rqx2MeasurementFile", FuzzRqx2MeasurementFile},
        {"Rqx5MeasurementFile", FuzzRqx5MeasurementFile},
        {"DrawingImport", FuzzDrawingImport},
    };
    return targets;
}

const FuzzTarget *FindFuzzTarget(const QString &name)
{
    for (const FuzzTarget &target : FuzzTargets()) {
        if (name == QLatin1String(target.name))
            return &target;
    }
    return nullptr;
}
