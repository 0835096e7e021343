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
#include "LinkHoldingPresenter.h"
#include "MessagePresenter.h"
#include "QFileDialogPresenter.h"
#include "Rqx5MeasurementFiles.h"
#include "rqx2/Rqx2MeasurementReceive.h"
#include "rqx2/Rqx2Protocol.h"
#include "rqx5/Rqx5MeasurementReceive.h"
#include "rqx5/Rqx5Protocol.h"
#include "serial/CableSearch.h"
#include "serial/DeviceList.h"
#include "serial/PortCommands.h"
#include "serial/QSerialLink.h"
#include "serial/ReceiveDispatcher.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QString kNoticeTitle = QStringLiteral("提示：");
const QString kNotice = QStringLiteral(
    "1、本通讯软件仅适用于 HYLRQX系列全站仪；     2、所用通讯电缆必须为 HYL全站仪专用USB转串口通讯电缆，"
    "其他品牌全站仪的通讯电缆不可用；     3、使用本软件前，必须已完成USB转串口通讯电缆的驱动程序安装。");
} // namespace

Application::Application(const QString &deviceDir, MessagePresenter &messages,
                         std::function<void()> endProgram, SerialLink *link, FileDialogPresenter *fileDialogs)
    : m_deviceDir(deviceDir), m_messages(messages), m_endHook(std::move(endProgram)), m_link(link)
{
    if (!m_link) {
        m_ownLink = std::make_unique<QSerialLink>(m_deviceDir);
        m_link = m_ownLink.get();
    }
    m_heldMessages = std::make_unique<LinkHoldingPresenter>(m_messages, *m_link);
    m_form6 = std::make_unique<Form6>();
    m_state.Selection = m_form6.get();
    m_form1 = std::make_unique<Form1>(m_state, m_table, *m_heldMessages);
    m_form1->setEndProgram([this] { this->endProgram(); });
    m_form1->setMeasureWindowLoader([this] { loadMeasureWindow(); });
    m_form3 = new Form3(m_state, *m_link, *m_heldMessages, m_form1.get());

    m_dispatcher = std::make_unique<ReceiveDispatcher>(m_state, *m_link, *m_form1);
    m_rqx2 = std::make_unique<Rqx2Protocol>(m_state, *m_link, m_table, *m_form1);
    m_rqx5 = std::make_unique<Rqx5Protocol>(m_state, *m_link, m_table, *m_form1);
    m_portCommands = std::make_unique<PortCommands>(m_state, *m_link, *m_form1);
    if (!fileDialogs) {
        m_ownFileDialogs = std::make_unique<QFileDialogPresenter>();
        fileDialogs = m_ownFileDialogs.get();
    }
    m_commonDialog = std::make_unique<CommonDialog>(*fileDialogs);
    m_fileCommands = std::make_unique<CoordinateFileCommands>(m_state, m_table, *m_form1, *m_commonDialog,
                                                              *m_heldMessages);
    m_form7 = std::make_unique<Form7>(m_state, *m_heldMessages, *m_commonDialog);
    m_form7->setEndProgram([this] { this->endProgram(); });
    m_rqx2Measurement = std::make_unique<Rqx2MeasurementReceive>(m_state, *m_link, m_form7->list(), *m_form7);
    m_rqx2->install(m_dispatcher->routines());
    m_rqx2Measurement->install(m_dispatcher->routines());
    m_rqx5->install(m_dispatcher->routines());
    if (m_ownLink) {
        m_ownLink->setReceiveHandler([this] { m_dispatcher->OnReceiveEvent(); });
        m_ownLink->setLostHandler([this] { reportLostPort(); });
    }

    QObject::connect(m_form6.get(), &Form6::confirmRequested, m_form6.get(), [this] { ConfirmSelection(); });
    QObject::connect(m_form6.get(), &Form6::exitRequested, m_form6.get(), [this] { this->endProgram(); });
    connectCommands();
}

Application::~Application()
{
    if (m_ownLink)
        m_ownLink->setReceiveHandler({});
}

TransferView &Application::view()
{
    return *m_form1;
}

void Application::connectCommands()
{
    Form1 *w = m_form1.get();
    auto onAction = [w](const char *name, auto handler) {
        QObject::connect(w->action(QLatin1String(name)), &QAction::triggered, w, handler);
    };
    auto onButton = [w](const char *name, auto handler) {
        QObject::connect(w->button(QLatin1String(name)), &QPushButton::clicked, w, handler);
    };
    onAction("Open", [this] { m_fileCommands->Open(); });
    onButton("Command10", [this] { m_fileCommands->Open(); });
    onAction("Save", [this] { m_fileCommands->Save(); });
    onButton("Command9", [this] { m_fileCommands->OlderSave(); });
    onAction("RecZB", [this] { RecZB(); });
    onAction("SendZB", [this] { SendZB(); });
    onAction("CLSend", [this] { CLSend(); });
    onAction("COM_Set", [this] {
        m_form3->show();
        m_form3->raise();
        m_form3->activateWindow();
    });
    onButton("Command12", [this] { m_rqx5->StartRqx5CoordinateReceive(); });
    onButton("Command3", [this] { m_rqx5->commandSendCoordinates(); });
    onButton("Command4", [this] { m_portCommands->RunConnectionTest(); });
    onButton("Command1", [this] { m_portCommands->SendTestCommand1(); });
    onButton("Command13", [this] { m_portCommands->SendTestCommand2(); });
    onButton("Command2", [this] { m_portCommands->PreparePort(); });

    QObject::connect(w, &Form1::measurementStatusChanged, m_form7.get(), &Form7::setStatus);
    QObject::connect(m_form7.get(), &Form7::receiveRequested, m_form7.get(),
                     [this] { m_rqx2Measurement->commandReceive(); });
}

