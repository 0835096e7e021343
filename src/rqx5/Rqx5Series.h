#pragma once

#include "core/SeriesTable.h"

// The RQX5 series: every transfer it begins, and what it hands on. A receive of single measurements
// started again numbers its measurements on from where the one before stood.
class Rqx5Series {
public:
    static const SeriesTable &table();
};
