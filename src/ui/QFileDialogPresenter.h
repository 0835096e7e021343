#pragma once

#include "FileDialogPresenter.h"

#include <QStringList>

// The program's file dialogs: Qt's own (not the platform's) QFileDialog, so that it looks and
// behaves the same everywhere and can be driven by tests on any platform.
class QFileDialogPresenter : public FileDialogPresenter {
public:
    FileDialogChoice showFileDialog(QWidget *parent, const FileDialogRequest &request) override;

    // The filter list "description|pattern|description|pattern|..." as QFileDialog name filters, one
    // per description, each shown exactly as its description reads.
    static QStringList nameFilters(const QString &filter);
};
