#pragma once

#include "ReportListView.h"
#include "TransferWindow.h"
#include "core/MeasurementTableModel.h"

#include <QMainWindow>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

// The RQX5 measurement window "HYL-测量数据": a data file or single measurements received from the
// instrument into its list (ListView1), saved as .raw or .txt files and opened again. It is created
// hidden when the main window loads, shown without blocking the main window, and leaving it only
// hides it: its list and boxes keep their contents. The composition (Application) connects its
// buttons and menu entries to their commands by name, as for the other windows.
class Form4 : public QMainWindow, public TransferWindow {
    Q_OBJECT
public:
    explicit Form4(QWidget *parent = nullptr);

    // How the main window's "测量数据" option (Option3) is selected when a data-file header comes in.
    void setSelectMeasurementData(std::function<void()> select)
    {
        m_selectMeasurementData = std::move(select);
    }
    // The width unit of the list's columns (MeasureColumnUnit): the list's width / 19 at load.
    void setMeasureColumnUnit(int unit) { m_measureColumnUnit = unit; }
    int measureColumnUnit() const { return m_measureColumnUnit; }

    MeasurementTableModel &list() { return m_list; }
    // The list's two layouts, named as the transfers name them.
    static const QString kDataFileLayout;
    static const QString kMeasurementLayout;
    // The layout of the list's columns; empty before the first column set-up.
    QString listLayout() const;
    QTableView *tableView() const { return m_listView; }
    // The list's width as laid out in the window's size, shown or not.
    int tableWidth();

    bool dataFileSelected() const;    // Option1 "数据文件"
    bool measurementSelected() const; // Option2 "测量数据"
    QString date() const;             // Text2
    QString instrumentNumber() const; // Text4

    QAction *action(const QString &name) const;
    QPushButton *button(const QString &name) const;

    void leave(); // Command11 "退 出" and "退出(Q)": hide

    void setStatus(const QString &text);           // Label5
    void setFileName(const QString &text);         // Text3 "文件名:"
    void setCount(const QString &text);            // Text1 "传输点数:"
    void setDate(const QString &text);             // Text2 "创建日期："
    void setInstrumentNumber(const QString &text); // Text4 "仪器编号："

    // The list's columns in layout kDataFileLayout or kMeasurementLayout, rows removed.
    void setTransferColumns(const QString &layout, bool nez);
    // The main window's 测量数据 option selected.
    void selectMeasurementData();

    // TransferWindow
    QWidget *transferWidget() override { return this; }
    bool showTransferEvent(const TransferEvent &event) override;

private:
    void buildMenus();
    QWidget *buildCentralWidget();

    MeasurementTableModel m_list;
    std::function<void()> m_selectMeasurementData;
    int m_measureColumnUnit = 0;

    ReportListView *m_listView = nullptr;  // ListView1
    QRadioButton *m_dataFile = nullptr;    // Option1
    QRadioButton *m_measurement = nullptr; // Option2
    QLineEdit *m_fileName = nullptr;       // Text3
    QLineEdit *m_count = nullptr;          // Text1
    QLineEdit *m_date = nullptr;           // Text2
    QLineEdit *m_number = nullptr;         // Text4
    QLabel *m_status = nullptr;            // Label5
};
