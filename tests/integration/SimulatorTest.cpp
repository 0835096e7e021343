// The simulator itself, as the protocol tests and a person without a cable use it: scripted
// exchanges and their reports, the recording of the line, and the demo instrument.
#include "serial/QSerialLink.h"
#include "support/RecordingPresenter.h"
#include "support/SimProcess.h"
#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Form6.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

// The program's end of the line, answering the way a test wants.
class ProgramEnd {
public:
    explicit ProgramEnd(const QString &deviceDir) : link(deviceDir)
    {
        // The bytes are taken once at least `threshold` of them wait, all of them as one chunk, as the
        // instrument's frames are taken whole.
        link.setReceiveHandler([this] {
            pending += link.readAll();
            if (pending.isEmpty() || pending.size() < threshold)
                return;
            const QByteArray chunk = std::exchange(pending, {});
            received += chunk;
            if (answer)
                answer(chunk);
        });
    }
    QSerialLink link;
    int threshold = 1;
    QByteArray pending;
    QByteArray received;
    std::function<void(const QByteArray &)> answer;
};

class SimulatorScript : public ::testing::Test {
protected:
    // Runs the script against a program that answers with `answer`; the simulator's exit code.
    int run(const char *script, std::function<void(ProgramEnd &)> program = {})
    {
        // A time-out only a program that never answers reaches: each step ends as soon as it can.
        if (!sim.start({"--action", "script", "--script", writeSimScript(dir, script), "--timeout", "20000"}))
            return -1;
        ProgramEnd end(sim.deviceDir());
        // A script the simulator cannot read ends it at once, with its device entry, perhaps before
        // the program's end is open; only a program that talks to it needs the line.
        if (!end.link.open() && program)
            return -2;
        if (program)
            program(end);
        if (!sim.waitForFinished(30000))
            return -3;
        errors = sim.errorOutput();
        return sim.exitCode();
    }

    QTemporaryDir dir;
    SimProcess sim;
    QString errors;
};

} // namespace

TEST_F(SimulatorScript, ExchangeInOrderPasses)
{
    const int status = run("# the instrument ends a transfer, then expects the echo and a test\n"
                           "send AA 82\n"
                           "expect AA 82\n"
                           "\n"
                           "wait 50\n"
                           "expect AABB\n"
                           "send aa bb\n"
                           "quiet 100\n",
                           [](ProgramEnd &end) {
                               end.threshold = 2;
                               end.answer = [&end](const QByteArray &chunk) {
                                   if (chunk == QByteArray("\xAA\x82", 2))
                                       end.link.write(QByteArray("\xAA\x82\xAA\xBB", 4));
                               };
                           });
    EXPECT_EQ(status, 0) << errors.toStdString();
}

TEST_F(SimulatorScript, WrongBytesAreReportedWithTheLine)
{
    EXPECT_EQ(run("send AA 82\n"
                  "expect AA 81\n",
                  [](ProgramEnd &end) { end.link.write(QByteArray("\xAA\xBB", 2)); }),
              1);
    EXPECT_TRUE(errors.contains("script line 2: expected AA 81, got AA BB")) << errors.toStdString();
}

TEST_F(SimulatorScript, MissingBytesAreReportedWithWhatCame)
{
    // AA and 81 come in one write: once AA has been taken, 81 is there, and only 82 is missing when
    // the short window of line 2 opens.
    EXPECT_EQ(run("expect AA\n"
                  "expect 81 82 300\n",
                  [](ProgramEnd &end) { end.link.write(QByteArray("\xAA\x81", 2)); }),
              1);
    EXPECT_TRUE(errors.contains("script line 2: expected 81 82 within 300 ms, got 81"))
        << errors.toStdString();
}

TEST_F(SimulatorScript, TwoDigitTimeOutIsWrittenWithMs)
{
    EXPECT_EQ(run("expect AA 81 50ms\n"), 1);
    EXPECT_TRUE(errors.contains("expected AA 81 within 50 ms, got nothing")) << errors.toStdString();
}

TEST_F(SimulatorScript, BytesDuringQuietAreReported)
{
    // The byte ends the step when it comes, however long the quiet was to last.
    EXPECT_EQ(run("quiet 60000\n", [](ProgramEnd &end) { end.link.write(QByteArray("\x06", 1)); }), 1);
    EXPECT_TRUE(errors.contains("script line 1: expected nothing for 60000 ms, got 06"))
        << errors.toStdString();
}

TEST_F(SimulatorScript, UnreadableLineIsNamed)
{
    EXPECT_EQ(run("send AA 8\n"), 2);
    EXPECT_TRUE(errors.contains("line 1: cannot read \"send AA 8\"")) << errors.toStdString();
    EXPECT_EQ(run("expect\n"), 2);
    EXPECT_EQ(run("jump 5\n"), 2);
}

TEST_F(SimulatorScript, GoHoldsTheInstrumentUntilTheProgramIsReady)
{
    const int status =
        run("say at the go\n"
            "go\n"
            "send 4A 0D\n"
            "expect 06\n",
            [this](ProgramEnd &end) {
                end.threshold = 2;
                end.answer = [&end](const QByteArray &) { end.link.write(QByteArray("\x06", 1)); };
                ASSERT_TRUE(QTest::qWaitFor([&] { return sim.errorOutput().contains("at the go"); }, 20000));
                EXPECT_TRUE(end.received.isEmpty());
                sim.go();
            });
    EXPECT_EQ(status, 0) << errors.toStdString();
}

