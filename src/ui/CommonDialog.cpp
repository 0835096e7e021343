#include "CommonDialog.h"

#include "FileDialogPresenter.h"

bool CommonDialog::ShowOpen(QWidget *parent)
{
    return show(parent, false);
}

bool CommonDialog::ShowSave(QWidget *parent)
{
    return show(parent, true);
}

bool CommonDialog::show(QWidget *parent, bool save)
{
    FileDialogRequest request;
    request.mode = save ? FileDialogRequest::Mode::Save : FileDialogRequest::Mode::Open;
    request.filter = Filter;
    request.filterIndex = FilterIndex;
    request.fileName = FileName;
    const FileDialogChoice choice = m_presenter.showFileDialog(parent, request);
    FileName = choice.fileName;
    FilterIndex = choice.filterIndex;
    return !FileName.isEmpty();
}
