#include "CoordinateFileCommands.h"

#include "CommonDialog.h"
#include "Form1.h"
#include "MessagePresenter.h"
#include "core/AppState.h"
#include "core/CoordinateTableModel.h"
#include "formats/CoordinateFileFormat.h"
#include "formats/CoordinateFileReader.h"
#include "formats/CoordinateFileWriter.h"
#include "formats/DxfDrawing.h"
#include "formats/FileText.h"

#include <QSaveFile>

// The open and save lists hold the same nine formats in the same order, so the chosen position is
// the format in both; only the open list calls the drawing "CAD格式(ENZ)".
const QString CoordinateFileCommands::kOpenFilter = QStringLiteral("HYL格式(NEZ)(*.hyl)|*.hyl|"
                                                                   "HYL格式(ENZ)(*.hyl)|*.hyl|"
                                                                   "CAD格式(ENZ)(*.dxf)|*.dxf|"
                                                                   "南方开思(*.dat)|*.dat|"
                                                                   "广州开思(*.dat)|*.dat|"
                                                                   "SV300格式(*.svf)|*.svf|"
                                                                   "拓普康格式(*.pts)|*.pts|"
                                                                   "文本文档(*.txt)|*.txt|"
                                                                   "CSV(逗号分隔)(*.csv)|*.csv|");
const QString CoordinateFileCommands::kSaveFilter = QStringLiteral("HYL格式(NEZ)(*.hyl)|*.hyl|"
                                                                   "HYL格式(ENZ)(*.hyl)|*.hyl|"
                                                                   "CAD格式(*.dxf)|*.dxf|"
                                                                   "南方开思(*.dat)|*.dat|"
                                                                   "广州开思(*.dat)|*.dat|"
                                                                   "SV300格式(*.svf)|*.svf|"
                                                                   "拓普康格式(*.pts)|*.pts|"
                                                                   "文本文档(*.txt)|*.txt|"
                                                                   "CSV(逗号分隔)(*.csv)|*.csv|");
// Seven entries that all write the same text; the last has no pattern of its own.
const QString CoordinateFileCommands::kOlderSaveFilter = QStringLiteral("HYL格式(*.hyl)|*.hyl|"
                                                                        "拓普康格式(*.pts)|*.pts|"
                                                                        "SV300格式(*.svf)|*.svf|"
                                                                        "广州开思(*.dat)|*.dat|"
                                                                        "南方开思(*.dat)|*.dat|"
                                                                        "文本文档(*.txt)|*.txt|"
                                                                        "所有文件(*.*)");

namespace {
const QString kErrorTitle = QStringLiteral("错误提示");
const QString kNoticeTitle = QStringLiteral("提示");
const QString kLineEnd = QStringLiteral("\r\n");

// The same words as every other file that cannot be written.
QString withReason(const QString &what, const QString &systemReason)
{
    return systemReason.isEmpty() ? what : what + QStringLiteral("：") + systemReason;
}
} // namespace

CoordinateFileCommands::CoordinateFileCommands(AppState &state, CoordinateTableModel &table, Form1 &window,
                                               CommonDialog &dialog, MessagePresenter &messages)
    : m_state(state), m_table(table), m_window(window), m_dialog(dialog), m_messages(messages)
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

int CoordinateFileCommands::chosenFormat() const
{
    return isCoordinateFileFormat(m_dialog.FilterIndex) ? m_dialog.FilterIndex : HylNez;
}

bool CoordinateFileCommands::tableIsNez() const
{
    return m_table.hasColumns() ? m_table.columnsNez() : m_state.nez();
}

void CoordinateFileCommands::Open()
{
    // The file name is left as the last command left it, so the dialog offers the last file.
    m_dialog.Filter = kOpenFilter;
    m_dialog.FilterIndex = 1;
    // A cancelled dialog leaves the table as it was.
    if (!m_dialog.ShowOpen(&m_window))
        return;
    const QString path = m_dialog.FileName;
    const int format = chosenFormat();

    QByteArray bytes;
    QString reason;
    if (!ReadFileBytes(path, &bytes, &reason)) {
        error(path, reason);
        return;
    }
    const CoordinateFileContent content = ReadCoordinateFile(bytes, format, m_state.nez());
    bytes = QByteArray();

    m_window.setFileName(path);
    content.replaceTable(m_table);
    if (content.rawLines()) {
        m_table.showAsPlainList();
        m_window.setProgress(QString());
    } else {
        m_window.setProgress(QString::number(m_table.count()));
    }
    if (content.skippedLines() > 0) {
        m_messages.showMessage(&m_window, kNoticeTitle,
                               skippedLinesNotice(content.skippedLines(), content.firstSkippedLine()));
    }
}

void CoordinateFileCommands::Save()
{
    m_dialog.Filter = kSaveFilter;
    m_dialog.FileName.clear();
    m_dialog.FilterIndex = 1;
    if (!m_dialog.ShowSave(&m_window))
        return;
    // The name is used as chosen: no extension is added.
    const int format = chosenFormat();
    if (format == CadDrawing)
        saveDrawing(m_dialog.FileName);
    else
        write(m_dialog.FileName, BuildCoordinateText(m_table, format, tableIsNez()));
}

void CoordinateFileCommands::OlderSave()
{
    // The dialog offers the file last opened; cancelling it writes nothing all the same.
    m_dialog.Filter = kOlderSaveFilter;
    m_dialog.FileName = m_window.fileName();
    m_dialog.FilterIndex = 1;
    if (!m_dialog.ShowSave(&m_window))
        return;
    // Every entry of the list writes the same text, in the order the table shows.
    write(m_dialog.FileName, BuildTableOrderText(m_table));
}

void CoordinateFileCommands::write(const QString &path, QString text)
{
    // Every file ends with one more line end, an empty line after the last row. Appended in place:
    // the text of a large table is not copied once more for it.
    text += kLineEnd;
    QString reason;
    if (!WriteFileAtomically(path, EncodeFileText(text), &reason))
        error(path, reason);
}

void CoordinateFileCommands::saveDrawing(const QString &path)
{
    // Written piece by piece: a million-point drawing is some 280 MB, and as one text twice that.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error(path, withReason(QStringLiteral("文件无法创建"), file.errorString()));
        return;
    }
    if (!WriteDxfDrawingFile(m_table, tableIsNez(), file)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        error(path, withReason(QStringLiteral("文件无法写入"), reason));
        return;
    }
    if (!file.commit())
        error(path, withReason(QStringLiteral("文件无法保存"), file.errorString()));
}

void CoordinateFileCommands::error(const QString &path, const QString &reason)
{
    m_messages.showMessage(&m_window, kErrorTitle, fileError(path, reason));
}
