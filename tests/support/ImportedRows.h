#pragma once

#include "formats/DrawingImport.h"

#include <QStringList>
#include <gtest/gtest.h>

// The rows a drawing gave, each "点号|点名|N|E|Z" as the table shows it under N E Z; the sequence
// column is checked to be the row's place.
inline QStringList importedRows(const DrawingImport &drawing)
{
    QStringList rows;
    for (int r = 0; r < drawing.rows().count(); ++r) {
        const auto cells = drawing.rows().cells(r);
        EXPECT_EQ(cells[0].toString(), QString::number(r + 1));
        rows << QStringList{cells[1].toString(), cells[2].toString(), cells[3].toString(),
                            cells[4].toString(), cells[5].toString()}
                    .join(u'|');
    }
    return rows;
}
