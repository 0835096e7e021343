#include "PortCommands.h"

#include "Frames.h"
#include "SerialLink.h"
#include "core/AppState.h"
#include "core/TransferView.h"

namespace {
constexpr int kConnectionTestBufferBound = 50000;
constexpr int kTestCommandBufferBound = 5000;
// The instrument answers the test pair with the same two bytes.
constexpr int kConnectionTestAnswerLength = 2;
constexpr int kTestCommandPort = 1;

const QString kOpenPortCaption = QStringLiteral("打开串口");
const QString kClosePortCaption = QStringLiteral("关闭串口");
} // namespace

PortCommands::PortCommands(AppState &state, SerialLink &link, TransferView &view)
    : m_state(state), m_link(link), m_view(view)
{
}

void PortCommands::RunConnectionTest()
{
    m_view.setConnectionTestShown(true);
    m_state.RecordBuffer.reallocate(kConnectionTestBufferBound);
    m_state.ReceiveBuffer.reallocate(kConnectionTestBufferBound);
    m_link.clearOutput();
    m_link.clearInput();
    m_link.setSendThreshold(1);
    m_link.setReceiveThreshold(kConnectionTestAnswerLength);

    // The test also works the port button: a port the button shows as closed is opened, an open one
    // is closed, and then opened again below, so the test always ends with the port open.
    if (m_view.portButtonCaption() == kOpenPortCaption) {
        if (!m_link.openIfClosed())
            return m_view.reportPortFailure();
        m_view.setPortButtonCaption(kClosePortCaption);
    } else {
        m_link.close();
        m_view.setPortButtonCaption(kOpenPortCaption);
    }
    if (!m_link.openIfClosed())
        return m_view.reportPortFailure();
    if (!m_link.write(QByteArray(Frames::kRqx5TestPair, 2)))
        return m_view.reportPortFailure();
    m_state.TransferUnderway = true;
}

void PortCommands::SendTestCommand1()
{
    prepareTestCommand();
    if (!m_link.openIfClosed())
        return m_view.reportPortFailure();
    if (!m_link.write(QByteArray(Frames::kRqx5NextPair, 2)))
        return m_view.reportPortFailure();
}

void PortCommands::SendTestCommand2()
{
    prepareTestCommand();
    if (m_link.isOpen())
        m_link.close();
    m_link.setCommPort(kTestCommandPort);
    if (!m_link.open())
        return m_view.reportPortFailure();
    if (!m_link.write(QByteArray(Frames::kRqx5EndPair, 2)))
        return m_view.reportPortFailure();
}

void PortCommands::PreparePort()
{
    m_link.clearOutput();
    m_link.clearInput();
    m_link.setSendThreshold(1);
    m_link.setReceiveThreshold(1);
    if (!m_link.openIfClosed())
        m_view.reportPortFailure();
}

void PortCommands::prepareTestCommand()
{
    m_state.ReceiveBuffer.reallocate(kTestCommandBufferBound);
    m_link.clearOutput();
    m_link.clearInput();
    m_link.setSendThreshold(1);
    m_link.setReceiveThreshold(1);
}
