#pragma once

#include <QString>
#include <QStringList>

class FileDialogPresenter;
class QWidget;

// The main window's one file dialog, shared by every file command: it keeps its filter list, filter
// position and file name between uses, as each command sets only what it needs.
//
// Every dialog opens in the folder a file was last chosen in by any of them, remembered across runs
// in the program's settings; the first time in the user's Documents folder, or their home when there
// is none. A file name offered with its own folder (the file last opened) is offered where it is.
class CommonDialog {
public:
    explicit CommonDialog(FileDialogPresenter &presenter) : m_presenter(presenter) {}

    QString Filter;      // "description|pattern|description|pattern|..."
    int FilterIndex = 1; // 1-based position of the chosen filter
    QString FileName;    // full path; empty after a cancelled dialog

    // Show the dialog; true when a file was chosen (FileName and FilterIndex then tell which). A save
    // given the extension of each filter completes a name typed without one before it asks about
    // replacing the file (FileDialogRequest::defaultSuffixes).
    bool ShowOpen(QWidget *parent);
    bool ShowSave(QWidget *parent, const QStringList &defaultSuffixes = {});

    // The folder the next dialog opens in when no file with a folder of its own is offered.
    static QString lastFolder();

private:
    bool show(QWidget *parent, bool save, const QStringList &defaultSuffixes = {});

    FileDialogPresenter &m_presenter;
};