TEST(SimulatorRecord, EveryByteBothWaysWithItsTime)
{
    QTemporaryDir dir;
    const QString record = dir.filePath(QStringLiteral("line.txt"));
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--series", "rqx2", "--record", record}));
    ProgramEnd end(sim.deviceDir());
    ASSERT_TRUE(end.link.open());
    end.threshold = 2;
    ASSERT_TRUE(end.link.write(QByteArray("\xAA\xBB", 2)));
    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();
    EXPECT_EQ(hex(end.received), "AA BB");

    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    static const QRegularExpression line(
        QStringLiteral("^(\\d+\\.\\d{3}) (in|out) ([0-9A-F]{2}( [0-9A-F]{2})*)$"));
    QString in, out;
    double last = 0;
    for (const QString &text : lines) {
        const auto match = line.match(text);
        ASSERT_TRUE(match.hasMatch()) << text.toStdString();
        const double ms = match.captured(1).toDouble();
        EXPECT_GE(ms, last);
        last = ms;
        (match.captured(2) == "in" ? in : out) += match.captured(3) + u' ';
    }
    EXPECT_EQ(in.trimmed(), "AA BB");
    EXPECT_EQ(out.trimmed(), "AA BB");
}

TEST(SimulatorLine, DeviceEntryGoesWithTheSimulator)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--demo"}));
    const QString entry =
        QDir(sim.deviceDir())
            .filePath(QStringLiteral("usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0"));
    EXPECT_TRUE(QFile::exists(entry));
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_FALSE(QFileInfo(entry).isSymLink());
}

// ---- The demo instrument --------------------------------------------------------------------------

namespace {

const QString kSuccess = QStringLiteral("测试成功|通讯测试成功！您的电脑可以与仪器进行数据传输。");

class SimulatorDemo : public ::testing::TestWithParam<const char *> {
protected:
    bool startProgram()
    {
        const QString series = QLatin1String(GetParam());
        if (!sim.start({"--series", series, "--demo"}))
            return false;
        app = std::make_unique<Application>(sim.deviceDir(), messages, [] {});
        app->start();
        app->selectionDialog()
            ->findChild<QRadioButton *>(series == "rqx5" ? "Option4" : "Option3")
            ->setChecked(true);
        app->ConfirmSelection();
        messages.messages.clear();
        return app->mainWindow() && app->mainWindow()->isVisible();
    }

    Recorder log;
    RecordingPresenter messages{log};
    SimProcess sim;
    std::unique_ptr<Application> app;
};

} // namespace

TEST_P(SimulatorDemo, AnswersTestsIgnoresStrayBytesAndPlaysTypedTransfers)
{
    ASSERT_TRUE(startProgram());
    const bool rqx5 = QLatin1String(GetParam()) == "rqx5";

    // A test command's pair is no transfer: the demo instrument drops it and stays. It has left
    // before the connection test's clearing of the output could take it.
    app->mainWindow()->button("Command1")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.errorOutput().contains("ignored AA 81"); }, 20000))
        << sim.errorOutput().toStdString();

    app->mainWindow()->button("Command4")->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sim.errorOutput().contains("answered the connection test"); }, 20000));
    EXPECT_TRUE(sim.errorOutput().contains("ignored AA 81")) << sim.errorOutput().toStdString();
    // The surveyor reads the outcome before starting a transfer: the answer belongs to the test.
    if (rqx5) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.messages.isEmpty(); }, 20000));
    }

    app->mainWindow()->action("RecZB")->trigger();
    sim.command(QStringLiteral("send 3"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.errorOutput().contains("send 3: done"); }, 20000))
        << sim.errorOutput().toStdString();
    EXPECT_EQ(app->table().count(), 3);

    sim.command(QStringLiteral("quit"));
    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 0);
    if (rqx5)
        EXPECT_EQ(messages.messages.first(), kSuccess);
    else
        EXPECT_FALSE(messages.messages.contains(kSuccess));
}

TEST_P(SimulatorDemo, WithoutAKeyboardItStillAnswersTests)
{
    ASSERT_TRUE(startProgram());
    sim.closeInput();
    app->mainWindow()->button("Command4")->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sim.errorOutput().contains("answered the connection test"); }, 20000));
    app->mainWindow()->button("Command4")->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sim.errorOutput().count("answered the connection test") == 2; }, 20000));
    EXPECT_TRUE(QFileInfo(sim.deviceDir()).exists());
}

INSTANTIATE_TEST_SUITE_P(Series, SimulatorDemo, ::testing::Values("rqx5", "rqx2"));

TEST_F(SimulatorScript, PullEndsTheScriptAndClosesTheLine)
{
    const int status = run("send AA 82\n"
                           "pull\n"
                           "send AA 83\n",
                           [](ProgramEnd &end) { end.threshold = 2; });
    EXPECT_EQ(status, 0) << errors.toStdString();
    EXPECT_TRUE(errors.contains("script line 2: the cable is pulled")) << errors.toStdString();
    EXPECT_TRUE(QDir(sim.deviceDir()).isEmpty(QDir::System | QDir::Files));
}
