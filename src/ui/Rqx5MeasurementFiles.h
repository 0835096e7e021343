#pragma once

#include "MeasurementFileCommands.h"

#include <QString>
#include <functional>

class CommonDialog;
class Form4;
class MessagePresenter;

// The RQX5 measurement window's files through the main window's one file dialog: the list saved as
// a data file (.raw) or a measurement file (.txt), and such files opened into the list again.
class Rqx5MeasurementFiles {
public:
    // nez: the coordinate order chosen at start.
    Rqx5MeasurementFiles(Form4 &window, CommonDialog &dialog, MessagePresenter &messages,
                         std::function<bool()> nez);

    void SaveRqx5DataFile();
    void SaveRqx5MeasurementFile();
    void OpenRqx5DataFile();
    void OpenRqx5MeasurementFile();

    // Rows of one kind (data-file rows, single measurements) never stand under the other kind's
    // captions. Before rows of layout (Form4's) come into the list, by a receive or a file, rows of
    // the other kind go only when the surveyor agrees; false: nothing may start.
    bool mayReplaceRowsOfOtherKind(const QString &layout);

private:
    void save(MeasurementFileKind::Id kind);
    void open(MeasurementFileKind::Id kind, const QString &layout);

    Form4 &m_window;
    MessagePresenter &m_messages;
    MeasurementFileCommands m_files;
    std::function<bool()> m_nez;
};
