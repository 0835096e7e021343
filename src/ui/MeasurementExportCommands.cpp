#include "MeasurementExportCommands.h"

#include "CommonDialog.h"
#include "CoordinateFileCommands.h"
#include "MessagePresenter.h"
#include "core/CoordinateTableModel.h"
#include "core/MeasurementTableModel.h"
#include "formats/CoordinateFormats.h"
#include "formats/CoordinateFileWriter.h"
#include "formats/FileText.h"
#include "formats/MeasuredPoints.h"
#include "formats/MeasurementCsv.h"
#include "formats/MeasurementXlsx.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QTableView>

const QString MeasurementExportCommands::kTableFilter =
    QStringLiteral("CSV(逗号分隔)(*.csv)|*.csv|Excel 工作簿(*.xlsx)|*.xlsx");

namespace {
const QString kErrorTitle = QStringLiteral("错误提示");
const QString kNoticeTitle = QStringLiteral("提示");
const QString kNoPoints = QStringLiteral("列表中没有带坐标的测量点，未导出文件。");
const QString kNoRows = QStringLiteral("列表中没有数据，未导出文件。");
// The extensions of the table's types, by their position in its filter.
const QStringList kTableExtensions = {QStringLiteral("csv"), QStringLiteral("xlsx")};
enum TableType { CsvTable = 1, XlsxTable = 2 };

// The type a table is saved as: the one its name's extension names, else the one chosen in the dialog.
int tableType(const QString &path, int filterIndex)
{
    const qsizetype named = kTableExtensions.indexOf(QFileInfo(path).suffix().toLower());
    if (named >= 0)
        return static_cast<int>(named) + 1;
    return filterIndex == XlsxTable ? XlsxTable : CsvTable;
}
} // namespace

MeasurementExportCommands::MeasurementExportCommands(QWidget *window, QTableView *view,
                                                     MeasurementTableModel &list, CommonDialog &dialog,
                                                     MessagePresenter &messages)
    : m_window(window), m_view(view), m_list(list), m_dialog(dialog), m_messages(messages)
{
}

void MeasurementExportCommands::ExportCoordinates()
{
    // Asked before the dialog: a name chosen for nothing would be wasted.
    std::vector<CoordinatePoint> points = MeasuredPoints::of(m_list);
    if (points.empty()) {
        notice(kNoPoints);
        return;
    }
    m_dialog.Filter = CoordinateFileCommands::kSaveFilter;
    m_dialog.FileName.clear();
    m_dialog.FilterIndex = 1;
    if (!m_dialog.ShowSave(m_window))
        return;
    // The table the main window would hold for these points, so the file is the one its save writes;
    // the name is used as chosen, as there.
    const int format = CoordinateFormats::saved(m_dialog.FilterIndex).number;
    CoordinateTableModel table;
    table.buildColumns(true);
    table.append(points);
    points = {};
    const QString path = m_dialog.FileName;
    QString reason;
    if (!WriteFileAtomically(
            path, [&](QIODevice &file) { return WriteCoordinateFile(table, format, true, file); }, &reason))
        m_messages.showMessage(m_window, kErrorTitle, CoordinateFileCommands::fileError(path, reason));
}

void MeasurementExportCommands::ExportTable()
{
    const std::vector<int> columns = shownColumns();
    if (m_list.count() == 0 || columns.empty()) {
        notice(kNoRows);
        return;
    }
    m_dialog.Filter = kTableFilter;
    m_dialog.FileName.clear();
    m_dialog.FilterIndex = CsvTable;
    // A name typed without an extension gets the chosen type's, and the dialog asks about that file.
    if (!m_dialog.ShowSave(m_window, FileDialogRequest::Extension::WhenMissing))
        return;
    const QString path = m_dialog.FileName;
    const int type = tableType(path, m_dialog.FilterIndex);
    QString reason;
    const bool written =
        type == XlsxTable
            ? MeasurementXlsx::write(path, m_list, columns, &reason)
            : WriteFileAtomically(path, EncodeFile(MeasurementCsv::build(m_list, columns)), &reason);
    if (!written)
        m_messages.showMessage(m_window, kErrorTitle, CoordinateFileCommands::fileError(path, reason));
}

std::vector<int> MeasurementExportCommands::shownColumns() const
{
    const QHeaderView *header = m_view->horizontalHeader();
    std::vector<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical))
            columns.push_back(logical);
    }
    return columns;
}

void MeasurementExportCommands::notice(const QString &text)
{
    m_messages.showMessage(m_window, kNoticeTitle, text);
}
