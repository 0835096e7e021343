#pragma once

#include "ReportListView.h"
#include "TransferWindow.h"
#include "core/MeasurementTableModel.h"

#include <QWidget>
#include <functional>

class PlanView;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;

// The RQX2 measurement window "测量数据": the list of received records (ListView1), the receive
// command, and the measurement file's save and open. Once the main window's measurement command has
// shown it, it is the program's only window, and closing it ends the program. The composition
// (Application) connects its buttons to their commands by name, as for the other windows.
class Form7 : public QWidget, public TransferWindow {
    Q_OBJECT
public:
    explicit Form7(QWidget *parent = nullptr);

    // How the program ends (closing this window, "退  出").
    void setEndProgram(std::function<void()> end) { m_end = std::move(end); }

    MeasurementTableModel &list() { return m_list; }
    QTableView *listView() const { return m_view; }
    QPushButton *button(const QString &name) const;

    // Empties the list and gives it the 22 columns of the coordinate order.
    void SetupRqx2MeasurementList(bool nez);
    // The width unit of the list's columns: the RQX5 measurement list's, so both lists look alike;
    // 0: the list's own width / 19.
    void setMeasureColumnUnit(int unit) { m_measureColumnUnit = unit; }

    // The caption Label1 shows: "文件名： " and the file name of the header record received.
    QString fileNameText() const { return m_fileNameText; }
    void setProgress(const QString &text); // Text1

    // TransferWindow
    QWidget *transferWidget() override { return this; }
    bool showTransferEvent(const TransferEvent &event) override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QPushButton *makeButton(const char *name, const QString &caption);
    QToolButton *buildPlanToggle();
    void applyColumnWidths();

    std::function<void()> m_end;
    int m_measureColumnUnit = 0;
    MeasurementTableModel m_list;

    ReportListView *m_view = nullptr; // ListView1
    PlanView *m_plan = nullptr;
    QLineEdit *m_count = nullptr; // Text1
    QLabel *m_fileName = nullptr; // Label1
    QString m_fileNameText;
    QLabel *m_status = nullptr; // Label4
};
