#pragma once

#include "core/CoordinatePoint.h"

#include <vector>

class MeasurementTableModel;

// The measured points of a measurement window's list, as coordinate points for the coordinate
// writers: one point per row that carries coordinates, in list order, numbered 1, 2, 3 ... Columns
// are found by their headers, so every layout and either coordinate order gives the same points:
// the point number is the "测量序号" (the "接收序号" of single measurements), the name the "测量点名"
// (empty where the list has none), and N, E, Z the texts under "坐标--N", "坐标--E", "坐标--Z",
// exactly as shown. A row whose coordinate cells are all blank (a station, a backsight, a single
// measurement of angles or distances) is no point. The points are in NEZ order: first N, second E.
namespace MeasuredPoints {
std::vector<CoordinatePoint> of(const MeasurementTableModel &list);
} // namespace MeasuredPoints
