#pragma once

#include "core/MeasurementTableModel.h"
#include "core/TextStore.h"

#include <QStringList>
#include <array>
#include <vector>

// The per-record texts of an RQX2 measurement receive, indexed by record number: MeasText1 to
// MeasText21 are MeasText[0] to MeasText[20], PointText1 to PointText3 (the measured point's
// coordinates) PointText[0] to PointText[2].
struct Rqx2MeasurementTexts {
    std::array<TextStore, 21> MeasText;
    std::array<TextStore, 3> PointText;
};

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
    static TextStore &columnStore(Rqx2MeasurementTexts &texts, int nezColumn);
    static const TextStore &columnStore(const Rqx2MeasurementTexts &texts, int nezColumn);

    // The row of the record stored at index: the index as its number, then the 21 stores in the
    // columns of the order.
    static QStringList row(const Rqx2MeasurementTexts &texts, long index, bool nez);
};
