#include "CommonDialog.h"

#include "FileDialogPresenter.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

// The program's settings: ~/.config/rqxcomm/rqxcomm.conf on Linux.
constexpr char kSettingsName[] = "rqxcomm";
constexpr char kFolderKey[] = "FileDialogs/LastFolder";

bool isFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

bool CommonDialog::ShowOpen(QWidget *parent)
{
    return show(parent, false);
}

bool CommonDialog::ShowSave(QWidget *parent, const QStringList &defaultSuffixes)
{
    return show(parent, true, defaultSuffixes);
}

QString CommonDialog::lastFolder()
{
    const QSettings settings{QLatin1String(kSettingsName), QLatin1String(kSettingsName)};
    // A folder since removed (a card taken out, a stick unplugged) is passed over.
    const QString remembered = settings.value(QLatin1String(kFolderKey)).toString();
    if (isFolder(remembered))
        return remembered;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (isFolder(documents))
        return documents;
    return QDir::homePath();
}

bool CommonDialog::show(QWidget *parent, bool save, const QStringList &defaultSuffixes)
{
    FileDialogRequest request;
    request.mode = save ? FileDialogRequest::Mode::Save : FileDialogRequest::Mode::Open;
    request.filter = Filter;
    request.filterIndex = FilterIndex;
    request.fileName = FileName;
    request.defaultSuffixes = defaultSuffixes;
    const QFileInfo offered(FileName);
    request.folder =
        offered.isAbsolute() && isFolder(offered.absolutePath()) ? offered.absolutePath() : lastFolder();
    const FileDialogChoice choice = m_presenter.showFileDialog(parent, request);
    FilterIndex = choice.filterIndex;
    FileName.clear();
    if (choice.fileName.isEmpty())
        return false;
    // A name without a folder belongs in the folder the dialog was showing, never in the folder the
    // program happened to be started from.
    FileName = QDir::cleanPath(QDir(request.folder).absoluteFilePath(choice.fileName));
    QSettings settings{QLatin1String(kSettingsName), QLatin1String(kSettingsName)};
    settings.setValue(QLatin1String(kFolderKey), QFileInfo(FileName).absolutePath());
    return true;
}
