#pragma once

#include "ui/FileDialogPresenter.h"

#include <QList>
#include <QWidget>

// Answers the program's file dialogs with the choices a test has queued, in order, and records what
// each dialog was asked. With no choice left, a dialog is cancelled.
class ScriptedFileDialogs : public FileDialogPresenter {
public:
    struct Shown {
        FileDialogRequest request;
        QString parentName; // objectName of the window the dialog belonged to
    };

    QList<FileDialogChoice> choices;
    QList<Shown> shown;

    // The user picks path with the filter at position filterIndex.
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
