#pragma once

#include "MeasurementFileCommands.h"

#include <functional>

class CommonDialog;
class Form7;
class MessagePresenter;

// The RQX2 measurement window's file through the main window's one file dialog: the list saved as
// a measurement file (.txt), and such a file opened into the list again.
class Rqx2MeasurementFiles {
public:
    // nez: the coordinate order chosen at start.
    Rqx2MeasurementFiles(Form7 &window, CommonDialog &dialog, MessagePresenter &messages,
                         std::function<bool()> nez);

    void SaveRqx2MeasurementFile(); // "保存数据" (Command2)
    void OpenRqx2MeasurementFile(); // "打开文件" (Command4)

private:
    Form7 &m_window;
    MeasurementFileCommands m_files;
    std::function<bool()> m_nez;
};
