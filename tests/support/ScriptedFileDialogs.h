#pragma once

#include "ui/FileDialogPresenter.h"

#include <QList>
#include <QStringList>
#include <QWidget>

// Answers the program's file dialogs with the choices a test has queued, in order, and records what
// each dialog was asked, the folder it opened in among it. With no choice left, a dialog is cancelled.
class ScriptedFileDialogs : public FileDialogPresenter {
public:
    struct Shown {
        FileDialogRequest request;
        QString parentName; // objectName of the window the dialog belonged to
    };

    QList<FileDialogChoice> choices;
    QList<Shown> shown;

    // The folder each dialog opened in, in order.
    QStringList folders() const
    {
        QStringList opened;
        for (const Shown &dialog : shown)
            opened << dialog.request.folder;
        return opened;
    }

    // The user picks path (a bare name: typed without a folder) with the filter at position filterIndex.
    void choose(const QString &path, int filterIndex) { choices.append({path, filterIndex}); }
    void cancel() { choices.append({QString(), 1}); }

    FileDialogChoice showFileDialog(QWidget *parent, const FileDialogRequest &request) override
    {
        shown.append({request, parent ? parent->objectName() : QString()});
        if (choices.isEmpty())
            return {QString(), request.filterIndex};
        return choices.takeFirst();
    }
};
