#pragma once

#include "PlanView.h"

class CoordinateTableModel;
class MeasurementTableModel;

// What the plan view draws of each list: where a row stands and its point number.

// The coordinate table: E and N from their columns in the order the table shows, 点号 as the label; a
// table shown as a file's raw lines, and a row whose E or N is no number, has no point.
PlanView::Source CoordinateTablePlan(const CoordinateTableModel &table);

// A measurement list: E and N under "坐标--E" and "坐标--N", the point number under "测量序号" (the
// "接收序号" of single measurements); a row whose E or N is blank or no number (a station, a
// backsight, a measurement of angles or distances) has no point.
PlanView::Source MeasurementListPlan(const MeasurementTableModel &list);
