#include "Rqx5MeasurementFiles.h"

#include "CommonDialog.h"
#include "CoordinateFileCommands.h"
#include "Form4.h"
#include "MessagePresenter.h"
#include "formats/FileText.h"
#include "formats/Rqx5MeasurementFile.h"
#include "rqx5/Rqx5MeasurementColumns.h"

const QString Rqx5MeasurementFiles::kDataFileFilter = QStringLiteral("测量文件(*.raw)|*.raw");
const QString Rqx5MeasurementFiles::kMeasurementFileFilter = QStringLiteral("文本文档(*.txt)|*.txt");

// A data-file trailer line may hold one separator; in a measurement file a line without any is one.
const Rqx5MeasurementFiles::Kind Rqx5MeasurementFiles::kDataFile = {
    kDataFileFilter, Form4::kDataFileLayout, Rqx5MeasurementColumns::kDataFileSubitems, 1, true};
const Rqx5MeasurementFiles::Kind Rqx5MeasurementFiles::kMeasurementFile = {
    kMeasurementFileFilter, Form4::kMeasurementLayout, Rqx5MeasurementColumns::kMeasurementSubitems, 0,
    false};

Rqx5MeasurementFiles::Rqx5MeasurementFiles(Form4 &window, CommonDialog &dialog, MessagePresenter &messages,
                                           std::function<bool()> nez)
    : m_window(window), m_dialog(dialog), m_messages(messages), m_nez(std::move(nez))
{
}

void Rqx5MeasurementFiles::SaveRqx5DataFile()
{
    save(kDataFile);
}

void Rqx5MeasurementFiles::SaveRqx5MeasurementFile()
{
    save(kMeasurementFile);
}

void Rqx5MeasurementFiles::OpenRqx5DataFile()
{
    open(kDataFile);
}

void Rqx5MeasurementFiles::OpenRqx5MeasurementFile()
{
    open(kMeasurementFile);
}

void Rqx5MeasurementFiles::save(const Kind &kind)
{
    m_window.setFileText(QString());
    m_dialog.Filter = kind.filter;
    m_dialog.FileName.clear();
    m_dialog.FilterIndex = 1;
    // A name typed without an extension gets the kind's; the dialog asks before the file is replaced.
    if (!m_dialog.ShowSave(&m_window, FileDialogRequest::Extension::WhenMissing))
        return;
    const QString path = m_dialog.FileName;

    QString text =
        BuildRqx5MeasurementText(m_window.list(), kind.fields, m_window.date(), m_window.instrumentNumber());
    m_window.setFileText(text);
    // The file ends with one more line end: an empty last line.
    text += QStringLiteral("\r\n");
    QString reason;
    if (!WriteFileAtomically(path, EncodeFile(text), &reason))
        error(path, reason);
}

bool Rqx5MeasurementFiles::mayReplaceRowsOfOtherKind(const QString &layout)
{
    const int rows = m_window.list().count();
    const QString holds = m_window.listLayout();
    if (rows == 0 || holds.isEmpty() || holds == layout)
        return true;
    return m_messages.askYesNo(&m_window, QStringLiteral("提示"),
                               QStringLiteral("列表中的 %1 条记录将被清除，是否继续？").arg(rows));
}

void Rqx5MeasurementFiles::open(const Kind &kind)
{
    // Asked before the dialog: the answer 否 opens nothing.
    if (!mayReplaceRowsOfOtherKind(kind.layout))
        return;
    m_dialog.Filter = kind.filter;
    m_dialog.FilterIndex = 1;
    // The name is left as the last file command left it. A cancelled dialog keeps the list: opening
    // nothing must not throw away what was received.
    if (!m_dialog.ShowOpen(&m_window))
        return;
    const QString path = m_dialog.FileName;
    QByteArray bytes;
    QString reason;
    if (!ReadFileBytes(path, &bytes, &reason)) {
        error(path, reason);
        return;
    }
    Rqx5MeasurementFileContent content = ReadRqx5MeasurementFile(bytes, kind.fields, kind.trailerSeparators);
    bytes = QByteArray();

    m_window.setFileText(content.text);
    m_window.setFileName(path);
    // The date and the number are the file's own: those of an earlier job are not left standing.
    m_window.setDate(content.date);
    m_window.setInstrumentNumber(content.instrumentNumber);
    MeasurementTableModel &list = m_window.list();
    if (kind.dataFile)
        SetRqx5DataFileColumns(list, m_nez());
    else
        SetRqx5MeasurementColumns(list, m_nez());
    list.append(std::move(content.rows));
    m_window.setCount(QString::number(list.count()));
    if (content.skippedLines > 0) {
        m_messages.showMessage(
            &m_window, QStringLiteral("提示"),
            CoordinateFileCommands::skippedLinesNotice(content.skippedLines, content.firstSkippedLine));
    }
}

void Rqx5MeasurementFiles::error(const QString &path, const QString &reason)
{
    m_messages.showMessage(&m_window, QStringLiteral("错误提示"),
                           CoordinateFileCommands::fileError(path, reason));
}
