#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What a file dialog is asked: open or save, the filter list in its "description|pattern|..." form,
// the 1-based position of the filter offered first, the file name offered (its name is offered in
// folder) and the folder the dialog opens in.
struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString filter;
    int filterIndex = 1;
    QString fileName;
    QString folder;
    // In a save, the extension (without its dot) that a name typed without any gets under each filter,
    // by the filter's position; the dialog asks about replacing the file of the name so completed, the
    // one that will be written. None: the name is taken as typed.
    QStringList defaultSuffixes;
};

// What the user chose: the full file name (empty when the dialog was cancelled) and the 1-based
// position of the chosen filter.
struct FileDialogChoice {
    QString fileName;
    int filterIndex = 1;
};

// Every file dialog of the program goes through here, modal over parent, returning when the user
// has chosen or cancelled. Window tests answer the dialogs through a presenter of their own.
class FileDialogPresenter {
public:
    virtual ~FileDialogPresenter() = default;
    virtual FileDialogChoice showFileDialog(QWidget *parent, const FileDialogRequest &request) = 0;
};
