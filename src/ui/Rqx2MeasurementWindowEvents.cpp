#include "Rqx2MeasurementWindowEvents.h"

#include "Form7.h"

#include <QLabel>

using namespace TransferEvents;

bool Rqx2MeasurementWindowEvents::show(const TransferEvent &event)
{
    MeasurementTableModel &list = m_window.list();
    return std::visit(Overloaded{
                          [this](const Status &e) { return showStatus(e); },
                          [this](const FileAnnounced &e) {
                              setLabel("Label1", QStringLiteral("文件名： ") + e.name);
                              return true;
                          },
                          [this](const ListStarted &e) {
                              if (e.kind != RecordKind::Rqx2Measurement)
                                  return false;
                              m_window.SetupRqx2MeasurementList(e.nez);
                              return true;
                          },
                          [&list](const RowsCleared &) {
                              list.clearRows();
                              return true;
                          },
                          [this, &list](const Row &e) {
                              if (e.kind != RecordKind::Rqx2Measurement)
                                  return false;
                              if (list.columnCount() == 0)
                                  m_window.SetupRqx2MeasurementList(e.nez);
                              QStringList cells = e.fields;
                              cells.prepend(QString::number(e.number ? *e.number : list.count() + 1));
                              list.append(cells);
                              return true;
                          },
                          [&list](const RowsWithdrawn &e) {
                              list.truncate(qMax(0, list.count() - e.rows));
                              return true;
                          },
                          [this](const Progress &e) {
                              m_window.setProgress(QStringLiteral("%1/%2").arg(e.done).arg(e.total));
                              return true;
                          },
                          [](const PortShown &) { return false; },
                      },
                      event);
}

bool Rqx2MeasurementWindowEvents::showStatus(const Status &status)
{
    switch (status.state) {
    case State::Idle:
        setLabel("Label4", QString());
        return true;
    case State::AwaitingHandshake:
        setLabel("Label4", QStringLiteral("等待握手信号。。。"));
        return true;
    case State::Receiving:
        setLabel("Label4", QStringLiteral("数据传输中。。。"));
        return true;
    case State::Received:
        setLabel("Label4", QStringLiteral("传输完毕！"));
        return true;
    case State::AwaitingRequest:
    case State::Sending:
    case State::Sent:
    case State::Testing:
    case State::Tested:
        break;
    }
    return false;
}

void Rqx2MeasurementWindowEvents::setLabel(const char *control, const QString &text)
{
    TransferWindow::control<QLabel>(&m_window, control)->setText(text);
}
