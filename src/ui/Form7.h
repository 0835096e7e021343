#pragma once

#include "core/MeasurementTableModel.h"
#include "core/Rqx2MeasurementView.h"

#include <QTimer>
#include <QWidget>
#include <functional>

struct AppState;
class CommonDialog;
class MessagePresenter;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// The RQX2 measurement window "测量数据": the list of received records (ListView1), the receive
// command, and the measurement file's save and open. Once the main window's measurement command has
// shown it, it is the program's only window, and closing it ends the program. The receive command
// is connected by the composition (Application); the file commands live here.
class Form7 : public QWidget, public Rqx2MeasurementView {
    Q_OBJECT
public:
    Form7(AppState &state, MessagePresenter &messages, CommonDialog &dialog, QWidget *parent = nullptr);

    // How the program ends (closing this window, "退  出").
    void setEndProgram(std::function<void()> end) { m_end = std::move(end); }

    MeasurementTableModel &list() { return m_list; }
    QTableView *listView() const { return m_view; }
    QPushButton *button(const QString &name) const;

    // Empties the list and gives it the 22 columns of the coordinate order chosen at start.
    void SetupRqx2MeasurementList();
    void SaveRqx2MeasurementFile(); // "保存数据" (Command2)
    void OpenRqx2MeasurementFile(); // "打开文件" (Command4)

    // Rqx2MeasurementView
    void setProgress(const QString &text) override;
    void setFileName(const QString &text) override;
    void setStatus(const QString &text) override;
    void showMessage(const QString &title, const QString &text) override;
    void bringWindowForward() override;

signals:
    // "接收数据" (Command1); the button is disabled for the rest of the run once the command has run.
    void receiveRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QPushButton *makeButton(const char *name, const QString &caption);
    void applyColumnWidths();
    void error(const QString &path, const QString &reason);

    AppState &m_state;
    MessagePresenter &m_messages;
    CommonDialog &m_dialog;
    std::function<void()> m_end;
    MeasurementTableModel m_list;

    QTableView *m_view = nullptr; // ListView1
    QLineEdit *m_count = nullptr; // Text1
    QLabel *m_fileName = nullptr; // Label1
    QLabel *m_status = nullptr;   // Label4
    QTimer m_timer;               // Timer1
};
