#include "ConnectionTest.h"

#include "Rqx5Frames.h"
#include "core/MessageTitles.h"

const QString ConnectionTest::kOpenPortCaption = QStringLiteral("打开串口");
const QString ConnectionTest::kClosePortCaption = QStringLiteral("关闭串口");

TransferActions ConnectionTest::RunConnectionTest()
{
    TransferActions actions;
    actions.push_back(TransferAction::showControl(QStringLiteral("Label3"), true));
    resetPort(actions);
    if (m_portShownClosed) {
        actions.push_back(TransferAction::of(TransferAction::OpenPort));
        actions.push_back(TransferAction::setText(QStringLiteral("Command12"), kClosePortCaption));
    } else {
        actions.push_back(TransferAction::of(TransferAction::ClosePort));
        actions.push_back(TransferAction::setText(QStringLiteral("Command12"), kOpenPortCaption));
    }
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    actions.push_back(TransferAction::write(Rqx5Frames::kTestPair));
    m_underway = true;
    return actions;
}

int ConnectionTest::frameEnd(const FrameBuffer &bytes) const
{
    if (!m_rqx5)
        return -1;
    for (int i = 1; i < bytes.size(); ++i) {
        if (bytes.at(i - 1) == Rqx5Frames::kLead && bytes.at(i) == Rqx5Frames::kTest)
            return i;
    }
    return -1;
}

void ConnectionTest::handle(const QByteArray &, int, TransferActions &actions)
{
    m_underway = false;
    actions.push_back(TransferAction::showControl(QStringLiteral("Label3"), false));
    actions.push_back(TransferAction::message(
        MessageTitles::kTestSucceeded, QStringLiteral("通讯测试成功！您的电脑可以与仪器进行数据传输。")));
}
