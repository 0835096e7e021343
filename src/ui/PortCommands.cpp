#include "PortCommands.h"

#include "rqx5/Rqx5Frames.h"

namespace {
constexpr int kTestCommandPort = 1;

TransferActions prepared()
{
    return {TransferAction::of(TransferAction::ClearOutput), TransferAction::of(TransferAction::ClearInput)};
}
} // namespace

namespace PortCommands {

TransferActions SendTestCommand1()
{
    TransferActions actions = prepared();
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    actions.push_back(TransferAction::write(Rqx5Frames::kNextPair));
    return actions;
}

TransferActions SendTestCommand2()
{
    TransferActions actions = prepared();
    actions.push_back(TransferAction::of(TransferAction::ClosePort));
    actions.push_back({TransferAction::SetCommPort, {}, {}, {}, kTestCommandPort, {}});
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    actions.push_back(TransferAction::write(Rqx5Frames::kEndPair));
    return actions;
}

TransferActions PreparePort()
{
    TransferActions actions = prepared();
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    return actions;
}

} // namespace PortCommands
