#include "Application.h"

#include "CommonDialog.h"
#include "CoordinateFileCommands.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "Form6.h"
#include "Form7.h"
#include "MeasurementExportCommands.h"
#include "MessagePresenter.h"
#include "PortCommands.h"
#include "QFileDialogPresenter.h"
#include "Rqx2MeasurementFiles.h"
#include "Rqx5MeasurementFiles.h"
#include "SessionLogger.h"
#include "TransferExecutor.h"
#include "rqx2/Rqx2CoordinateReceive.h"
#include "rqx2/Rqx2CoordinateSend.h"
#include "rqx2/Rqx2MeasurementReceive.h"
#include "rqx5/ConnectionTest.h"
#include "rqx5/Rqx5CoordinateReceive.h"
#include "rqx5/Rqx5CoordinateSend.h"
#include "rqx5/Rqx5DataFileReceive.h"
#include "rqx5/Rqx5MeasurementReceive.h"
#include "serial/CableSearch.h"
#include "serial/DeviceList.h"
#include "serial/SystemSerialLink.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QString kNoticeTitle = QStringLiteral("提示：");
const QString kNotice = QStringLiteral(
    "1、本通讯软件仅适用于 HYLRQX系列全站仪；     2、所用通讯电缆必须为 HYL全站仪专用USB转串口通讯电缆，"
    "其他品牌全站仪的通讯电缆不可用；     3、使用本软件前，必须已完成USB转串口通讯电缆的驱动程序安装。");
const QString kWaitingForCoordinates = QStringLiteral("等待接收坐标数据...");
const QString kWaitingForData = QStringLiteral("等待接收数据...");
// The measurement list's columns are given in units of its width / 19.
constexpr double kMeasureListUnits = 19.0;
} // namespace

void ConnectCommand(QWidget *window, const char *name, std::function<void()> handler)
{
    const QString objectName = QLatin1String(name);
    if (QAction *action = window->findChild<QAction *>(objectName)) {
        QObject::connect(action, &QAction::triggered, window, [handler] { handler(); });
        return;
    }
    if (auto *button = window->findChild<QAbstractButton *>(objectName))
        QObject::connect(button, &QAbstractButton::clicked, window, [handler] { handler(); });
}

Application::Application(const QString &deviceDir, MessagePresenter &messages,
                         std::function<void()> endProgram, SerialLink *link, FileDialogPresenter *fileDialogs)
    : m_deviceDir(deviceDir), m_messages(messages), m_endHook(std::move(endProgram)), m_link(link)
{
    if (!m_link) {
        m_ownLink = std::make_unique<SystemSerialLink>(m_deviceDir);
        m_link = m_ownLink.get();
    }
    m_executor = std::make_unique<TransferExecutor>(*m_link, m_messages);
    m_sessions = std::make_unique<SessionLogger>([this] {
        return SessionHeader{rqx5() ? QStringLiteral("RQX5") : QStringLiteral("RQX2"),
                             nez() ? QStringLiteral("NEZ") : QStringLiteral("ENZ"),
                             m_givenPort.isEmpty() ? SessionLog::portText(m_link->commPort(), m_deviceDir)
                                                   : m_givenPort,
                             m_link->settings()};
    });
    m_executor->setObserver(m_sessions.get());
    m_executor->setEndProgram([this] { this->endProgram(); });
    m_link->setReceiveHandler([this] { m_executor->bytesArrived(); });
    m_link->setLostHandler([this] {
        if (!m_ended)
            m_executor->portLost();
    });

    m_form6 = std::make_unique<Form6>();
    m_form1 = std::make_unique<Form1>(m_table, m_messages, [this] { return nez(); });
    m_form1->setEndProgram([this] { this->endProgram(); });
    m_form1->setMeasureWindowLoader([this] { loadMeasureWindow(); });
    m_form3 = new Form3(*m_link, m_messages, m_form1.get());
    if (!fileDialogs) {
        m_ownFileDialogs = std::make_unique<QFileDialogPresenter>();
        fileDialogs = m_ownFileDialogs.get();
    }
    m_commonDialog = std::make_unique<CommonDialog>(*fileDialogs);
    m_fileCommands = std::make_unique<CoordinateFileCommands>(m_table, *m_form1, *m_commonDialog, m_messages,
                                                              [this] { return nez(); });
    m_form7 = std::make_unique<Form7>();
    m_form7->setEndProgram([this] { this->endProgram(); });
    m_rqx2Files = std::make_unique<Rqx2MeasurementFiles>(*m_form7, *m_commonDialog, m_messages,
                                                         [this] { return nez(); });
    m_rqx2Export = std::make_unique<MeasurementExportCommands>(m_form7.get(), m_form7->listView(),
                                                               m_form7->list(), *m_commonDialog, m_messages);

    QObject::connect(m_form6.get(), &Form6::confirmRequested, m_form6.get(), [this] { ConfirmSelection(); });
    QObject::connect(m_form6.get(), &Form6::exitRequested, m_form6.get(), [this] { this->endProgram(); });
    connectForm1();
    connectForm7();
    connectStopTransfer(m_form1.get());
    connectStopTransfer(m_form7.get());
}

