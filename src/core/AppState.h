#pragma once

#include "ByteBuffer.h"
#include "SeriesSelection.h"
#include "TextStore.h"

#include <QString>
#include <array>
#include <vector>

// The state every part of the program shares: transfer flags, counters, the byte buffers of the
// receive path and the per-record texts. One object lives as long as the main window; the windows,
// the dispatcher and both protocols hold a reference to it.
struct AppState {
    // Transfer flags of the RQX2 series (0 or 1).
    int SendCoordinatesMode = 0;
    int ReceiveCoordinatesMode = 0;
    int ReceiveMeasurementsMode = 0;
    int HandshakeAnswered = 0;
    int Rqx2RecordKind = 0;

    // RQX5 series.
    int Rqx5DataKind = 0;
    bool Rqx5AckNotFirst = false;
    bool Rqx5MeasureWindowOpen = false;
    // True from the start of an RQX5 measurement receive until another transfer starts. Only then
    // are bytes 0xB2..0xB5 taken for measurement records: a data-file header whose low count byte
    // happens to be one of them must not be routed as a measurement.
    bool Rqx5MeasureReceiveStarted = false;
    long Rqx5Count = 0;

    // From the start of a transfer (or connection test) until its last frame: a port that goes away
    // meanwhile is reported, one that goes away while the program waits for no instrument is not.
    bool TransferUnderway = false;

    long RecordCount = 0;
    long LoopIndex = 0;

    ByteBuffer ReceiveBuffer; // not allocated until the port is first used
    ByteBuffer RecordBuffer;
    std::vector<QString> CharCodeTable;

    std::array<TextStore, 5> PointText;  // PointText1..PointText5 are PointText[0]..PointText[4]
    std::array<TextStore, 21> MeasText;  // MeasText1..MeasText21 are MeasText[0]..MeasText[20]

    // Coordinate table editing.
    int EditorMode = 4;
    bool TableIsNew = true;
    int NextSequence = 0;
    long EditRowIndex = 0;

    // File and dialog work.
    long FileRowCount = 0;
    long FileRowCount2 = 0;
    double BaudValue = 0;

    // Layout.
    double ListColumnUnit = 0;
    int MeasureColumnUnit = 0;

    // The series and order of the selection dialog; set before the main window loads.
    const SeriesSelection *Selection = nullptr;

    bool rqx5() const { return Selection && Selection->rqx5Selected(); }
    bool rqx2() const { return Selection && Selection->rqx2Selected(); }
    bool nez() const { return !Selection || Selection->nezSelected(); }

    // The main window's load step: flags and counters to 0, buffers allocated empty.
    void load()
    {
        RecordCount = 0;
        SendCoordinatesMode = HandshakeAnswered = ReceiveCoordinatesMode = ReceiveMeasurementsMode = 0;
        Rqx2RecordKind = 0;
        RecordBuffer.reallocate(50000);
        TableIsNew = true;
        Rqx5MeasureWindowOpen = false;
        EditorMode = 4;
        NextSequence = 0;
        for (auto &store : PointText)
            store.clear();
        for (auto &store : MeasText)
            store.clear();
        reallocateCharCodeTable(100);
    }

    void reallocateCharCodeTable(int upperBound) { CharCodeTable.assign(static_cast<size_t>(upperBound) + 1, {}); }
};
