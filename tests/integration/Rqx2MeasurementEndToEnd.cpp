// The RQX2 measurement receive as the surveyor runs it: "测量数据" in the main window, "接收数据" in the
// measurement window, then the send on the simulated instrument, through the program's own port.
#include "support/MainWindowSimFixture.h"
#include "support/QStringPrinter.h"
#include "ui/Form1.h"
#include "ui/Form7.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

class Rqx2Measurements : public MainWindowSimFixture, public ::testing::WithParamInterface<bool> {
protected:
    bool nez() const { return GetParam(); }

    // The instrument's measurement file with these lines, sent once 接收数据 has been pressed.
    void receiveFile(const QStringList &lines)
    {
        const QString path = dir.filePath(QStringLiteral("measurements.txt"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines.join(u'\n').toUtf8());
        file.close();
        receive({"--action", "measurements", "--points-file", path});
    }
    void receive(const QStringList &simArgs)
    {
        const QStringList speed = lineSpeed ? SimProcess::lineSpeedArgs() : QStringList();
        ASSERT_TRUE(startProgram(false, nez(), speed + QStringList{"--timeout", "10000"} + simArgs));
        app->mainWindow()->action(QStringLiteral("CLSend"))->trigger();
        form7 = app->rqx2MeasurementWindow();
        ASSERT_TRUE(form7->isVisible());
        EXPECT_FALSE(app->mainWindow()->isVisible());
        form7->findChild<QPushButton *>("Command1")->click();
        EXPECT_EQ(form7->findChild<QLabel *>("Label4")->text(), "等待握手信号。。。");
        sim.go();
        finish();
    }
    QString shown(const char *name) const
    {
        if (auto *box = form7->findChild<QLineEdit *>(name))
            return box->text();
        return form7->findChild<QLabel *>(name)->text();
    }
    QStringList row(int index) const { return form7->list().row(index); }

    Form7 *form7 = nullptr;
    bool lineSpeed = false; // at 1200 baud in uneven pieces, as a real cable delivers them
};

const QStringList kStationAndBacksight{"name,F0001", "station,S1,A,1.550,1000,2000,100",
                                       "backsight,B1,B,0453000"};

} // namespace

TEST_P(Rqx2Measurements, TheTenRecordFile)
{
    QStringList lines = kStationAndBacksight;
    for (int i = 1; i <= 8; ++i)
        lines << QStringLiteral(
                     "measurement,M%1,P7,1234506,0900000,12.345,-1.2,12.3,1.5,1.8,1234.567,-45.5,12.3")
                     .arg(i);
    receiveFile(lines);

    ASSERT_EQ(form7->list().count(), 10);
    EXPECT_EQ(row(1).mid(13, 6), nez()
                                     ? QStringList({"S1", "A", "1.550", "1000.000", "2000.000", "100.000"})
                                     : QStringList({"S1", "A", "1.550", "2000.000", "1000.000", "100.000"}));
    EXPECT_EQ(row(2).mid(19), QStringList({"B1", "B", "45°30′00″"}));
    EXPECT_EQ(row(3).mid(0, 13), QStringList({"3", "M1", "P7", "123°45′06″", "90°00′00″", "12.345", "-1.200",
                                              "12.300", "1.500", "1.800", nez() ? "1234.567" : "-45.500",
                                              nez() ? "-45.500" : "1234.567", "12.300"}));
    EXPECT_EQ(row(10).mid(0, 2), QStringList({"10", "M8"}));
    EXPECT_EQ(form7->list().headers().at(10), nez() ? "坐标--N" : "坐标--E");
    EXPECT_EQ(shown("Label1"), "文件名： F0001");
    EXPECT_EQ(shown("Text1"), "10/10");
    EXPECT_EQ(shown("Label4"), "传输完毕！");
    EXPECT_EQ(messages.messages, QStringList{"成功|传输完毕！"});
}

TEST_P(Rqx2Measurements, EveryKindOfRecordAtLineSpeed)
{
    lineSpeed = true;
    receiveFile(kStationAndBacksight +
                QStringList{"measurement,M1,P7,1234506,0900000,12.345,-1.2,12.3,1.5,1.8,1234.567,-45.5,12.3",
                            "measurement,M2,P8,0000001,2700000,0.5,0,0.5,0,0,-1,-2,-3"});
    ASSERT_EQ(form7->list().count(), 4) << sim.errorOutput().toStdString();
    EXPECT_EQ(row(1).mid(13, 3), QStringList({"S1", "A", "1.550"}));
    EXPECT_EQ(row(2).mid(19), QStringList({"B1", "B", "45°30′00″"}));
    EXPECT_EQ(row(3).mid(0, 6), QStringList({"3", "M1", "P7", "123°45′06″", "90°00′00″", "12.345"}));
    EXPECT_EQ(row(4).mid(0, 6), QStringList({"4", "M2", "P8", "0°00′01″", "270°00′00″", "0.500"}));
    EXPECT_EQ(row(4).at(12), "-3.000");
    EXPECT_EQ(shown("Text1"), "4/4");
    EXPECT_EQ(messages.messages, QStringList{"成功|传输完毕！"});
}

TEST_P(Rqx2Measurements, AFileWithoutMeasurements)
{
    receiveFile(kStationAndBacksight);
    EXPECT_EQ(form7->list().count(), 2);
    EXPECT_EQ(shown("Text1"), "2/2");
    EXPECT_EQ(messages.messages, QStringList{"成功|传输完毕！"});
}

TEST_P(Rqx2Measurements, AStationRecordInTwoPieces)
{
    // The worked examples' header and station of a file of one record; the station's first 40 bytes
    // are more than the program waits for, and still no record.
    const QString script = dir.filePath(QStringLiteral("pieces.script"));
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "go\n"
        "send 02 4A 0D\n"
        "expect 05 4A 0D\n"
        "send 02 30 30 30 30 30 30 30 31 07 46 30 30 30 31 0D\n"
        "expect 06 30 30 30 30 30 30 30 31 0D\n"
        "send 02 30 30 30 31 30 30 30 31 08 53 31 20 20 20 20 20 41 20 20 20 20 20 20 2B 30 30 31 2E 35 "
        "35 30 2B 30 30 30 30 31 30 30\n"
        "wait 300\n"
        "send 30 2E 30 30 30 2B 30 30 30 30 32 30 30 30 2E 30 30 30 2B 30 30 30 30 30 31 30 30 2E 30 30 30 "
        "0D\n"
        "expect 06 30 30 30 31 30 30 30 31 0D\n");
    file.close();
    receive({"--action", "script", "--script", script});

    ASSERT_EQ(form7->list().count(), 1);
    EXPECT_EQ(row(1).mid(13, 6).join(u'|'),
              nez() ? "S1|A|1.550|1000.000|2000.000|100.000" : "S1|A|1.550|2000.000|1000.000|100.000");
    EXPECT_EQ(messages.messages, QStringList{"成功|传输完毕！"});
}

INSTANTIATE_TEST_SUITE_P(Order, Rqx2Measurements, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? "Nez" : "Enz";
                         });
