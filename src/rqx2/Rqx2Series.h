#pragma once

#include "core/SeriesTable.h"

// The RQX2 series: every transfer it begins, and what it hands on. Its transfers share one running
// record number: a coordinate receive numbers its rows on from the transfer before it.
class Rqx2Series {
public:
    static const SeriesTable &table();
};
