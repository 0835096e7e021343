#pragma once

#include "core/MeasurementTableModel.h"

#include <QStringList>
#include <vector>

struct AppState;
class TextStore;

// The list of the RQX2 measurement window: 22 columns, the row's number and the 21 stores of a
// record. Under the order ENZ the plan coordinates of the measured point (columns 10, 11) and of the
// station (16, 17) change places, headers and contents alike.
class Rqx2MeasurementList {
public:
    static constexpr int kColumnCount = 22;
    static constexpr int kFieldCount = kColumnCount - 1;
    // Column 0 is practically invisible; every other column is this many width units wide.
    static constexpr double kFieldWidthUnits = 2;

    // The columns for the order (SetupRqx2MeasurementList): widths in units of MeasureColumnUnit.
    static std::vector<MeasurementColumn> columns(bool nez);

    // The store shown in column 1..21 under the order NEZ: columns 1 to 9 are MeasText10 to
    // MeasText18, 10 to 12 PointText1 to PointText3, 13 to 21 MeasText1 to MeasText9.
    static TextStore &columnStore(AppState &state, int nezColumn);
    static const TextStore &columnStore(const AppState &state, int nezColumn);

    // The row of the record stored at index: the index as its number, then the 21 stores in the
    // columns of the order.
    static QStringList row(const AppState &state, long index, bool nez);
};
