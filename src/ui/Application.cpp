#include "Application.h"

#include "CommonDialog.h"
#include "CoordinateFileCommands.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "Form6.h"
#include "MessagePresenter.h"
#include "PortCommands.h"
#include "QFileDialogPresenter.h"
#include "SeriesRegistry.h"
#include "SeriesServices.h"
#include "SessionLogger.h"
#include "TransferExecutor.h"
#include "core/MessageTitles.h"
#include "rqx5/ConnectionTest.h"
#include "serial/CableSearch.h"
#include "serial/DeviceList.h"
#include "serial/SystemSerialLink.h"

#include <QDir>

namespace {
const QString kNoticeTitle = MessageTitles::kStartNotice;
const QString kNotice = QStringLiteral(
    "1、本通讯软件仅适用于 HYLRQX系列全站仪；     2、所用通讯电缆必须为 HYL全站仪专用USB转串口通讯电缆，"
    "其他品牌全站仪的通讯电缆不可用；     3、使用本软件前，必须已完成USB转串口通讯电缆的驱动程序安装。");
const QString kWaitingForCoordinates = QStringLiteral("等待接收坐标数据...");
} // namespace

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
        return SessionHeader{
            chosenOrFirst().table().name, nez() ? QStringLiteral("NEZ") : QStringLiteral("ENZ"),
            m_givenPort.isEmpty() ? SessionLog::portText(m_link->commPort(), m_deviceDir) : m_givenPort,
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
    m_form1->setMeasureWindowLoader([this] { loadMeasureWindows(); });
    m_form3 = new Form3(*m_link, m_messages, m_form1.get());
    if (!fileDialogs) {
        m_ownFileDialogs = std::make_unique<QFileDialogPresenter>();
        fileDialogs = m_ownFileDialogs.get();
    }
    m_commonDialog = std::make_unique<CommonDialog>(*fileDialogs);
    m_fileCommands = std::make_unique<CoordinateFileCommands>(m_table, *m_form1, *m_commonDialog, m_messages,
                                                              [this] { return nez(); });
    m_seriesServices.reset(
        new SeriesServices{*m_executor, *m_commonDialog, m_messages, *m_form1, [this] { return nez(); },
                           [this] { this->endProgram(); }, [this] { stopTransfer(); },
                           [this](std::unique_ptr<Transfer> transfer, TransferWindow &window) {
                               begin(std::move(transfer), window);
                           },
                           [this](std::unique_ptr<Transfer> transfer, TransferWindow &window) {
                               adopt(std::move(transfer), window);
                           }});
    m_registry = std::make_unique<SeriesRegistry>(m_table, *m_seriesServices);

    QObject::connect(m_form6.get(), &Form6::confirmRequested, m_form6.get(), [this] { ConfirmSelection(); });
    QObject::connect(m_form6.get(), &Form6::exitRequested, m_form6.get(), [this] { this->endProgram(); });
    connectForm1();
}

Application::~Application()
{
    m_executor->setObserver(nullptr);
    m_link->setReceiveHandler({});
    m_link->setLostHandler({});
}

Form4 *Application::measureWindow() const
{
    return m_registry->rqx5MeasurementWindow();
}

Form7 *Application::rqx2MeasurementWindow() const
{
    return m_registry->rqx2MeasurementWindow();
}

Series *Application::chosen() const
{
    for (const auto &series : m_registry->series()) {
        if (m_form6->optionChecked(series->controls().option))
            return series.get();
    }
    return nullptr;
}

Series &Application::chosenOrFirst() const
{
    Series *series = chosen();
    return series ? *series : *m_registry->series().front();
}

bool Application::nez() const
{
    return m_form6->nezSelected();
}

void Application::begin(std::unique_ptr<Transfer> transfer, TransferWindow &window)
{
    for (const auto &series : m_registry->series())
        series->numbering().begun(*transfer);
    m_executor->begin(std::move(transfer), window);
}

