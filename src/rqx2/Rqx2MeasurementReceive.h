#pragma once

#include <QString>

struct AppState;
struct ReceiveRoutines;
class MeasurementTableModel;
class Rqx2MeasurementView;
class SerialLink;

// An RQX2 instrument sends a stored measurement file: after the handshake (answered by
// Rqx2Protocol) a header announcing the file's name and record count, then station, backsight and
// measurement records in any order, each answered with an acknowledgement before the next one comes.
// Every record reaches the program through the receive dispatcher like any other frame, so the
// window stays responsive throughout; a record is stored, shown as a row of the measurement list and
// acknowledged only once it has wholly arrived, and the transfer ends with the record whose number
// reaches the count, whatever its kind.
class Rqx2MeasurementReceive {
public:
    Rqx2MeasurementReceive(AppState &state, SerialLink &link, MeasurementTableModel &list,
                           Rqx2MeasurementView &view);

    // Routes ReceiveRqx2ShortRecord and ReceiveRqx2LongRecord here. During a measurement receive a
    // CR where a coordinate record's would stand ends a record of the measurement file as well, so
    // the coordinate routine installed before is given only what comes outside one: install this
    // after Rqx2Protocol.
    void install(ReceiveRoutines &routines);

    // The main window's measurement command (CLSend) with RQX2: the flags of a measurement receive.
    void selectMeasurementReceive();
    // The measurement window's "接收数据" (Command1): the coordinate stores emptied, the flags set, the
    // list set up, the port prepared, the status "等待握手信号。。。". The window disables the button.
    void commandReceive();

    // Empties the list and gives it the 22 columns of the coordinate order chosen at start.
    void SetupRqx2MeasurementList();
    // The measurement variant: a port failure is told over the measurement window.
    bool PrepareRqx2Transfer();

    // The header, then every station, backsight or other short record.
    void ReceiveRqx2ShortRecord() { receive(); }
    // A measurement record.
    void ReceiveRqx2LongRecord() { receive(); }

    // Texts the user sees.
    static const QString kWaitingForHandshake; // "等待握手信号。。。"
    static const QString kTransferring;        // "数据传输中。。。"
    static const QString kComplete;            // "传输完毕！"
    static const QString kDamagedRecord;       // a record not whole, or its counters not four digits

private:
    // Whether a measurement receive is under way: its handshake answered, no damage since.
    bool serving() const;
    void receive();
    void takeHeader(int end);
    void takeRecord(int end);
    // Answers a record; false when the port failed (the user has been told).
    bool acknowledge(int current, int total);
    void complete();
    // A damaged header or record: nothing stored or answered, the port waits for a new handshake.
    void reject();
    void startOver();
    // The four digits from record byte at, or -1 when they are not four ASCII digits.
    int counter(int at) const;

    AppState &m_state;
    SerialLink &m_link;
    MeasurementTableModel &m_list;
    Rqx2MeasurementView &m_view;
    bool m_headerTaken = false;
    bool m_complete = false;
    // The number of the record stored last; -1 before the first one.
    int m_lastCurrent = -1;
};
