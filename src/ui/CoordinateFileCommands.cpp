#include "CoordinateFileCommands.h"

#include "CommonDialog.h"
#include "Form1.h"
#include "MessagePresenter.h"
#include "core/CoordinateTableModel.h"
#include "core/MessageTitles.h"
#include "formats/CoordinateFileReader.h"
#include "formats/CoordinateFileWriter.h"
#include "formats/CoordinateFormats.h"
#include "formats/DrawingImport.h"
#include "formats/FileText.h"

const QString CoordinateFileCommands::kSaveFilter = CoordinateFormats::saveFilter();
// Seven entries that all write the same text; the last has no pattern of its own.
const QString CoordinateFileCommands::kOlderSaveFilter = QStringLiteral("HYL格式(*.hyl)|*.hyl|"
                                                                        "拓普康格式(*.pts)|*.pts|"
                                                                        "SV300格式(*.svf)|*.svf|"
                                                                        "广州开思(*.dat)|*.dat|"
                                                                        "南方开思(*.dat)|*.dat|"
                                                                        "文本文档(*.txt)|*.txt|"
                                                                        "所有文件(*.*)");
const QString CoordinateFileCommands::kDrawingFilter = QStringLiteral("CAD图形(*.dxf)|*.dxf|");

namespace {
// The lines of a text file or a drawing have no fields to put into another format.
const QString kRawLinesOnlyAsText =
    QStringLiteral("列表中是打开的文件的原样文本行，不是分好点号和坐标的数据，只能用“文件”菜单的“保存”"
                   "存为“文本文档(*.txt)”格式。文件未保存。");
} // namespace

CoordinateFileCommands::CoordinateFileCommands(CoordinateTableModel &table, Form1 &window,
                                               CommonDialog &dialog, MessagePresenter &messages,
                                               std::function<bool()> nez)
    : m_table(table), m_window(window), m_dialog(dialog), m_messages(messages), m_nez(std::move(nez))
{
}

QString CoordinateFileCommands::skippedLinesNotice(int skipped, int firstSkippedLine)
{
    return QStringLiteral("有%1行数据的字段不全，未读入；第一处是文件的第%2行。")
        .arg(skipped)
        .arg(firstSkippedLine);
}

QString CoordinateFileCommands::fileError(const QString &path, const QString &reason)
{
    return path + u'\n' + reason;
}

bool CoordinateFileCommands::tableIsNez() const
{
    return m_table.hasColumns() ? m_table.columnsNez() : m_nez();
}

void CoordinateFileCommands::Open()
{
    // The file name is left as the last command left it, so the dialog offers the last file.
    m_dialog.Filter = CoordinateFormats::openFilter();
    m_dialog.FilterIndex = 1;
    // A cancelled dialog leaves the table as it was.
    if (!m_dialog.ShowOpen(&m_window))
        return;
    const QString path = m_dialog.FileName;
    const CoordinateFormat &format = CoordinateFormats::opened(m_dialog.FilterIndex);

    QByteArray bytes;
    QString reason;
    if (!ReadFileBytes(path, &bytes, &reason)) {
        error(path, reason);
        return;
    }
    CoordinateFileContent content = ReadCoordinateFile(std::move(bytes), format.number, m_nez());

    m_window.setFileName(path);
    const bool rawLines = content.rawLines();
    const int skippedLines = content.skippedLines();
    const int firstSkippedLine = content.firstSkippedLine();
    std::move(content).replaceTable(m_table);
    if (rawLines) {
        m_table.showAsPlainList();
        m_window.setProgress(QString());
    } else {
        m_window.setProgress(QString::number(m_table.count()));
    }
    if (skippedLines > 0) {
        m_messages.showMessage(&m_window, MessageTitles::kNotice,
                               skippedLinesNotice(skippedLines, firstSkippedLine));
    }
}

void CoordinateFileCommands::ImportDrawingPoints()
{
    m_dialog.Filter = kDrawingFilter;
    m_dialog.FilterIndex = 1;
    if (!m_dialog.ShowOpen(&m_window))
        return;
    const QString path = m_dialog.FileName;
    QByteArray bytes;
    QString reason;
    if (!ReadFileBytes(path, &bytes, &reason)) {
        error(path, reason);
        return;
    }
    const bool nez = m_nez();
    DrawingImport drawing = DrawingImport::read(bytes, nez);
    bytes.clear();
    if (drawing.problem() != DrawingImport::Problem::None) {
        m_messages.showMessage(&m_window,
                               drawing.problemIsError() ? MessageTitles::kError : MessageTitles::kNotice,
                               fileError(path, drawing.problemText()));
        return;
    }
    m_window.setFileName(path);
    m_table.buildColumns(nez);
    m_table.append(std::move(drawing.rows()));
    m_window.setProgress(QString::number(m_table.count()));
}

void CoordinateFileCommands::Save()
{
    m_dialog.Filter = kSaveFilter;
    m_dialog.FileName.clear();
    m_dialog.FilterIndex = 1;
    if (!m_dialog.ShowSave(&m_window))
        return;
    // The name is used as chosen: no extension is added.
    const CoordinateFormat &format = CoordinateFormats::saved(m_dialog.FilterIndex);
    if (m_table.isPlainList()) {
        if (format.number != PlainText) {
            m_messages.showMessage(&m_window, MessageTitles::kNotice, kRawLinesOnlyAsText);
            return;
        }
        saveFile(m_dialog.FileName, [&](QIODevice &file) { return WriteRawLinesFile(m_table, file); });
        return;
    }
    const bool nez = tableIsNez();
    saveFile(m_dialog.FileName,
             [&](QIODevice &file) { return WriteCoordinateFile(m_table, format.number, nez, file); });
}

void CoordinateFileCommands::OlderSave()
{
    // Every entry writes the fields in the table's order, which raw lines do not have.
    if (m_table.isPlainList()) {
        m_messages.showMessage(&m_window, MessageTitles::kNotice, kRawLinesOnlyAsText);
        return;
    }
    // The dialog offers the file last opened; cancelling it writes nothing all the same.
    m_dialog.Filter = kOlderSaveFilter;
    m_dialog.FileName = m_window.fileName();
    m_dialog.FilterIndex = 1;
    if (!m_dialog.ShowSave(&m_window))
        return;
    // Every entry of the list writes the same text, in the order the table shows.
    saveFile(m_dialog.FileName, [&](QIODevice &file) { return WriteTableOrderFile(m_table, file); });
}

void CoordinateFileCommands::saveFile(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    // Every file ends with one more line end, an empty line after the last row; the writers add it.
    QString reason;
    if (!WriteFileAtomically(path, write, &reason))
        error(path, reason);
}

void CoordinateFileCommands::error(const QString &path, const QString &reason)
{
    m_messages.showMessage(&m_window, MessageTitles::kError, fileError(path, reason));
}
