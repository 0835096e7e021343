#pragma once

#include "FileDialogPresenter.h"

#include <QFileDialog>

// The program's file dialog: Qt's own QFileDialog over a request. In a save it knows the extension
// of the chosen entry (Qt's default suffix, following the entry the user picks) and asks before
// replacing the file the save will really write, also where the request's rule names it otherwise
// than Qt would ("job.raw" saved as job.raw.txt).
class ProgramFileDialog : public QFileDialog {
    Q_OBJECT
public:
    ProgramFileDialog(const FileDialogRequest &request, QWidget *parent);

    // The 1-based position of the entry chosen; 0 when none of the request's.
    int chosenIndex() const;
    // The file the save writes (the request's rule on the chosen name); empty when nothing is chosen.
    QString savedFile() const;
    // In a save that adds an extension, Qt's default suffix becomes the chosen entry's extension, now
    // and whenever another entry is chosen. Called once the dialog's options are set.
    void followChosenType();
    void takeDefaultSuffix();

public slots:
    void accept() override;

private:
    FileDialogRequest m_request;
};
