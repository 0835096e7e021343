#pragma once

#include <QString>
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
    // The steps of PrepareRqx2Transfer that its variants share; false when the port could not be
    // opened (the caller tells the user over its own window).
    static bool PrepareRqx2Port(AppState &state, SerialLink &link);
    void AnswerRqx2Handshake();
    void ReceiveRqx2CoordinateRecord();
    void SendRqx2NextCoordinate();

    // The instrument's requests are 3 bytes, the last two "J" CR.
    static constexpr int kRequestLength = 3;

    // The pause before each point of a send; the instrument needs it to be ready for the record.
    static constexpr std::chrono::milliseconds kSendPause{100};
    // How the pause is taken: a blocking sleep by default (receive events wait meanwhile); tests
    // replace it to record the pause instead of taking it.
    void setPause(std::function<void(std::chrono::milliseconds)> pause) { m_pause = std::move(pause); }
    // A benchmark sets the pause to 0 to measure the program's own time per record.
    void setSendPause(std::chrono::milliseconds pause) { m_sendPause = pause; }

    // Texts the user sees.
    static const QString kErrorTitle;    // "错误提示"
    static const QString kDamagedRecord; // a record of the wrong length or whose counters are not four digits
    static const QString kWaitingToReceive; // "等待接收坐标数据..."

private:
    void rejectDamagedRecord();
    QString decodedCoordinate(int from, bool standardLayout) const;
    QString decodedText(int from, int width) const;
    // The number in the four bytes of RecordBuffer from on, or -1 when they are not four digits 0x30..0x39.
    int receivedCounter(int from) const;

    AppState &m_state;
    SerialLink &m_link;
    CoordinateTableModel &m_table;
    TransferView &m_view;
    std::function<void(std::chrono::milliseconds)> m_pause;
    std::chrono::milliseconds m_sendPause = kSendPause;
};
