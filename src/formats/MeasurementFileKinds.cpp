#include "MeasurementFileKinds.h"

#include "FileText.h"
#include "Rqx2MeasurementFile.h"
#include "Rqx5MeasurementFile.h"

#include <QFileInfo>

namespace {

QString buildRqx2(const MeasurementTableModel &list, const MeasurementFileHeading &heading)
{
    return Rqx2MeasurementFile::build(heading.nameCaption, list);
}

MeasurementFileContent readRqx2(const QByteArray &bytes)
{
    Rqx2MeasurementFile::Content read = Rqx2MeasurementFile::read(DecodeFileText(bytes));
    MeasurementFileContent content;
    content.rows = std::move(read.rows);
    content.skippedLines = read.skippedLines;
    content.firstSkippedLine = read.firstSkippedLine;
    return content;
}

template <int fields>
QString buildRqx5(const MeasurementTableModel &list, const MeasurementFileHeading &heading)
{
    return BuildRqx5MeasurementText(list, fields, heading.date, heading.instrumentNumber);
}

template <int fields, int trailerSeparators> MeasurementFileContent readRqx5(const QByteArray &bytes)
{
    Rqx5MeasurementFileContent read = ReadRqx5MeasurementFile(bytes, fields, trailerSeparators);
    MeasurementFileContent content;
    content.rows = std::move(read.rows);
    content.heading.date = std::move(read.date);
    content.heading.instrumentNumber = std::move(read.instrumentNumber);
    content.skippedLines = read.skippedLines;
    content.firstSkippedLine = read.firstSkippedLine;
    return content;
}

using K = MeasurementFileKind;

// The RQX2 file's entries name no pattern of their own, and its save adds ".txt" to every name that
// does not end in it; the other kinds' entries name theirs, and a name typed without an extension
// gets the kind's.
// clang-format off
const MeasurementFileKind kRows[] = {
//   kind                 open label           save label                 ext      pattern naming
    {K::Rqx2Measurements, u"文本文件(*.txt)",  u"文本文档(*.txt)",        u"txt",  false,  K::ExtensionAlways,
     buildRqx2, readRqx2},
    {K::Rqx5DataFile,     u"测量文件(*.raw)",  u"测量文件(*.raw)",        u"raw",  true,   K::ExtensionWhenMissing,
     buildRqx5<kRqx5DataFileFields>,
     readRqx5<kRqx5DataFileFields, kRqx5DataFileTrailerSeparators>},
    {K::Rqx5Measurements, u"文本文档(*.txt)",  u"文本文档(*.txt)",        u"txt",  true,   K::ExtensionWhenMissing,
     buildRqx5<kRqx5MeasurementFileFields>,
     readRqx5<kRqx5MeasurementFileFields, kRqx5MeasurementFileTrailerSeparators>},
    {K::CsvTable,         {},                  u"CSV(逗号分隔)(*.csv)",   u"csv",  true,   K::ExtensionWhenMissing},
    {K::XlsxTable,        {},                  u"Excel 工作簿(*.xlsx)",   u"xlsx", true,   K::ExtensionWhenMissing},
};
// clang-format on

QString filterOf(QStringView MeasurementFileKind::*label, std::initializer_list<K::Id> kinds)
{
    QString filter;
    for (const K::Id id : kinds) {
        const MeasurementFileKind &kind = MeasurementFileKinds::of(id);
        if (!filter.isEmpty())
            filter.append(u'|');
        filter.append(kind.*label);
        if (kind.listsPattern)
            filter.append(u"|*.").append(kind.extension);
    }
    return filter;
}

} // namespace

const MeasurementFileKind &MeasurementFileKinds::of(Id id)
{
    for (const MeasurementFileKind &row : kRows) {
        if (row.id == id)
            return row;
    }
    // Every Id has its row; the table test holds them all.
    return kRows[0];
}

QString MeasurementFileKinds::openFilter(std::initializer_list<Id> kinds)
{
    return filterOf(&MeasurementFileKind::openLabel, kinds);
}

QString MeasurementFileKinds::saveFilter(std::initializer_list<Id> kinds)
{
    return filterOf(&MeasurementFileKind::saveLabel, kinds);
}

const MeasurementFileKind &MeasurementFileKinds::saved(std::initializer_list<Id> kinds, const QString &path,
                                                       int filterIndex)
{
    const QString suffix = QFileInfo(path).suffix();
    for (const Id id : kinds) {
        if (of(id).extension.compare(suffix, Qt::CaseInsensitive) == 0)
            return of(id);
    }
    if (filterIndex >= 1 && filterIndex <= static_cast<int>(kinds.size()))
        return of(kinds.begin()[filterIndex - 1]);
    return of(*kinds.begin());
}
