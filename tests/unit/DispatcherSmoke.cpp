#include "support/FakeSerialLink.h"
#include "support/RecordingView.h"
#include "core/AppState.h"
#include "serial/ReceiveDispatcher.h"

#include <gtest/gtest.h>

TEST(DispatcherSmoke, HandshakeRoutedWithRqx2)
{
    Recorder log;
    FakeSerialLink link(log);
    RecordingView view(log);
    FixedSelection selection;
    AppState state;
    state.Selection = &selection;
    state.load();
    ReceiveDispatcher dispatcher(state, link, view);
    int calls = 0;
    dispatcher.routines().AnswerRqx2Handshake = [&] { ++calls; };
    dispatcher.dispatch(fromHex("4A 0D"));
    EXPECT_EQ(calls, 1);
}
