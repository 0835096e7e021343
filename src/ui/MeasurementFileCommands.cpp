#include "MeasurementFileCommands.h"

#include "CommonDialog.h"
#include "CoordinateFileCommands.h"
#include "MessagePresenter.h"
#include "core/MessageTitles.h"
#include "formats/FileText.h"
#include "formats/MeasurementFileKinds.h"

namespace {
const QString kLineEnd = QStringLiteral("\r\n");

FileDialogRequest::Extension extensionRule(MeasurementFileKind::Naming naming)
{
    return naming == MeasurementFileKind::ExtensionAlways ? FileDialogRequest::Extension::Always
                                                          : FileDialogRequest::Extension::WhenMissing;
}
} // namespace

MeasurementFileCommands::MeasurementFileCommands(CommonDialog &dialog, MessagePresenter &messages)
    : m_dialog(dialog), m_messages(messages)
{
}

void MeasurementFileCommands::save(QWidget *window, Id kind, const MeasurementTableModel &list,
                                   const MeasurementFileHeading &heading)
{
    save(window, {kind}, [&](const MeasurementFileKind &chosen, const QString &path, QString *reason) {
        // The file ends with one more line end: an empty last line.
        QString text = chosen.build(list, heading);
        text += kLineEnd;
        return WriteFileAtomically(path, EncodeFile(text), reason);
    });
}

void MeasurementFileCommands::save(QWidget *window, std::initializer_list<Id> kinds, const Writer &write)
{
    m_dialog.Filter = MeasurementFileKinds::saveFilter(kinds);
    m_dialog.FileName.clear();
    m_dialog.FilterIndex = 1;
    // The dialog asks before the file the name becomes, extension and all, is replaced.
    if (!m_dialog.ShowSave(window, extensionRule(MeasurementFileKinds::of(*kinds.begin()).naming)))
        return;
    const QString path = m_dialog.FileName;
    QString reason;
    if (!write(MeasurementFileKinds::saved(kinds, path, m_dialog.FilterIndex), path, &reason))
        reportFileError(window, path, reason);
}

void MeasurementFileCommands::open(QWidget *window, Id kind, const Filler &fill)
{
    const MeasurementFileKind &row = MeasurementFileKinds::of(kind);
    m_dialog.Filter = MeasurementFileKinds::openFilter({kind});
    m_dialog.FilterIndex = 1;
    // A cancelled dialog, or a file that cannot be read, leaves the list as it was: opening nothing
    // must not throw away what was received.
    if (!m_dialog.ShowOpen(window))
        return;
    const QString path = m_dialog.FileName;
    QByteArray bytes;
    QString reason;
    if (!ReadFileBytes(path, &bytes, &reason)) {
        reportFileError(window, path, reason);
        return;
    }
    MeasurementFileContent content = row.read(bytes);
    bytes = QByteArray();
    const int skippedLines = content.skippedLines;
    const int firstSkippedLine = content.firstSkippedLine;
    fill(std::move(content), path);
    if (skippedLines > 0) {
        m_messages.showMessage(window, MessageTitles::kNotice,
                               CoordinateFileCommands::skippedLinesNotice(skippedLines, firstSkippedLine));
    }
}

void MeasurementFileCommands::reportFileError(QWidget *window, const QString &path, const QString &reason)
{
    m_messages.showMessage(window, MessageTitles::kError, CoordinateFileCommands::fileError(path, reason));
}
