#include "Rqx5MeasurementWindowEvents.h"

#include "Form4.h"

using namespace TransferEvents;

namespace {
// The list's layout for records of kind; empty for a kind the window does not list.
QString layoutOf(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Rqx5DataFile:
        return Form4::kDataFileLayout;
    case RecordKind::Rqx5Measurement:
        return Form4::kMeasurementLayout;
    case RecordKind::Point:
    case RecordKind::Rqx2Measurement:
        break;
    }
    return QString();
}
} // namespace

bool Rqx5MeasurementWindowEvents::show(const TransferEvent &event)
{
    MeasurementTableModel &list = m_window.list();
    return std::visit(Overloaded{
                          [this](const Status &e) { return showStatus(e); },
                          [this](const FileAnnounced &e) {
                              m_window.selectMeasurementData();
                              m_window.setFileName(e.name);
                              m_window.setCount(QString::number(e.count));
                              m_window.setInstrumentNumber(e.instrument);
                              m_window.setDate(e.date);
                              return true;
                          },
                          [this](const ListStarted &e) {
                              const QString layout = layoutOf(e.kind);
                              if (!layout.isEmpty())
                                  m_window.setTransferColumns(layout, e.nez);
                              return !layout.isEmpty();
                          },
                          [&list](const RowsCleared &) {
                              list.clearRows();
                              return true;
                          },
                          [this, &list](const Row &e) {
                              const QString layout = layoutOf(e.kind);
                              if (layout.isEmpty())
                                  return false;
                              // An empty list takes the columns of the records that come.
                              if (list.count() == 0)
                                  m_window.setTransferColumns(layout, e.nez);
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
                              m_window.setCount(QStringLiteral("%1/%2").arg(e.done).arg(e.total));
                              return true;
                          },
                          [](const PortShown &) { return false; },
                      },
                      event);
}

bool Rqx5MeasurementWindowEvents::showStatus(const Status &status)
{
    switch (status.state) {
    case State::Idle:
        m_window.setStatus(QString());
        return true;
    case State::Receiving:
        m_window.setStatus(QStringLiteral("正在接收数据..."));
        return true;
    case State::Received:
        // The count shows the records the list now holds.
        m_window.setStatus(QStringLiteral("接收完毕！"));
        m_window.setCount(QString::number(m_window.list().count()));
        return true;
    case State::AwaitingHandshake:
    case State::AwaitingRequest:
    case State::Sending:
    case State::Sent:
    case State::Testing:
    case State::Tested:
        break;
    }
    return false;
}