void Application::ShowSelectionDialog()
{
    m_heldMessages->showMessage(nullptr, kNoticeTitle, kNotice);
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

    const CableSearchResult cable = FindUsbSerialPort(ListSerialDevices(m_deviceDir));
    if (cable.outcome != CableSearchResult::NotFound) {
        m_form6->setPortName(cable.portName);
        m_form3->setCablePort(cable.portName);
        if (m_link->isOpen())
            m_link->close();
    }
    switch (cable.outcome) {
    case CableSearchResult::OutOfRange:
        m_heldMessages->showMessage(
            m_form6.get(), QStringLiteral("连接失败"),
            QStringLiteral("端口号超出范围，请自行到本计算机“设备管理器”中更改串口号至COM16以内！"));
        endProgram();
        return;
    case CableSearchResult::NotFound:
        m_heldMessages->showMessage(m_form6.get(), QStringLiteral("通讯电缆连接失败"),
                                    QStringLiteral("请检查通讯线是否为随机所配，是否插牢，是否已安装驱动！"));
        endProgram();
        return;
    case CableSearchResult::Found:
        break;
    }
    m_link->setCommPort(cable.commPort);
    m_heldMessages->showMessage(m_form6.get(), QStringLiteral("通讯电缆已连接"),
                                QStringLiteral("当前计算机串行通讯端口为： ") + cable.portName);
    ensureMainWindowLoaded();
    m_form1->show();
    m_form6->hide();
}

void Application::reportLostPort()
{
    // A cable pulled or a port gone in the middle of a transfer: what has arrived stays, and the
    // user is told once. A port that goes away after the last frame of a transfer is not reported:
    // the next command that needs it reports it. No window is brought forward (the measurement window may be
    // the only one shown); the box stands over whichever window is active.
    if (m_ended || !m_state.TransferUnderway)
        return;
    m_state.TransferUnderway = false;
    QWidget *parent = QApplication::activeWindow();
    if (!parent && m_form1->isVisible())
        parent = m_form1.get();
    m_heldMessages->showMessage(parent, QStringLiteral("错误提示"),
                                QStringLiteral("请检查端口连接是否正确！"));
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
    if (m_state.rqx5())
        m_rqx5->commandReceiveCoordinates();
    else if (m_state.rqx2())
        m_rqx2->commandReceiveCoordinates();
}

void Application::SendZB()
{
    m_state.HandshakeAnswered = 0;
    if (m_state.rqx5())
        m_rqx5->commandSendCoordinates();
    else if (m_state.rqx2())
        m_rqx2->commandSendCoordinates();
}

void Application::CLSend()
{
    if (m_state.rqx5())
        showRqx5MeasureWindow();
    else if (m_state.rqx2())
        showRqx2MeasurementWindow();
}

void Application::loadMeasureWindow()
{
    if (m_form4)
        return;
    m_form4 = std::make_unique<Form4>(m_state, *m_heldMessages);
    m_form4->setSelectMeasurementData(
        [this] { m_form1->findChild<QRadioButton *>(QStringLiteral("Option3"))->setChecked(true); });
    m_rqx5Measurement = std::make_unique<Rqx5MeasurementReceive>(m_state, *m_link, m_form4->list(), *m_form4);
    m_rqx5Measurement->install(m_dispatcher->routines(), *m_rqx5);
    m_rqx5Files = std::make_unique<Rqx5MeasurementFiles>(m_state, *m_form4, *m_commonDialog, *m_heldMessages);
    m_form4->setCommands(*m_rqx5Measurement, *m_rqx5Files);
    // Its list's columns are given in units of the list's width / 19.
    m_state.MeasureColumnUnit = qRound(m_form4->tableWidth() / 19.0);
}

void Application::showRqx5MeasureWindow()
{
    // Shown beside the main window, which stays.
    m_form4->show();
    m_form4->raise();
    m_form4->activateWindow();
    m_state.Rqx5MeasureWindowOpen = true;
}

void Application::showRqx2MeasurementWindow()
{
    m_form7->show();
    m_form7->raise();
    m_form7->activateWindow();
    // The list shows its columns from the start, before anything is received or opened; set up
    // once the window is laid out, as their widths may follow from the list's.
    if (m_form7->list().columnCount() == 0)
        m_form7->SetupRqx2MeasurementList();
    m_rqx2Measurement->selectMeasurementReceive();
    // From now on the measurement window is the program's window.
    m_form1->hide();
}
