#pragma once

#include "MeasurementFileCommands.h"

#include <QString>
#include <vector>

class CommonDialog;
class MeasurementTableModel;
class MessagePresenter;
class QTableView;
class QWidget;

// "导出坐标" and "导出表格" of a measurement window: the measured points saved as a coordinate file
// in any of the nine formats of the main window's save, written by the same writers, and the list
// saved for spreadsheets, as comma-separated values or as an Excel workbook: the type the name's
// extension names, else the type chosen. The composition connects them to the window's button or
// menu entry named ExportCoordinates and ExportTable.
class MeasurementExportCommands {
public:
    MeasurementExportCommands(QWidget *window, QTableView *view, MeasurementTableModel &list,
                              CommonDialog &dialog, MessagePresenter &messages);

    void ExportCoordinates();
    void ExportTable();

private:
    // The columns the list shows, in the order shown.
    std::vector<int> shownColumns() const;
    void notice(const QString &text);

    QWidget *m_window;
    QTableView *m_view;
    MeasurementTableModel &m_list;
    CommonDialog &m_dialog;
    MessagePresenter &m_messages;
    MeasurementFileCommands m_files;
};
