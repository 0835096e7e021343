#include "ConnectionTest.h"

#include "Rqx5Frames.h"
#include "core/MessageTitles.h"

TransferActions ConnectionTest::RunConnectionTest()
{
    TransferActions actions;
    actions.push_back(status(TransferEvents::State::Testing));
    resetPort(actions);
    if (m_portShownClosed) {
        actions.push_back(TransferAction::of(TransferAction::OpenPort));
        actions.push_back(TransferAction::show(TransferEvents::PortShown{true}));
    } else {
        actions.push_back(TransferAction::of(TransferAction::ClosePort));
        actions.push_back(TransferAction::show(TransferEvents::PortShown{false}));
    }
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    actions.push_back(TransferAction::write(Rqx5Frames::kTestPair));
    setUnderway(true);
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
    setUnderway(false);
    actions.push_back(status(TransferEvents::State::Tested));
    actions.push_back(TransferAction::message(
        MessageTitles::kTestSucceeded, QStringLiteral("通讯测试成功！您的电脑可以与仪器进行数据传输。")));
}
