#include "MeasurementExportCommands.h"

#include "CommonDialog.h"
#include "CoordinateFileCommands.h"
#include "MessagePresenter.h"
#include "core/CoordinateTableModel.h"
#include "core/MeasurementTableModel.h"
#include "core/MessageTitles.h"
#include "formats/CoordinateFileWriter.h"
#include "formats/CoordinateFormats.h"
#include "formats/FileText.h"
#include "formats/MeasuredPoints.h"
#include "formats/MeasurementCsv.h"
#include "formats/MeasurementFileKinds.h"
#include "formats/MeasurementXlsx.h"

#include <QHeaderView>
#include <QTableView>

namespace {
const QString kNoPoints = QStringLiteral("列表中没有带坐标的测量点，未导出文件。");
const QString kNoRows = QStringLiteral("列表中没有数据，未导出文件。");
} // namespace

MeasurementExportCommands::MeasurementExportCommands(QWidget *window, QTableView *view,
                                                     MeasurementTableModel &list, CommonDialog &dialog,
                                                     MessagePresenter &messages)
    : m_window(window), m_view(view), m_list(list), m_dialog(dialog), m_messages(messages),
      m_files(dialog, messages)
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
        m_files.reportFileError(m_window, path, reason);
}

void MeasurementExportCommands::ExportTable()
{
    const std::vector<int> columns = shownColumns();
    if (m_list.count() == 0 || columns.empty()) {
        notice(kNoRows);
        return;
    }
    // A name typed without an extension gets the chosen type's, and the dialog asks about that file.
    m_files.save(m_window, {MeasurementFileKind::CsvTable, MeasurementFileKind::XlsxTable},
                 [&](const MeasurementFileKind &kind, const QString &path, QString *reason) {
                     if (kind.id == MeasurementFileKind::XlsxTable)
                         return MeasurementXlsx::write(path, m_list, columns, reason);
                     return WriteFileAtomically(path, EncodeFile(MeasurementCsv::build(m_list, columns)),
                                                reason);
                 });
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
    m_messages.showMessage(m_window, MessageTitles::kNotice, text);
}
