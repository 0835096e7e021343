#include "QFileDialogPresenter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// The patterns QFileDialog takes from a name filter: the last bracketed part, when it holds only
// pattern characters (the same test QFileDialog makes).
QString patternsShownIn(const QString &description)
{
    static const QRegularExpression shown(
        QStringLiteral("^(.*)\\(([a-zA-Z0-9_.,*? +;#\\-\\[\\]@\\{\\}/!<>\\$%&=^~:\\|]*)\\)$"));
    const QRegularExpressionMatch match = shown.match(description);
    return match.hasMatch() ? match.captured(2).simplified() : QString();
}

} // namespace

QStringList QFileDialogPresenter::nameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString &description = parts[i];
        // The lists end with "|", which leaves an empty last part.
        if (description.isEmpty() && i == parts.size() - 1)
            break;
        // Several patterns are separated by ";" in the list and by spaces in a name filter.
        QString patterns = i + 1 < parts.size() ? parts[i + 1] : QString();
        patterns = patterns.replace(u';', u' ').simplified();
        const QString shown = patternsShownIn(description);
        if (patterns.isEmpty())
            filters << (shown.isEmpty() ? description + QStringLiteral(" (*)") : description);
        else if (shown == patterns)
            filters << description;
        else
            filters << description + QStringLiteral(" (") + patterns + u')';
    }
    return filters;
}

FileDialogChoice QFileDialogPresenter::showFileDialog(QWidget *parent, const FileDialogRequest &request)
{
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setWindowTitle(save ? QStringLiteral("另存为") : QStringLiteral("打开"));
    dialog.setLabelText(QFileDialog::LookIn, save ? QStringLiteral("保存在:") : QStringLiteral("查找范围:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件名:"));
    dialog.setLabelText(QFileDialog::FileType,
                        save ? QStringLiteral("保存类型:") : QStringLiteral("文件类型:"));
    dialog.setLabelText(QFileDialog::Accept, save ? QStringLiteral("保存") : QStringLiteral("打开"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));

    const QStringList filters = nameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    if (!request.fileName.isEmpty()) {
        const QFileInfo offered(request.fileName);
        dialog.setDirectory(offered.absolutePath());
        dialog.selectFile(offered.fileName());
    }

    FileDialogChoice choice;
    choice.filterIndex = request.filterIndex;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return choice;
    choice.fileName = dialog.selectedFiles().constFirst();
    const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0)
        choice.filterIndex = static_cast<int>(chosen) + 1;
    return choice;
}
