#include "QFileDialogPresenter.h"

#include "ProgramFileDialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QRegularExpression>

#include <memory>

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

// "*.*" stands for every file, as on the systems the lists were written for; Qt's own dialog would
// show only names with a dot. True when the chosen filter has it.
bool showEveryFileForStarDotStar(QFileDialog &dialog)
{
    QStringList patterns = patternsShownIn(dialog.selectedNameFilter()).split(u' ', Qt::SkipEmptyParts);
    if (!patterns.contains(QStringLiteral("*.*")))
        return false;
    for (QString &pattern : patterns) {
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    }
    if (auto *files = dialog.findChild<QFileSystemModel *>())
        files->setNameFilters(patterns);
    return true;
}

// Choosing an entry makes the dialog take its patterns, and in a save turn the typed name's extension
// into the pattern's: under "*.*" "a.hyl" would become "a.*". The name as typed is kept before the
// dialog acts, and every file shown and the name put back after it.
void keepStarDotStarForEveryFile(QFileDialog &dialog)
{
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (!types || !name)
        return;
    auto typed = std::make_shared<QString>();
    QObject::connect(types, &QComboBox::currentIndexChanged, &dialog,
                     [typed, name] { *typed = name->text(); });
    QObject::connect(
        types, &QComboBox::currentIndexChanged, &dialog,
        [&dialog, typed, name] {
            if (showEveryFileForStarDotStar(dialog))
                name->setText(*typed);
        },
        Qt::QueuedConnection);
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
    ProgramFileDialog dialog(request, parent);
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
    showEveryFileForStarDotStar(dialog);
    keepStarDotStarForEveryFile(dialog);
    if (!request.folder.isEmpty())
        dialog.setDirectory(request.folder);
    if (!request.fileName.isEmpty())
        dialog.selectFile(QFileInfo(request.fileName).fileName());
    dialog.followChosenType();

    FileDialogChoice choice;
    choice.filterIndex = request.filterIndex;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return choice;
    choice.fileName = dialog.savedFile();
    if (dialog.chosenIndex() > 0)
        choice.filterIndex = dialog.chosenIndex();
    return choice;
}
