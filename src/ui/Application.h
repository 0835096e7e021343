#pragma once

// The composition of the program: the coordinate table, the serial link, the executor of the
// transfers, and every window with its commands. main() builds one; tests and tools build their own.
//
// Usage:
//     Recorder log;
//     RecordingPresenter messages(log);              // tests/support: answers every box at once
//     bool ended = false;
//     FakeSerialLink link(log);                      // or leave the link out: the platform's link,
//     Application app(deviceDir, messages,           //   opening COMn (on Linux the n-th entry of deviceDir)
//                     [&] { ended = true; }, &link);
//     app.start();                                   // the notice box "提示：", then Form6 is shown
//     app.ConfirmSelection();                        // Form6's OK: series, order, cable search
//     app.mainWindow()->action("RecZB")->trigger();  // any menu entry of Form1 by name
//     app.mainWindow()->button("Command4")->click(); // any button of Form1 by name
//     link.arrive(bytes);                            // an instrument's bytes (fake link); a box they
//                                                    //   cause is shown once the event loop turns
//
// Choose the series and order before ConfirmSelection through Form6's option buttons, e.g.
// app.selectionDialog()->findChild<QRadioButton *>("Option4")->setChecked(true) for RQX5.
// The series are the entries of the SeriesRegistry: a transfer command asks the chosen series for its
// transfer, and each series' own windows connect their commands by name (Rqx2SeriesWindow,
// Rqx5SeriesWindow); the other windows' commands are connected here. Every message
// box goes through the presenter (parent window, title, text); ending the program hides every window
// and calls the end hook once (main() quits the event loop there). File dialogs go through the file
// dialog presenter in the same way (tests pass their own as the last argument; left out, the
// program's QFileDialog is used).

#include "ConnectCommand.h"
#include "core/CoordinateTableModel.h"

#include <QString>
#include <functional>
#include <memory>

class CommonDialog;
class CoordinateFileCommands;
class FileDialogPresenter;
class Form1;
class Form3;
class Form4;
class Form6;
class Form7;
class MessagePresenter;
class QWidget;
class Series;
class SeriesRegistry;
struct SeriesServices;
class SessionLogger;
class SerialLink;
class SystemSerialLink;
class Transfer;
class TransferExecutor;
class TransferWindow;

class Application {
public:
    // deviceDir: where the serial devices are listed (normally /dev/serial/by-id; empty on Windows,
    // whose ports the system lists). link: the port to use; when null, the platform's link is made.
    Application(const QString &deviceDir, MessagePresenter &messages, std::function<void()> endProgram,
                SerialLink *link = nullptr, FileDialogPresenter *fileDialogs = nullptr);
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // The start of the program: the notice box, then the selection dialog.
    void start() { ShowSelectionDialog(); }
    // The port to use instead of searching for the cable (--port): COMn, or a device path opened as it is.
    void usePort(const QString &port) { m_givenPort = port; }
    void ShowSelectionDialog();
    // The selection dialog's OK: coordinate order, series, cable search, then the main window or the end.
    void ConfirmSelection();

    // Ends the program at once: every window hidden, the end hook called (once).
    void endProgram();
    bool ended() const { return m_ended; }

    // The main window's transfer commands; the series is read from the selection dialog each time,
    // and the command asks its registry entry for the transfer.
    void RecZB();
    void SendZB();
    void CLSend();

    CoordinateTableModel &table() { return m_table; }
    SerialLink &link() { return *m_link; }
    TransferExecutor &executor() { return *m_executor; }
    // Writes a session log of every transfer (帮助 → 通讯记录 opens their folder).
    SessionLogger &sessions() { return *m_sessions; }
    // The main window's one file dialog, shared by every file command of every window.
    CommonDialog &fileDialog() { return *m_commonDialog; }
    CoordinateFileCommands &fileCommands() { return *m_fileCommands; }

    Form1 *mainWindow() const { return m_form1.get(); }
    Form6 *selectionDialog() const { return m_form6.get(); }
    Form3 *portDialog() const { return m_form3; }
    // The RQX5 measurement window, created hidden when the main window loads (null before).
    Form4 *measureWindow() const;
    Form7 *rqx2MeasurementWindow() const;

private:
    // The series whose option is checked in the selection dialog; null when none is.
    Series *chosen() const;
    // The chosen series, or the one the dialog offers at start when none is checked.
    Series &chosenOrFirst() const;
    bool nez() const;
    // Every transfer becomes the one under way through these two, so that each series knows what
    // was begun after its own.
    void begin(std::unique_ptr<Transfer> transfer, TransferWindow &window);
    void adopt(std::unique_ptr<Transfer> transfer, TransferWindow &window);
    void ensureMainWindowLoaded();
    void connectForm1();
    void loadMeasureWindows();
    void stopTransfer();

    QString m_deviceDir;
    QString m_givenPort;
    MessagePresenter &m_messages;
    std::function<void()> m_endHook;
    bool m_ended = false;

    CoordinateTableModel m_table;
    std::unique_ptr<SystemSerialLink> m_ownLink;
    SerialLink *m_link = nullptr;
    std::unique_ptr<TransferExecutor> m_executor;
    std::unique_ptr<SessionLogger> m_sessions;
    std::unique_ptr<Form6> m_form6;
    std::unique_ptr<Form1> m_form1;
    Form3 *m_form3 = nullptr; // a dialog of Form1
    std::unique_ptr<FileDialogPresenter> m_ownFileDialogs;
    std::unique_ptr<CommonDialog> m_commonDialog;
    std::unique_ptr<CoordinateFileCommands> m_fileCommands;
    std::unique_ptr<SeriesServices> m_seriesServices;
    std::unique_ptr<SeriesRegistry> m_registry;
    bool m_measureWindowsLoaded = false;
};
