// The RQX2 measurement file: its text from a list, and the rows read back from any line ends.
#include "formats/Rqx2MeasurementFile.h"
#include "core/MeasurementTableModel.h"
#include "formats/FileText.h"
#include "support/QStringPrinter.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
const QString kStationLine =
    QStringLiteral("1，，，，，，，，，，，，，S1，A，1.550，1000.000，2000.000，100.000，，，");
const QString kMeasurementLine = QStringLiteral("3，M1，P7，123°45′06″，90°00′00″，12.345，-1.200，12.300，1."
                                                "500，1.800，1234.567，-45.500，12.300，，，，，，，，，");

QString golden()
{
    QFile file(QStringLiteral(RQX_TEST_DATA_DIR "/rqx2-measurements.txt"));
    return file.open(QIODevice::ReadOnly) ? DecodeFileText(file.readAll()) : QString();
}
} // namespace

TEST(Rqx2MeasurementFile, TheGoldenFileAndItsRows)
{
    const QString text = golden();
    const Rqx2MeasurementFile::Content content = Rqx2MeasurementFile::read(text);
    ASSERT_EQ(content.rows.size(), 3u);
    EXPECT_EQ(content.skippedLines, 0);
    EXPECT_EQ(content.rows[0].join(u'，'), kStationLine);
    EXPECT_EQ(content.rows[2].join(u'，'), kMeasurementLine);
    EXPECT_EQ(content.rows[1].mid(19), QStringList({"B1", "B", "45°30′00″"}));

    // Written again from a list of those rows, the text is the file's less its final line end.
    MeasurementTableModel list;
    list.setColumns(std::vector<MeasurementColumn>(22));
    list.append(content.rows);
    EXPECT_EQ(Rqx2MeasurementFile::build(QStringLiteral("文件名： F0001"), list) + "\r\n", text);
}

TEST(Rqx2MeasurementFile, LineEndsShortLinesAndRowNumbers)
{
    const QString row = QStringLiteral("9，") + QString(20, u'，');
    // LF, CR and CR LF; empty lines and the name line are passed over; rows are numbered afresh.
    const QString text = QStringLiteral("文件名： A\n\n") + row + QStringLiteral("x\r1，2，3\r\n") + row +
                         QStringLiteral("y，z，，\r\n\r\n") + kStationLine.left(20);
    const Rqx2MeasurementFile::Content content = Rqx2MeasurementFile::read(text);
    ASSERT_EQ(content.rows.size(), 2u);
    EXPECT_EQ(content.rows[0].first(), "1");
    EXPECT_EQ(content.rows[0].last(), "x");
    EXPECT_EQ(content.rows[1].first(), "2");
    // The 21st field runs to the end of the line, separators and all.
    EXPECT_EQ(content.rows[1].last(), "y，z，，");
    EXPECT_EQ(content.skippedLines, 2);
    EXPECT_EQ(content.firstSkippedLine, 4);
}
