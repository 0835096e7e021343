#include "Rqx2SeriesWindow.h"

#include "ConnectCommand.h"
#include "Form1.h"
#include "Form7.h"
#include "MeasurementExportCommands.h"
#include "Rqx2MeasurementFiles.h"
#include "Series.h"
#include "SeriesServices.h"
#include "TransferExecutor.h"

#include <QPushButton>

Rqx2SeriesWindow::Rqx2SeriesWindow(Series &series, SeriesServices &services)
    : m_series(series), m_services(services), m_form7(std::make_unique<Form7>())
{
    m_form7->setEndProgram(m_services.endProgram);
    m_files = std::make_unique<Rqx2MeasurementFiles>(*m_form7, m_services.fileDialog, m_services.messages,
                                                     m_services.nez);
    m_export = std::make_unique<MeasurementExportCommands>(
        m_form7.get(), m_form7->listView(), m_form7->list(), m_services.fileDialog, m_services.messages);
    connectCommands();
}

Rqx2SeriesWindow::~Rqx2SeriesWindow() = default;

void Rqx2SeriesWindow::connectCommands()
{
    Form7 *w = m_form7.get();
    ConnectCommand(w, "Command1", [this] {
        QPushButton *receive = m_form7->button(QStringLiteral("Command1"));
        receive->setEnabled(false);
        m_services.begin(m_series.transfer(SeriesTable::Command::MeasurementReceive), *m_form7);
        // One receive per run: the button stays disabled once a receive has started. A port that
        // could not be prepared started none, and the command can be used again once the cable is in.
        if (!m_services.executor.current()->underway())
            receive->setEnabled(true);
    });
    ConnectCommand(w, "Command2", [this] { m_files->SaveRqx2MeasurementFile(); });
    ConnectCommand(w, "Command4", [this] { m_files->OpenRqx2MeasurementFile(); });
    ConnectCommand(w, "Command3", [this] { m_services.endProgram(); });
    ConnectCommand(w, "ExportCoordinates", [this] { m_export->ExportCoordinates(); });
    ConnectCommand(w, "ExportTable", [this] { m_export->ExportTable(); });
    ConnectCommand(w, "StopTransfer", m_services.stopTransfer);
}

void Rqx2SeriesWindow::setMeasureColumnUnit(int unit)
{
    // The RQX2 measurement list is laid out in the unit of the other series' list.
    m_form7->setMeasureColumnUnit(unit);
}

void Rqx2SeriesWindow::showMeasurementWindow()
{
    m_form7->show();
    m_form7->raise();
    m_form7->activateWindow();
    // The list shows its columns from the start, before anything is received or opened; set up
    // once the window is laid out, as their widths may follow from the list's.
    if (m_form7->list().columnCount() == 0)
        m_form7->SetupRqx2MeasurementList(m_services.nez());
    // The measurement window serves a handshake request from now on, before its 接收数据 too.
    m_services.adopt(m_series.transfer(SeriesTable::Command::MeasurementReceive), *m_form7);
    // From now on the measurement window is the program's window.
    m_services.mainWindow.hide();
}

void Rqx2SeriesWindow::transferStopped(const TransferWindow *window)
{
    // One receive per run holds for a receive that ran to its end: a stopped one may be started again.
    if (window == m_form7.get())
        m_form7->button(QStringLiteral("Command1"))->setEnabled(true);
}

void Rqx2SeriesWindow::hide()
{
    m_form7->hide();
}
