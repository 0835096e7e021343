// What the surveyor sees when the line fails the program: a cable pulled in the middle of a
// transfer, and bytes that come while a message waits for the user.
#include "rqx5/Rqx5CoordinateSend.h"
#include "serial/SerialLink.h"
#include "support/MainWindowSimFixture.h"
#include "support/QStringPrinter.h"
#include "ui/Form1.h"
#include "ui/TransferExecutor.h"

#include <QAction>
#include <QFile>
#include <QTest>

namespace {

const QString kPortFailure = QStringLiteral("错误提示|请检查端口连接是否正确！");

class LinkFailure : public MainWindowSimFixture {
protected:
    // Ends the simulator once the transfer has shown progress, as a cable pulled out mid-way, and
    // waits for the program to tell it.
    void pullCableWhen(const std::function<bool()> &underway)
    {
        ASSERT_TRUE(QTest::qWaitFor(underway, 60000));
        sim.terminate();
        ASSERT_TRUE(sim.waitForFinished(30000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.messages.isEmpty(); }, 30000));
        // Once: the port is closed and nothing is left to perform, so nothing further comes of the dead line.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !app->link().isOpen() && app->executor().idle(); }, 20000));
        EXPECT_EQ(messages.messages, QStringList{kPortFailure});
    }
};

} // namespace

TEST_F(LinkFailure, CablePulledDuringAReceiveIsToldOnceAndTheRowsStay)
{
    constexpr int kPoints = 9999;
    ASSERT_TRUE(startProgram(true, true, {"--action", "send", "--points", QString::number(kPoints)}));
    app->mainWindow()->action(QStringLiteral("RecZB"))->trigger();
    sim.go();
    pullCableWhen([&] { return app->table().count() >= 20; });
    const int rows = app->table().count();
    EXPECT_GE(rows, 20);
    EXPECT_LT(rows, kPoints);
    EXPECT_EQ(app->table().point(1).sequence, "1");

    // The next command that needs the port reports it as usual, and nothing is lost by it.
    app->mainWindow()->action(QStringLiteral("RecZB"))->trigger();
    EXPECT_EQ(messages.messages, QStringList({kPortFailure, kPortFailure}));
    EXPECT_EQ(app->table().count(), rows);
}

TEST_F(LinkFailure, CablePulledDuringASendIsToldOnce)
{
    ASSERT_TRUE(startProgram(false, true, {"--action", "receive", "--output", dir.filePath("out.txt")}));
    for (int i = 1; i <= 20; ++i)
        addRow({QString::number(i), QStringLiteral("P%1").arg(i), "1.5", "2.5", "3.5"});
    app->mainWindow()->action(QStringLiteral("SendZB"))->trigger();
    sim.go();
    // Each point waits for the instrument to be ready, so the send is still on when 3 have gone.
    pullCableWhen([&] { return text("Text1").section(u'/', 0, 0).toInt() >= 3; });
    EXPECT_EQ(app->table().count(), 20);
}

TEST_F(LinkFailure, ARequestThatComesWhileANoticeIsOpenIsAnsweredAfterItCloses)
{
    // An RQX5 send of an empty table: the notice is shown with the port open, and the instrument's
    // request must wait for the user to close it before the end frame answers it.
    QFile script(dir.filePath(QStringLiteral("request.script")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("go\nsend AA 81\nsay sent the request\nexpect AA 82 30000\n");
    script.close();
    ASSERT_TRUE(startProgram(true, true, {"--action", "script", "--script", script.fileName()}));
    long countWhileOpen = -1;
    messages.onMessage = [&](const QString &, const QString &) {
        messages.onMessage = nullptr;
        sim.go();
        // The user reads the notice while the request arrives.
        EXPECT_TRUE(QTest::qWaitFor([&] { return sim.errorOutput().contains("sent the request"); }, 20000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !app->executor().idle(); }, 20000));
        countWhileOpen = static_cast<Rqx5CoordinateSend *>(app->executor().current())->recordCount();
    };
    app->mainWindow()->action(QStringLiteral("SendZB"))->trigger();
    EXPECT_EQ(countWhileOpen, 0) << "the request was taken while the notice was open";
    EXPECT_EQ(messages.messages, QStringList{"提示|请首先打开一个坐标数据文件"});
    finish();
}
