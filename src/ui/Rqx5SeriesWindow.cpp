#include "Rqx5SeriesWindow.h"

#include "ConnectCommand.h"
#include "Form1.h"
#include "Form4.h"
#include "MeasurementExportCommands.h"
#include "Rqx5MeasurementFiles.h"
#include "Series.h"
#include "SeriesServices.h"
#include "TransferExecutor.h"

#include <QRadioButton>
#include <QtMath>

namespace {
const QString kWaitingForData = QStringLiteral("等待接收数据...");
// The measurement list's columns are given in units of its width / 19.
constexpr double kMeasureListUnits = 19.0;
} // namespace

Rqx5SeriesWindow::Rqx5SeriesWindow(Series &series, SeriesServices &services)
    : m_series(series), m_services(services)
{
}

Rqx5SeriesWindow::~Rqx5SeriesWindow() = default;

int Rqx5SeriesWindow::mainWindowLoaded()
{
    m_form4 = std::make_unique<Form4>();
    m_form4->setSelectMeasurementData([this] {
        m_services.mainWindow.findChild<QRadioButton *>(QStringLiteral("Option3"))->setChecked(true);
    });
    m_files = std::make_unique<Rqx5MeasurementFiles>(*m_form4, m_services.fileDialog, m_services.messages,
                                                     m_services.nez);
    m_export = std::make_unique<MeasurementExportCommands>(
        m_form4.get(), m_form4->tableView(), m_form4->list(), m_services.fileDialog, m_services.messages);
    connectCommands();
    return qRound(m_form4->tableWidth() / kMeasureListUnits);
}

void Rqx5SeriesWindow::setMeasureColumnUnit(int unit)
{
    if (m_form4)
        m_form4->setMeasureColumnUnit(unit);
}

bool Rqx5SeriesWindow::listFor(const QString &layout)
{
    if (!m_files->mayReplaceRowsOfOtherKind(layout))
        return false;
    if (m_form4->listLayout() != layout)
        m_form4->setTransferColumns(layout, m_services.nez());
    return true;
}

void Rqx5SeriesWindow::receiveDataFile()
{
    m_services.begin(m_series.transfer(SeriesTable::Command::DataFileReceive), *m_form4);
}

void Rqx5SeriesWindow::receiveMeasurements()
{
    // Started again, the receive numbers its measurements on from where it stood.
    m_services.begin(m_series.transfer(SeriesTable::Command::MeasurementReceive), *m_form4);
}

void Rqx5SeriesWindow::receiveWaiting(const QString &layout, void (Rqx5SeriesWindow::*receive)())
{
    if (!listFor(layout))
        return;
    m_form4->setStatus(kWaitingForData);
    (this->*receive)();
    if (!m_services.executor.current()->underway())
        m_form4->setStatus(QString());
}

void Rqx5SeriesWindow::connectCommands()
{
    Form4 *w = m_form4.get();
    ConnectCommand(w, "Command1", [this] {
        if (m_form4->dataFileSelected()) {
            // The button starts a data file on an empty list.
            if (!listFor(Form4::kDataFileLayout))
                return;
            m_form4->setTransferColumns(Form4::kDataFileLayout, m_services.nez());
            receiveDataFile();
        } else if (m_form4->measurementSelected()) {
            if (listFor(Form4::kMeasurementLayout))
                receiveMeasurements();
        }
    });
    ConnectCommand(w, "DataFile_R",
                   [this] { receiveWaiting(Form4::kDataFileLayout, &Rqx5SeriesWindow::receiveDataFile); });
    ConnectCommand(w, "Data_R", [this] {
        receiveWaiting(Form4::kMeasurementLayout, &Rqx5SeriesWindow::receiveMeasurements);
    });
    ConnectCommand(w, "Command2", [this] {
        if (m_form4->dataFileSelected())
            m_files->OpenRqx5DataFile();
        else
            m_files->OpenRqx5MeasurementFile();
    });
    ConnectCommand(w, "Command9", [this] {
        if (m_form4->dataFileSelected())
            m_files->SaveRqx5DataFile();
        else if (m_form4->measurementSelected())
            m_files->SaveRqx5MeasurementFile();
    });
    const std::pair<const char *, void (Rqx5MeasurementFiles::*)()> fileEntries[] = {
        {"df", &Rqx5MeasurementFiles::OpenRqx5DataFile},
        {"d", &Rqx5MeasurementFiles::OpenRqx5MeasurementFile},
        {"dfs", &Rqx5MeasurementFiles::SaveRqx5DataFile},
        {"ds", &Rqx5MeasurementFiles::SaveRqx5MeasurementFile},
    };
    for (const auto &[name, command] : fileEntries) {
        ConnectCommand(w, name, [this, command = command] {
            m_form4->setStatus(QString());
            (m_files.get()->*command)();
        });
    }
    ConnectCommand(w, "ExportCoordinates", [this] { m_export->ExportCoordinates(); });
    ConnectCommand(w, "ExportTable", [this] { m_export->ExportTable(); });
    ConnectCommand(w, "Command11", [this] { m_form4->leave(); });
    ConnectCommand(w, "Q", [this] { m_form4->leave(); });
    ConnectCommand(w, "StopTransfer", m_services.stopTransfer);
}

void Rqx5SeriesWindow::showMeasurementWindow()
{
    // Shown beside the main window, which stays.
    m_form4->show();
    m_form4->raise();
    m_form4->activateWindow();
}

void Rqx5SeriesWindow::hide()
{
    if (m_form4)
        m_form4->hide();
}
