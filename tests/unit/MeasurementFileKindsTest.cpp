// The kinds of file the measurement windows save and open: the dialogs' filter lists built from
// their rows as the surveyor sees them, the kind a name and an entry choose, and each kind's text
// as the measurement files hold it.
#include "formats/MeasurementFileKinds.h"
#include "core/MeasurementTableModel.h"
#include "formats/FileText.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

using K = MeasurementFileKind;

TEST(MeasurementFileKinds, DialogsListTheirEntriesAsTheSurveyorSeesThem)
{
    struct Dialog {
        std::initializer_list<K::Id> kinds;
        const char *open; // nullptr: never opened
        const char *save;
        K::Naming naming;
    };
    const Dialog dialogs[] = {
        {{K::Rqx2Measurements}, "文本文件(*.txt)", "文本文档(*.txt)", K::ExtensionAlways},
        {{K::Rqx5DataFile}, "测量文件(*.raw)|*.raw", "测量文件(*.raw)|*.raw", K::ExtensionWhenMissing},
        {{K::Rqx5Measurements}, "文本文档(*.txt)|*.txt", "文本文档(*.txt)|*.txt", K::ExtensionWhenMissing},
        {{K::CsvTable, K::XlsxTable},
         nullptr,
         "CSV(逗号分隔)(*.csv)|*.csv|Excel 工作簿(*.xlsx)|*.xlsx",
         K::ExtensionWhenMissing},
    };
    for (const Dialog &d : dialogs) {
        SCOPED_TRACE(d.save);
        EXPECT_EQ(MeasurementFileKinds::saveFilter(d.kinds), QString::fromUtf8(d.save));
        for (const K::Id id : d.kinds) {
            const MeasurementFileKind &kind = MeasurementFileKinds::of(id);
            EXPECT_EQ(kind.id, id);
            EXPECT_EQ(kind.naming, d.naming);
            EXPECT_EQ(kind.read != nullptr, d.open != nullptr);
            EXPECT_EQ(kind.build != nullptr, d.open != nullptr);
        }
        if (d.open) {
            EXPECT_EQ(MeasurementFileKinds::openFilter(d.kinds), QString::fromUtf8(d.open));
        }
    }
}

TEST(MeasurementFileKinds, AFileIsOfTheKindItsNameNamesElseOfTheEntryChosen)
{
    struct Case {
        std::initializer_list<K::Id> kinds;
        const char *path;
        int filterIndex;
        K::Id saved;
    };
    const Case cases[] = {
        {{K::CsvTable, K::XlsxTable}, "/t/list.XLSX", 1, K::XlsxTable},
        {{K::CsvTable, K::XlsxTable}, "/t/list.csv", 2, K::CsvTable},
        {{K::CsvTable, K::XlsxTable}, "/t/list", 2, K::XlsxTable},
        {{K::CsvTable, K::XlsxTable}, "/t/list.txt", 2, K::XlsxTable},
        {{K::CsvTable, K::XlsxTable}, "/t/list", 0, K::CsvTable},
        {{K::CsvTable, K::XlsxTable}, "/t/list", 3, K::CsvTable},
        {{K::Rqx5DataFile}, "/t/job.txt", 1, K::Rqx5DataFile},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.path) + " " + std::to_string(c.filterIndex));
        EXPECT_EQ(MeasurementFileKinds::saved(c.kinds, QString::fromUtf8(c.path), c.filterIndex).id, c.saved);
    }
}

// One row of each kind written and read back: the row's number, then every field after "，"; the
// RQX2 file begins with the file name's caption, the RQX5 files end with the date and the number.
TEST(MeasurementFileKinds, EachKindWritesItsLinesAndReadsThemBack)
{
    struct Case {
        K::Id kind;
        int fields;
        const char *head; // the text before the row's line
        const char *tail; // the text after it
    };
    const Case cases[] = {
        {K::Rqx2Measurements, 21, "文件名： F0001\r\n", ""},
        {K::Rqx5DataFile, 20, "", "141225\r\n123456789\r\n"},
        {K::Rqx5Measurements, 9, "", "141225\r\n123456789\r\n"},
    };
    MeasurementFileHeading heading;
    heading.nameCaption = QStringLiteral("文件名： F0001");
    heading.date = QStringLiteral("141225");
    heading.instrumentNumber = QStringLiteral("123456789");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fields);
        QStringList row{QStringLiteral("1")};
        for (int field = 1; field <= c.fields; ++field)
            row << QStringLiteral(" f%1,").arg(field);
        MeasurementTableModel list;
        list.setColumns(std::vector<MeasurementColumn>(size_t(c.fields) + 1));
        list.append(row);

        const MeasurementFileKind &kind = MeasurementFileKinds::of(c.kind);
        const QString text = kind.build(list, heading);
        EXPECT_EQ(text, QString::fromUtf8(c.head) + row.join(u'\uFF0C') + "\r\n" + QString::fromUtf8(c.tail));

        const MeasurementFileContent read = kind.read(EncodeFile(text + "\r\n"));
        EXPECT_EQ(read.rows, std::vector<QStringList>{row});
        EXPECT_EQ(read.skippedLines, 0);
        const bool rqx5 = c.kind != K::Rqx2Measurements;
        EXPECT_EQ(read.heading.date, rqx5 ? heading.date : QString());
        EXPECT_EQ(read.heading.instrumentNumber, rqx5 ? heading.instrumentNumber : QString());
    }
}

} // namespace