Application::~Application()
{
    m_executor->setObserver(nullptr);
    m_link->setReceiveHandler({});
    m_link->setLostHandler({});
}

bool Application::rqx5() const
{
    return m_form6->rqx5Selected();
}

bool Application::rqx2() const
{
    return !rqx5() && m_form6->rqx2Selected();
}

bool Application::nez() const
{
    return m_form6->nezSelected();
}

void Application::begin(std::unique_ptr<Transfer> transfer, TransferWindow &window)
{
    m_executor->begin(std::move(transfer), window);
}

void Application::connectForm1()
{
    Form1 *w = m_form1.get();
    ConnectCommand(w, "Open", [this] { m_fileCommands->Open(); });
    ConnectCommand(w, "Command10", [this] { m_fileCommands->Open(); });
    ConnectCommand(w, "ImportDrawingPoints", [this] { m_fileCommands->ImportDrawingPoints(); });
    ConnectCommand(w, "Save", [this] { m_fileCommands->Save(); });
    ConnectCommand(w, "Command9", [this] { m_fileCommands->OlderSave(); });
    ConnectCommand(w, "RecZB", [this] { RecZB(); });
    ConnectCommand(w, "SendZB", [this] { SendZB(); });
    ConnectCommand(w, "CLSend", [this] { CLSend(); });
    ConnectCommand(w, "COM_Set", [this] {
        m_form3->show();
        m_form3->raise();
        m_form3->activateWindow();
    });
    ConnectCommand(w, "Command12",
                   [this] { begin(std::make_unique<Rqx5CoordinateReceive>(m_table, nez()), *m_form1); });
    ConnectCommand(w, "Command3",
                   [this] { begin(std::make_unique<Rqx5CoordinateSend>(m_table, nez()), *m_form1); });
    ConnectCommand(w, "Command4", [this] {
        const bool portShownClosed = m_form1->portButtonCaption() == ConnectionTest::kOpenPortCaption;
        begin(std::make_unique<ConnectionTest>(rqx5(), portShownClosed), *m_form1);
    });
    ConnectCommand(w, "Command1",
                   [this] { m_executor->perform(PortCommands::SendTestCommand1(), *m_form1); });
    ConnectCommand(w, "Command13",
                   [this] { m_executor->perform(PortCommands::SendTestCommand2(), *m_form1); });
    ConnectCommand(w, "Command2", [this] { m_executor->perform(PortCommands::PreparePort(), *m_form1); });
    ConnectCommand(w, "SessionLogs", [this] {
        // Without a file manager the surveyor is told where the logs are.
        if (!m_sessions->openFolder())
            m_messages.showMessage(m_form1.get(), QStringLiteral("提示"),
                                   QStringLiteral("通讯记录保存在：") +
                                       QDir::toNativeSeparators(m_sessions->folder()));
    });
}

void Application::connectForm7()
{
    Form7 *w = m_form7.get();
    ConnectCommand(w, "Command1", [this] {
        QPushButton *receive = m_form7->button(QStringLiteral("Command1"));
        receive->setEnabled(false);
        begin(std::make_unique<Rqx2MeasurementReceive>(nez()), *m_form7);
        // One receive per run: the button stays disabled once a receive has started. A port that
        // could not be prepared started none, and the command can be used again once the cable is in.
        if (!m_executor->current()->underway())
            receive->setEnabled(true);
    });
    ConnectCommand(w, "Command2", [this] { m_rqx2Files->SaveRqx2MeasurementFile(); });
    ConnectCommand(w, "Command4", [this] { m_rqx2Files->OpenRqx2MeasurementFile(); });
    ConnectCommand(w, "Command3", [this] { endProgram(); });
    ConnectCommand(w, "ExportCoordinates", [this] { m_rqx2Export->ExportCoordinates(); });
    ConnectCommand(w, "ExportTable", [this] { m_rqx2Export->ExportTable(); });
}

