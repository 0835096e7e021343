#pragma once

#include "ReportListView.h"
#include "TransferWindow.h"
#include "core/TableOperations.h"

#include <QMainWindow>
#include <QPersistentModelIndex>
#include <functional>

class CoordinateTableModel;
class Form2;
class Form5;
class MessagePresenter;
class PlanPane;
class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

// The main window: the coordinate table (ListView1), its editing commands, the status fields the
// transfers write, and the menus and buttons that start everything else. The composition
// (Application) connects every command to its entry or button by name, as for the other windows.
class Form1 : public QMainWindow, public TransferWindow {
    Q_OBJECT
public:
    // nez: the coordinate order chosen at start.
    Form1(CoordinateTableModel &table, MessagePresenter &messages, std::function<bool()> nez,
          QWidget *parent = nullptr);

    // How the program ends (closing this window, "退出", "退 出").
    void setEndProgram(std::function<void()> end) { m_end = std::move(end); }
    // The load step: the editor's modes as at start, the column unit taken from the table's width.
    void load();
    // Part of the load step: creates the RQX5 measurement window, hidden.
    void setMeasureWindowLoader(std::function<void()> load) { m_loadMeasureWindow = std::move(load); }
    bool isLoaded() const { return m_loaded; }

    // With the RQX2 series there is no file name: Label1 "文件:" and Text3 are switched off.
    void switchOffFileName();
    // The name Text3 shows: the full name of the coordinate file last opened, or the file name a
    // coordinate receive brought.
    QString fileName() const { return m_fileNameText; }

    // The table commands.
    void NewPoint();
    void ChangeSelectedPoint();
    void DeleteSelectedPoint();
    void ClearTable();
    void FillSampleRows();
    void CommitPointEditor();
    void showInstructions(); // About

    // The selected row of ListView1 (1-based), 0 when the table is empty.
    int selectedRow() const;

    QAction *action(const QString &name) const;
    QPushButton *button(const QString &name) const;
    Form2 *pointEditor() const { return m_editor; }
    Form5 *instructions() const { return m_instructions; }
    PlanPane *planPane() const { return m_planPane; }
    QTableView *tableView() const { return m_list; }
    TableOperations &tableOperations() { return m_operations; }

    void setProgress(const QString &text); // Text1
    void setFileName(const QString &text); // Text3
    void setStatus(const QString &text);   // Label4
    // The port button Command12 offers to open the port.
    bool portShownClosed() const;
    void endProgram();

    // TransferWindow
    QWidget *transferWidget() override { return this; }
    bool showTransferEvent(const TransferEvent &event) override;

    static QString caption();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    QWidget *buildCentralWidget();
    void buildPlanPane();
    QPushButton *makeButton(const char *name, const QString &caption);
    void applyColumnWidths();
    void applyViewMode();
    void keepARowSelected();
    void setEditButtonsEnabled(bool enabled);
    void refreshCount();
    void error(QWidget *parent, const QString &text);

    CoordinateTableModel &m_table;
    MessagePresenter &m_messages;
    TableOperations m_operations;
    std::function<void()> m_end;
    std::function<void()> m_loadMeasureWindow;
    double m_listColumnUnit = 0; // ListColumnUnit: the list's width / 18
    bool m_loaded = false;

    ReportListView *m_list = nullptr;
    QLabel *m_fileLabel = nullptr;   // Label1
    QLineEdit *m_fileName = nullptr; // Text3
    QString m_fileNameText;
    QLabel *m_countLabel = nullptr;            // Label2
    QLineEdit *m_count = nullptr;              // Text1
    QLabel *m_testing = nullptr;               // Label3
    QLabel *m_status = nullptr;                // Label4
    QRadioButton *m_coordinateData = nullptr;  // Option1
    QRadioButton *m_measurementData = nullptr; // Option3
    Form2 *m_editor = nullptr;
    Form5 *m_instructions = nullptr;
    PlanPane *m_planPane = nullptr;
    QPersistentModelIndex m_editRow;
};
