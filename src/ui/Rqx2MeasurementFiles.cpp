#include "Rqx2MeasurementFiles.h"

#include "CommonDialog.h"
#include "CoordinateFileCommands.h"
#include "Form7.h"
#include "MessagePresenter.h"
#include "formats/FileText.h"
#include "formats/Rqx2MeasurementFile.h"

namespace {
// The whole filter texts of the two dialogs; each names its pattern, which the dialog shows.
const QString kSaveFilter = QStringLiteral("文本文档(*.txt)");
const QString kOpenFilter = QStringLiteral("文本文件(*.txt)");
const QString kLineEnd = QStringLiteral("\r\n");
} // namespace

Rqx2MeasurementFiles::Rqx2MeasurementFiles(Form7 &window, CommonDialog &dialog, MessagePresenter &messages,
                                           std::function<bool()> nez)
    : m_window(window), m_dialog(dialog), m_messages(messages), m_nez(std::move(nez))
{
}

void Rqx2MeasurementFiles::SaveRqx2MeasurementFile()
{
    m_dialog.Filter = kSaveFilter;
    m_dialog.FileName.clear();
    m_dialog.FilterIndex = 1;
    // ".txt" follows every name that does not end in it ("job.raw" is job.raw.txt); the dialog asks
    // before that file is replaced.
    if (!m_dialog.ShowSave(&m_window, FileDialogRequest::Extension::Always))
        return;
    const QString path = m_dialog.FileName;
    // The file ends with one more line end, appended in place.
    QString text = Rqx2MeasurementFile::build(m_window.fileNameText(), m_window.list());
    text += kLineEnd;
    QString reason;
    if (!WriteFileAtomically(path, EncodeFile(text), &reason))
        error(path, reason);
}

void Rqx2MeasurementFiles::OpenRqx2MeasurementFile()
{
    m_dialog.Filter = kOpenFilter;
    m_dialog.FilterIndex = 1;
    // A cancelled dialog, or a file that cannot be read, leaves the list as it was.
    if (!m_dialog.ShowOpen(&m_window))
        return;
    const QString path = m_dialog.FileName;
    QByteArray bytes;
    QString reason;
    if (!ReadFileBytes(path, &bytes, &reason)) {
        error(path, reason);
        return;
    }
    Rqx2MeasurementFile::Content content = Rqx2MeasurementFile::read(DecodeFileText(bytes));
    bytes = QByteArray();

    // The file name and the record count stay as the last receive left them.
    m_window.SetupRqx2MeasurementList(m_nez());
    m_window.list().append(std::move(content.rows));
    m_window.setProgress(QString());
    if (content.skippedLines > 0) {
        m_messages.showMessage(
            &m_window, QStringLiteral("提示"),
            CoordinateFileCommands::skippedLinesNotice(content.skippedLines, content.firstSkippedLine));
    }
}

void Rqx2MeasurementFiles::error(const QString &path, const QString &reason)
{
    m_messages.showMessage(&m_window, QStringLiteral("错误提示"),
                           CoordinateFileCommands::fileError(path, reason));
}
