#pragma once

#include "core/AppState.h"
#include "core/CoordinatePoint.h"
#include "core/CoordinateTableModel.h"
#include "core/SeriesSelection.h"
#include "serial/ReceiveDispatcher.h"
#include "support/FakeSerialLink.h"
#include "support/RecordingView.h"

#include <vector>

// The program's receive side wired as the main window wires it (real dispatcher, real table model),
// with a recording port and window sharing one ordered log. The protocol tests and the fuzz harness
// add a series' protocol and install it in the dispatcher.
struct ReceiveSide {
    explicit ReceiveSide(bool rqx5)
    {
        selection.rqx5 = rqx5;
        selection.rqx2 = !rqx5;
        state.Selection = &selection;
        state.load();
    }

    // Rows 1..count: point number n, name "Pn", coordinates 100.5, 200.25 and 3.125.
    void addRows(int count)
    {
        std::vector<CoordinatePoint> rows;
        for (int i = 1; i <= count; ++i) {
            const QString n = QString::number(i);
            rows.push_back({n, n, QStringLiteral("P") + n, QStringLiteral("100.5"), QStringLiteral("200.25"),
                            QStringLiteral("3.125")});
        }
        if (!table.hasColumns())
            table.buildColumns(selection.nez);
        table.append(rows);
    }

    Recorder log;
    FakeSerialLink link{log};
    RecordingView view{log};
    FixedSelection selection;
    AppState state;
    CoordinateTableModel table;
    ReceiveDispatcher dispatcher{state, link, view};
};