void Application::connectForm4()
{
    Form4 *w = m_form4.get();
    auto dataFileReceive = [this] {
        begin(std::make_unique<Rqx5DataFileReceive>(m_form4->list(), nez()), *m_form4);
    };
    auto measurementReceive = [this] {
        auto receive = std::make_unique<Rqx5MeasurementReceive>(m_form4->list(), nez());
        // Started again, the receive numbers its measurements on from where it stood.
        if (const auto *before = dynamic_cast<const Rqx5MeasurementReceive *>(m_executor->current()))
            receive->RecordCount = before->RecordCount;
        begin(std::move(receive), *m_form4);
    };
    // A receive of the other kind than the list holds asks first and then gives the list its captions;
    // rows of its own kind stay, to be added to. False: the surveyor said 否 and nothing starts.
    auto listFor = [this](const QString &layout) {
        if (!m_rqx5Files->mayReplaceRowsOfOtherKind(layout))
            return false;
        if (m_form4->listLayout() != layout)
            m_form4->setTransferColumns(layout, nez());
        return true;
    };
    ConnectCommand(w, "Command1", [this, listFor, dataFileReceive, measurementReceive] {
        if (m_form4->dataFileSelected()) {
            // The button starts a data file on an empty list.
            if (!listFor(Form4::kDataFileLayout))
                return;
            m_form4->setTransferColumns(Form4::kDataFileLayout, nez());
            dataFileReceive();
        } else if (m_form4->measurementSelected()) {
            if (listFor(Form4::kMeasurementLayout))
                measurementReceive();
        }
    });
    // The status waits only for a receive that started: after a port failure it claims nothing.
    auto waitingFor = [this, listFor](const QString &layout, const std::function<void()> &receive) {
        if (!listFor(layout))
            return;
        m_form4->setStatus(kWaitingForData);
        receive();
        if (!m_executor->current()->underway())
            m_form4->setStatus(QString());
    };
    ConnectCommand(w, "DataFile_R",
                   [waitingFor, dataFileReceive] { waitingFor(Form4::kDataFileLayout, dataFileReceive); });
    ConnectCommand(w, "Data_R", [waitingFor, measurementReceive] {
        waitingFor(Form4::kMeasurementLayout, measurementReceive);
    });
    ConnectCommand(w, "Command2", [this] {
        if (m_form4->dataFileSelected())
            m_rqx5Files->OpenRqx5DataFile();
        else
            m_rqx5Files->OpenRqx5MeasurementFile();
    });
    ConnectCommand(w, "Command9", [this] {
        if (m_form4->dataFileSelected())
            m_rqx5Files->SaveRqx5DataFile();
        else if (m_form4->measurementSelected())
            m_rqx5Files->SaveRqx5MeasurementFile();
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
            (m_rqx5Files.get()->*command)();
        });
    }
    ConnectCommand(w, "ExportCoordinates", [this] { m_rqx5Export->ExportCoordinates(); });
    ConnectCommand(w, "ExportTable", [this] { m_rqx5Export->ExportTable(); });
    ConnectCommand(w, "Command11", [this] { m_form4->leave(); });
    ConnectCommand(w, "Q", [this] { m_form4->leave(); });
}

void Application::connectStopTransfer(QWidget *window)
{
    ConnectCommand(window, "StopTransfer", [this] { stopTransfer(); });
}

void Application::stopTransfer()
{
    m_executor->stop();
    // One receive per run holds for a receive that ran to its end: a stopped one may be started again.
    if (m_executor->currentWindow() == m_form7.get())
        m_form7->button(QStringLiteral("Command1"))->setEnabled(true);
}

void Application::ShowSelectionDialog()
{
    m_messages.showMessage(nullptr, kNoticeTitle, kNotice);
    m_form6->show();
    m_form6->raise();
    m_form6->activateWindow();
}

void Application::ensureMainWindowLoaded()
{
    if (!m_form1->isLoaded())
        m_form1->load();
}

