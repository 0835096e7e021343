#pragma once

#include "core/MeasurementTableModel.h"
#include "core/Rqx5MeasurementView.h"

#include <QMainWindow>
#include <functional>

struct AppState;
class MessagePresenter;
class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class Rqx5MeasurementFiles;
class Rqx5MeasurementReceive;

// The RQX5 measurement window "HYL-测量数据": a data file or single measurements received from the
// instrument into its list (ListView1), saved as .raw or .txt files and opened again. It is created
// hidden when the main window loads, shown without blocking the main window, and leaving it only
// hides it: its list and boxes keep their contents.
class Form4 : public QMainWindow, public Rqx5MeasurementView {
    Q_OBJECT
public:
    explicit Form4(AppState &state, MessagePresenter &messages, QWidget *parent = nullptr);

    // How the main window's "测量数据" option is selected when a data-file header comes in.
    void setSelectMeasurementData(std::function<void()> select)
    {
        m_selectMeasurementData = std::move(select);
    }
    // Connects the buttons and menu entries to the receive and the file commands.
    void setCommands(Rqx5MeasurementReceive &receive, Rqx5MeasurementFiles &files);

    MeasurementTableModel &list() { return m_list; }
    QTableView *tableView() const { return m_listView; }
    // The list's width as laid out in the window's size, shown or not.
    int tableWidth();

    bool dataFileSelected() const;         // Option1 "数据文件"
    bool measurementSelected() const;      // Option2 "测量数据"
    QString date() const;                  // Text2
    QString instrumentNumber() const;      // Text4
    void setFileText(const QString &text); // Text6: the text of the last file written or read
    QString fileText() const;

    QAction *action(const QString &name) const;
    QPushButton *button(const QString &name) const;

    // The commands of the buttons; the menu entries are connected by setCommands.
    void Receive(); // Command1 "接 收"
    void Open();    // Command2 "打 开"
    void Save();    // Command9 "保 存"
    void leave();   // Command11 "退 出" and "退出(Q)": hide

    // Rqx5MeasurementView
    void setStatus(const QString &text) override;
    void setFileName(const QString &text) override;
    void setCount(const QString &text) override;
    void setDate(const QString &text) override;
    void setInstrumentNumber(const QString &text) override;
    void selectMeasurementData() override;
    void showMessage(const QString &title, const QString &text) override;
    void bringWindowForward() override;

private:
    void buildMenus();
    QWidget *buildCentralWidget();
    void applyColumnWidths();

    AppState &m_state;
    MessagePresenter &m_messages;
    MeasurementTableModel m_list;
    std::function<void()> m_selectMeasurementData;
    Rqx5MeasurementReceive *m_receive = nullptr;
    Rqx5MeasurementFiles *m_files = nullptr;

    QTableView *m_listView = nullptr;      // ListView1
    QRadioButton *m_dataFile = nullptr;    // Option1
    QRadioButton *m_measurement = nullptr; // Option2
    QLineEdit *m_fileName = nullptr;       // Text3
    QLineEdit *m_count = nullptr;          // Text1
    QLineEdit *m_date = nullptr;           // Text2
    QLineEdit *m_number = nullptr;         // Text4
    QLabel *m_status = nullptr;            // Label5
    QPlainTextEdit *m_fileText = nullptr;  // Text6
};
