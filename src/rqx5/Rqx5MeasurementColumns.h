#pragma once

#include "core/MeasurementTableModel.h"

#include <vector>

// The two column layouts of the RQX5 measurement window's list. Widths are in units of the
// window's MeasureColumnUnit; the first column, the row's number, has width 0: it is practically
// hidden. Under ENZ the N and E headers change places, so that the column headed N shows N whatever
// the order.
namespace Rqx5MeasurementColumns {

// Subitems of a data-file row (and fields of a data-file record and of a .raw line).
inline constexpr int kDataFileSubitems = 20;
// Subitems of a measurement row (and fields of a .txt line).
inline constexpr int kMeasurementSubitems = 9;

// SetRqx5DataFileColumns: station, backsight and observation, 20 subitems.
std::vector<MeasurementColumn> dataFile(bool nez);
// SetRqx5MeasurementColumns: the receive number and the eight measured values.
std::vector<MeasurementColumn> measurement(bool nez);

} // namespace Rqx5MeasurementColumns

// Column set-up: every row and column removed, then the layout's columns in order.
void SetRqx5DataFileColumns(MeasurementTableModel &list, bool nez);
void SetRqx5MeasurementColumns(MeasurementTableModel &list, bool nez);