void Application::ConfirmSelection()
{
    m_form1->pointEditor()->setCoordinateOrder(m_form6->nezSelected());

    if (m_form6->rqx2Selected()) {
        m_form3->lockSpeedList();
        ensureMainWindowLoaded();
        m_form1->switchOffFileName();
    }

    const CableSearchResult cable =
        m_givenPort.isEmpty() ? FindUsbSerialPort(ListSerialDevices(m_deviceDir)) : GivenPort(m_givenPort);
    // A port given as a device rather than as COMn is opened as it is, whatever the port number.
    if (m_ownLink && !m_givenPort.isEmpty() && cable.portName != QStringLiteral("COM%1").arg(cable.commPort))
        m_ownLink->setDevicePath(cable.portName);
    if (cable.outcome != CableSearchResult::NotFound) {
        m_form6->setPortName(cable.portName);
        m_form3->setCablePort(cable.portName);
        m_link->closeWhenWritten({});
    }
    switch (cable.outcome) {
    case CableSearchResult::OutOfRange:
        m_messages.showMessage(
            m_form6.get(), QStringLiteral("连接失败"),
            QStringLiteral("端口号超出范围，请自行到本计算机“设备管理器”中更改串口号至COM16以内！"));
        endProgram();
        return;
    case CableSearchResult::NotFound:
        m_messages.showMessage(m_form6.get(), QStringLiteral("通讯电缆连接失败"),
                               QStringLiteral("请检查通讯线是否为随机所配，是否插牢，是否已安装驱动！"));
        endProgram();
        return;
    case CableSearchResult::Found:
        break;
    }
    m_link->setCommPort(cable.commPort);
    m_messages.showMessage(m_form6.get(), QStringLiteral("通讯电缆已连接"),
                           QStringLiteral("当前计算机串行通讯端口为： ") + cable.portName);
    ensureMainWindowLoaded();
    // Until a command starts a transfer, the frames an instrument may start on its own are looked
    // for: a coordinate header (RQX5) or a handshake request (RQX2) begins a coordinate receive.
    if (rqx5())
        m_executor->adopt(std::make_unique<Rqx5CoordinateReceive>(m_table, nez()), *m_form1);
    else
        m_executor->adopt(std::make_unique<Rqx2CoordinateReceive>(m_table, nez()), *m_form1);
    m_form1->show();
    m_form6->hide();
}

void Application::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    m_form1->pointEditor()->hide();
    m_form1->instructions()->hide();
    m_form3->hide();
    if (m_form4)
        m_form4->hide();
    m_form1->hide();
    m_form6->hide();
    m_form7->hide();
    if (m_endHook)
        m_endHook();
}

void Application::RecZB()
{
    if (rqx5()) {
        m_form1->setControlText(QStringLiteral("Label4"), kWaitingForCoordinates);
        begin(std::make_unique<Rqx5CoordinateReceive>(m_table, nez()), *m_form1);
    } else if (rqx2()) {
        m_form1->setControlText(QStringLiteral("Label4"), kWaitingForCoordinates);
        auto receive = std::make_unique<Rqx2CoordinateReceive>(m_table, nez());
        // The record count runs on from the transfer before: a second receive adds its points below
        // those of the first, numbered on.
        if (const auto *before = dynamic_cast<const Rqx2Transfer *>(m_executor->current()))
            receive->RecordCount = before->RecordCount;
        begin(std::move(receive), *m_form1);
    }
}

void Application::SendZB()
{
    if (rqx5())
        begin(std::make_unique<Rqx5CoordinateSend>(m_table, nez()), *m_form1);
    else if (rqx2())
        begin(std::make_unique<Rqx2CoordinateSend>(m_table, nez()), *m_form1);
}

void Application::CLSend()
{
    if (rqx5())
        showRqx5MeasureWindow();
    else if (rqx2())
        showRqx2MeasurementWindow();
}

void Application::loadMeasureWindow()
{
    if (m_form4)
        return;
    m_form4 = std::make_unique<Form4>();
    m_form4->setSelectMeasurementData(
        [this] { m_form1->findChild<QRadioButton *>(QStringLiteral("Option3"))->setChecked(true); });
    m_rqx5Files = std::make_unique<Rqx5MeasurementFiles>(*m_form4, *m_commonDialog, m_messages,
                                                         [this] { return nez(); });
    m_rqx5Export = std::make_unique<MeasurementExportCommands>(m_form4.get(), m_form4->tableView(),
                                                               m_form4->list(), *m_commonDialog, m_messages);
    connectForm4();
    connectStopTransfer(m_form4.get());
    const int unit = qRound(m_form4->tableWidth() / kMeasureListUnits);
    m_form4->setMeasureColumnUnit(unit);
    // The RQX2 measurement list is laid out in the same unit.
    m_form7->setMeasureColumnUnit(unit);
}

void Application::showRqx5MeasureWindow()
{
    // Shown beside the main window, which stays.
    m_form4->show();
    m_form4->raise();
    m_form4->activateWindow();
}

void Application::showRqx2MeasurementWindow()
{
    m_form7->show();
    m_form7->raise();
    m_form7->activateWindow();
    // The list shows its columns from the start, before anything is received or opened; set up
    // once the window is laid out, as their widths may follow from the list's.
    if (m_form7->list().columnCount() == 0)
        m_form7->SetupRqx2MeasurementList(nez());
    // The measurement window serves a handshake request from now on, before its 接收数据 too.
    m_executor->adopt(std::make_unique<Rqx2MeasurementReceive>(nez()), *m_form7);
    // From now on the measurement window is the program's window.
    m_form1->hide();
}
