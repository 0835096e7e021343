#pragma once

#include <QByteArray>
#include <functional>

struct AppState;
struct ReceiveRoutines;
class CoordinateTableModel;
class SerialLink;
class TransferView;

// The RQX5 series: binary frames marked by 0xAA control pairs and records named by their
// terminator byte. The instrument paces every exchange: the program prepares the port, waits, and
// answers each frame the dispatcher hands it.
class Rqx5Protocol {
public:
    Rqx5Protocol(AppState &state, SerialLink &link, CoordinateTableModel &table, TransferView &view);

    // Routes the dispatcher's RQX5 coordinate routines here.
    void install(ReceiveRoutines &routines);

    // The main window's commands with RQX5 selected.
    void commandReceiveCoordinates(); // RecZB: status line, then StartRqx5CoordinateReceive
    void commandSendCoordinates(); // SendZB and Command3: every row is checked, then StartRqx5CoordinateSend

    bool StartRqx5CoordinateReceive(); // also Command12; false: the port could not be prepared
    void ReceiveRqx5DataBlock();
    void ShowRqx5TransferComplete();
    void ReceiveRqx5CoordinateRecord();
    void AcknowledgeRqx5CoordinateRecord();
    bool StartRqx5CoordinateSend(); // false: nothing was sent (empty table or port failure)
    void SendRqx5NextCoordinate();

    // A header that arrives while the measurement window is open belongs to it.
    void setDataFileHeaderHandler(std::function<void()> handler) { m_dataFileHeader = std::move(handler); }

private:
    void resetPort();
    bool openPort();
    bool send(const QByteArray &bytes);
    // The decoded characters of RecordBuffer positions first..last, single spaces left out.
    QString decodedText(int first, int last) const;

    AppState &m_state;
    SerialLink &m_link;
    CoordinateTableModel &m_table;
    TransferView &m_view;
    std::function<void()> m_dataFileHeader;
};