void Application::adopt(std::unique_ptr<Transfer> transfer, TransferWindow &window)
{
    for (const auto &series : m_registry->series())
        series->numbering().begun(*transfer);
    m_executor->adopt(std::move(transfer), window);
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
    // The main window's buttons that belong to one series, whatever series is chosen.
    for (const auto &series : m_registry->series()) {
        for (const auto &[name, command] : series->controls().mainWindowButtons) {
            ConnectCommand(w, name, [this, s = series.get(), command = command] {
                begin(s->transfer(command), *m_form1);
            });
        }
    }
    ConnectCommand(w, "Command4", [this] {
        const bool portShownClosed = m_form1->portShownClosed();
        const Series *series = chosen();
        const bool answered = series && series->table().answersConnectionTest;
        begin(std::make_unique<ConnectionTest>(answered, portShownClosed), *m_form1);
    });
    ConnectCommand(w, "Command1",
                   [this] { m_executor->perform(PortCommands::SendTestCommand1(), *m_form1); });
    ConnectCommand(w, "Command13",
                   [this] { m_executor->perform(PortCommands::SendTestCommand2(), *m_form1); });
    ConnectCommand(w, "Command2", [this] { m_executor->perform(PortCommands::PreparePort(), *m_form1); });
    ConnectCommand(w, "StopTransfer", [this] { stopTransfer(); });
    ConnectCommand(w, "SessionLogs", [this] {
        // Without a file manager the surveyor is told where the logs are.
        if (!m_sessions->openFolder())
            m_messages.showMessage(m_form1.get(), MessageTitles::kNotice,
                                   QStringLiteral("通讯记录保存在：") +
                                       QDir::toNativeSeparators(m_sessions->folder()));
    });
}

void Application::stopTransfer()
{
    m_executor->stop();
    for (const auto &series : m_registry->series())
        series->window().transferStopped(m_executor->currentWindow());
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

    if (const Series *series = chosen()) {
        if (series->table().fixedLineSpeed)
            m_form3->lockSpeedList();
        if (!series->table().showsFileName) {
            ensureMainWindowLoaded();
            m_form1->switchOffFileName();
        }
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
            m_form6.get(), MessageTitles::kConnectionFailed,
            QStringLiteral("端口号超出范围，请自行到本计算机“设备管理器”中更改串口号至COM16以内！"));
        endProgram();
        return;
    case CableSearchResult::NotFound:
        m_messages.showMessage(m_form6.get(), MessageTitles::kCableNotFound,
                               QStringLiteral("请检查通讯线是否为随机所配，是否插牢，是否已安装驱动！"));
        endProgram();
        return;
    case CableSearchResult::Found:
        break;
    }
    m_link->setCommPort(cable.commPort);
    m_messages.showMessage(m_form6.get(), MessageTitles::kCableFound,
                           QStringLiteral("当前计算机串行通讯端口为： ") + cable.portName);
    ensureMainWindowLoaded();
    // Until a command starts a transfer, the frames an instrument may start on its own are looked
    // for: the series' coordinate receive waits for them (a header, a handshake request).
    adopt(chosenOrFirst().transfer(SeriesTable::Command::CoordinateReceive), *m_form1);
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
    for (const auto &series : m_registry->series())
        series->window().hide();
    m_form1->hide();
    m_form6->hide();
    if (m_endHook)
        m_endHook();
}

void Application::RecZB()
{
    if (Series *series = chosen()) {
        m_form1->setStatus(kWaitingForCoordinates);
        begin(series->transfer(SeriesTable::Command::CoordinateReceive), *m_form1);
    }
}

void Application::SendZB()
{
    if (Series *series = chosen())
        begin(series->transfer(SeriesTable::Command::CoordinateSend), *m_form1);
}

void Application::CLSend()
{
    if (Series *series = chosen())
        series->window().showMeasurementWindow();
}

void Application::loadMeasureWindows()
{
    if (m_measureWindowsLoaded)
        return;
    m_measureWindowsLoaded = true;
    // Every series' measurement list is laid out in one unit: that of the first series that lays
    // it out from its own list.
    int unit = 0;
    for (const auto &series : m_registry->series()) {
        const int own = series->window().mainWindowLoaded();
        if (unit == 0)
            unit = own;
    }
    for (const auto &series : m_registry->series())
        series->window().setMeasureColumnUnit(unit);
}
