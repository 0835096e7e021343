#pragma once

#include <QByteArray>
#include <QString>

struct AppState;
struct ReceiveRoutines;
class MeasurementTableModel;
class Rqx5MeasurementView;
class Rqx5Protocol;
class SerialLink;

// The RQX5 instrument's observations, received into the measurement window's list: a data file
// (a header, then one 246-byte record per observation, each acknowledged with 0xAA 0x81 as points
// are), or single measurement records that the instrument sends as they are measured, named by
// their terminator and never acknowledged.
class Rqx5MeasurementReceive {
public:
    Rqx5MeasurementReceive(AppState &state, SerialLink &link, MeasurementTableModel &list,
                           Rqx5MeasurementView &view);

    // Routes the dispatcher's data-file and measurement records here, and the headers that arrive
    // while the measurement window owns the receive.
    void install(ReceiveRoutines &routines, Rqx5Protocol &protocol);

    // The preparations; false when the port could not be prepared. Neither sends anything.
    bool StartRqx5DataFileReceive();
    bool StartRqx5MeasurementReceive();

    // The data-file header branch of ReceiveRqx5DataBlock, with the header in the RecordBuffer.
    void ReceiveRqx5DataFileHeader();
    void ReceiveRqx5DataFileRecord();
    void AcknowledgeRqx5DataFileRecord();
    void ReceiveRqx5MeasurementRecord();

    // What the list is told when a frame is not whole (the terminator stands where no frame of its
    // kind ends): the frame is not stored.
    static const QString kDamagedHeader;
    static const QString kDamagedDataFileRecord;
    static const QString kDamagedMeasurement;

private:
    bool prepare(int receiveThreshold);
    // Drops a damaged data-file frame and waits for a whole one of expectedLength again; nothing is
    // acknowledged, so the instrument does not go on as if the frame had been taken.
    void rejectDataFileFrame(const QString &message, int expectedLength);
    void resetPort();
    bool openPort();
    // Whether the terminator the dispatcher found ends a measurement record of the current kind.
    bool measurementIsWhole(long terminatorPosition) const;

    AppState &m_state;
    SerialLink &m_link;
    MeasurementTableModel &m_list;
    Rqx5MeasurementView &m_view;
};
