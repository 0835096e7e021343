#pragma once

#include <chrono>
#include <functional>

struct AppState;
struct ReceiveRoutines;
class CoordinateTableModel;
class SerialLink;
class TransferView;

// The RQX2 series: fixed-length text records that begin with 0x02 and end with CR, opened by the
// instrument's handshake request "J" CR and answered record by record.
class Rqx2Protocol {
public:
    Rqx2Protocol(AppState &state, SerialLink &link, CoordinateTableModel &table, TransferView &view);

    // Routes the dispatcher's RQX2 coordinate routines here.
    void install(ReceiveRoutines &routines);

    // The main window's commands with RQX2 selected.
    void commandReceiveCoordinates(); // RecZB
    void commandSendCoordinates();    // SendZB: every row is checked before the port is prepared

    bool PrepareRqx2Transfer(); // false: the port could not be prepared (the user has been told)
    void AnswerRqx2Handshake();
    void ReceiveRqx2CoordinateRecord();
    void SendRqx2NextCoordinate();

    // The pause before each point of a send; the instrument needs it to be ready for the record.
    static constexpr std::chrono::milliseconds kSendPause{100};
    // How the pause is taken: a blocking sleep by default; tests and benchmarks replace it.
    void setPause(std::function<void(std::chrono::milliseconds)> pause) { m_pause = std::move(pause); }
    void setSendPause(std::chrono::milliseconds pause) { m_sendPause = pause; }

private:
    AppState &m_state;
    SerialLink &m_link;
    CoordinateTableModel &m_table;
    TransferView &m_view;
    std::function<void(std::chrono::milliseconds)> m_pause;
    std::chrono::milliseconds m_sendPause = kSendPause;
};
