#pragma once

#include "formats/MeasurementFileKind.h"

#include <QString>
#include <functional>
#include <initializer_list>

class CommonDialog;
class MeasurementTableModel;
class MessagePresenter;
class QWidget;

// What saving and opening a measurement window's list has in common, whichever the series: the main
// window's one file dialog over the window, set for the kinds of file offered (rows of
// MeasurementFileKinds), the name given the kind's extension by its rule and the question before a
// file is replaced, the file read or written whole through a save file, and a box with the file's
// path and the reason when that fails. A cancelled dialog changes nothing.
class MeasurementFileCommands {
public:
    using Id = MeasurementFileKind::Id;
    // Writes the file of kind at path; false with the reason when it could not.
    using Writer = std::function<bool(const MeasurementFileKind &kind, const QString &path, QString *reason)>;
    // Puts what a file holds into the window; path: the file's full name.
    using Filler = std::function<void(MeasurementFileContent &&content, const QString &path)>;

    MeasurementFileCommands(CommonDialog &dialog, MessagePresenter &messages);

    // The list and its heading saved as a file of kind: the kind's text and one more line end.
    void save(QWidget *window, Id kind, const MeasurementTableModel &list,
              const MeasurementFileHeading &heading);
    // The save dialog offering kinds, the first chosen; the file is of the kind its name's extension
    // names, else of the entry chosen, written by write.
    void save(QWidget *window, std::initializer_list<Id> kinds, const Writer &write);
    // The open dialog for kind, the name offered as the last file command left it; the file read is
    // handed to fill, and then the surveyor is told of lines that were not read.
    void open(QWidget *window, Id kind, const Filler &fill);

    // A box over window: the file at path could not be read or written, and why.
    void reportFileError(QWidget *window, const QString &path, const QString &reason);

private:
    CommonDialog &m_dialog;
    MessagePresenter &m_messages;
};
