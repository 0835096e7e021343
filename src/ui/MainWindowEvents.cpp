#include "MainWindowEvents.h"

#include "TransferWindow.h"
#include "core/CoordinateTableModel.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace TransferEvents;

bool MainWindowEvents::show(const TransferEvent &event)
{
    return std::visit(
        Overloaded{
            [this](const Status &e) { return showStatus(e); },
            [this](const FileAnnounced &e) {
                TransferWindow::control<QRadioButton>(&m_window, "Option1")->setChecked(true);
                setText("Text3", e.name);
                setText("Text1", QString::number(e.count));
                return true;
            },
            [this](const ListStarted &e) {
                if (e.kind != RecordKind::Point)
                    return false;
                m_table.buildColumns(e.nez);
                return true;
            },
            [this](const RowsCleared &) {
                m_table.buildColumns(m_table.columnsNez());
                return true;
            },
            [this](const Row &e) {
                if (e.kind != RecordKind::Point)
                    return false;
                // A table cleared, or showing the lines of a raw-lines file, gets its columns first, or
                // the points would not be seen.
                if (!m_table.hasColumns() || m_table.count() == 0)
                    m_table.buildColumns(e.nez);
                const QString number = QString::number(e.number ? *e.number : m_table.count() + 1);
                m_table.append(CoordinatePoint{number, e.fields.value(0), e.fields.value(1),
                                               e.fields.value(2), e.fields.value(3), e.fields.value(4)});
                return true;
            },
            [this](const RowsWithdrawn &e) {
                m_table.truncate(qMax(0, m_table.count() - e.rows));
                return true;
            },
            [this](const Progress &e) {
                setText("Text1", QStringLiteral("%1/%2").arg(e.done).arg(e.total));
                return true;
            },
            [this](const PortShown &e) {
                TransferWindow::control<QAbstractButton>(&m_window, "Command12")
                    ->setText(e.open ? QStringLiteral("关闭串口") : QStringLiteral("打开串口"));
                return true;
            },
        },
        event);
}

bool MainWindowEvents::showStatus(const Status &status)
{
    const bool rqx5 = status.series == Series::Rqx5;
    switch (status.state) {
    case State::Idle:
        setText("Label4", QString());
        return true;
    case State::Receiving:
        setText("Label4", rqx5 ? QStringLiteral("坐标数据传送中。。。") : QStringLiteral("数据传输中。。。"));
        return true;
    case State::Received:
        // The count shows the points the table now holds.
        setText("Label4", QStringLiteral("传送完毕！"));
        setText("Text1", QString::number(m_table.count()));
        return true;
    case State::AwaitingRequest:
        setText("Label4", QStringLiteral("等待发送坐标数据..."));
        return true;
    case State::Sending:
        setText("Label4", rqx5 ? QStringLiteral("发送中：") : QStringLiteral("发送中..."));
        return true;
    case State::Sent:
        setText("Label2", QStringLiteral("完毕！"));
        return true;
    case State::Testing:
    case State::Tested:
        TransferWindow::control<QLabel>(&m_window, "Label3")->setVisible(status.state == State::Testing);
        return true;
    case State::AwaitingHandshake:
        break;
    }
    return false;
}

void MainWindowEvents::setText(const char *control, const QString &text)
{
    // Label4 and Label2 are labels, Text1 and Text3 boxes.
    QWidget *found = TransferWindow::control<QWidget>(&m_window, control);
    if (auto *label = qobject_cast<QLabel *>(found))
        label->setText(text);
    else if (auto *box = qobject_cast<QLineEdit *>(found))
        box->setText(text);
    else
        qFatal("%s is no label or box", control);
}
