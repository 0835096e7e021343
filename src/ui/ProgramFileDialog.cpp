#include "ProgramFileDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QMessageBox>

ProgramFileDialog::ProgramFileDialog(const FileDialogRequest &request, QWidget *parent)
    : QFileDialog(parent), m_request(request)
{
}

void ProgramFileDialog::followChosenType()
{
    // The type list's own signal: filterSelected is not told when the type is chosen by the program.
    if (auto *types = findChild<QComboBox *>(QStringLiteral("fileTypeCombo")))
        connect(types, &QComboBox::currentIndexChanged, this, &ProgramFileDialog::takeDefaultSuffix);
    else
        connect(this, &QFileDialog::filterSelected, this, &ProgramFileDialog::takeDefaultSuffix);
    takeDefaultSuffix();
}

int ProgramFileDialog::chosenIndex() const
{
    return static_cast<int>(nameFilters().indexOf(selectedNameFilter())) + 1;
}

QString ProgramFileDialog::savedFile() const
{
    return m_request.savedName(selectedFiles().value(0), chosenIndex());
}

void ProgramFileDialog::takeDefaultSuffix()
{
    if (m_request.mode == FileDialogRequest::Mode::Save &&
        m_request.extension != FileDialogRequest::Extension::AsTyped)
        setDefaultSuffix(m_request.extensionOf(chosenIndex()));
}

void ProgramFileDialog::accept()
{
    // Qt's dialog asks about the name it knows, the typed one with the default suffix. A file the
    // request names otherwise is asked about here, in the dialog's own words, and Qt's question
    // about a file that is not written is left out.
    takeDefaultSuffix();
    const QString chosen = selectedFiles().value(0);
    const QString saved = savedFile();
    if (m_request.mode != FileDialogRequest::Mode::Save || saved == chosen || QFileInfo(chosen).isDir()) {
        QFileDialog::accept();
        return;
    }
    if (QFileInfo::exists(saved)) {
        const QString question =
            QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
                .arg(QFileInfo(saved).fileName());
        if (QMessageBox::warning(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) != QMessageBox::Yes)
            return;
    }
    const bool confirm = !testOption(DontConfirmOverwrite);
    setOption(DontConfirmOverwrite, true);
    QFileDialog::accept();
    setOption(DontConfirmOverwrite, !confirm);
}
