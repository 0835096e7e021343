#include "Rqx5MeasurementFiles.h"

#include "Form4.h"
#include "MessagePresenter.h"
#include "core/MessageTitles.h"
#include "formats/Rqx5MeasurementFile.h"
#include "rqx5/Rqx5MeasurementColumns.h"

// The files hold the rows the window's two layouts show.
static_assert(kRqx5DataFileFields == Rqx5MeasurementColumns::kDataFileSubitems);
static_assert(kRqx5MeasurementFileFields == Rqx5MeasurementColumns::kMeasurementSubitems);

Rqx5MeasurementFiles::Rqx5MeasurementFiles(Form4 &window, CommonDialog &dialog, MessagePresenter &messages,
                                           std::function<bool()> nez)
    : m_window(window), m_messages(messages), m_files(dialog, messages), m_nez(std::move(nez))
{
}

void Rqx5MeasurementFiles::SaveRqx5DataFile()
{
    save(MeasurementFileKind::Rqx5DataFile);
}

void Rqx5MeasurementFiles::SaveRqx5MeasurementFile()
{
    save(MeasurementFileKind::Rqx5Measurements);
}

void Rqx5MeasurementFiles::OpenRqx5DataFile()
{
    open(MeasurementFileKind::Rqx5DataFile, Form4::kDataFileLayout);
}

void Rqx5MeasurementFiles::OpenRqx5MeasurementFile()
{
    open(MeasurementFileKind::Rqx5Measurements, Form4::kMeasurementLayout);
}

void Rqx5MeasurementFiles::save(MeasurementFileKind::Id kind)
{
    MeasurementFileHeading heading;
    heading.date = m_window.date();
    heading.instrumentNumber = m_window.instrumentNumber();
    m_files.save(&m_window, kind, m_window.list(), heading);
}

bool Rqx5MeasurementFiles::mayReplaceRowsOfOtherKind(const QString &layout)
{
    const int rows = m_window.list().count();
    const QString holds = m_window.listLayout();
    if (rows == 0 || holds.isEmpty() || holds == layout)
        return true;
    return m_messages.askYesNo(&m_window, MessageTitles::kNotice,
                               QStringLiteral("列表中的 %1 条记录将被清除，是否继续？").arg(rows));
}

void Rqx5MeasurementFiles::open(MeasurementFileKind::Id kind, const QString &layout)
{
    // Asked before the dialog: the answer 否 opens nothing.
    if (!mayReplaceRowsOfOtherKind(layout))
        return;
    m_files.open(&m_window, kind, [&](MeasurementFileContent &&content, const QString &path) {
        m_window.setFileName(path);
        // The date and the number are the file's own: those of an earlier job are not left standing.
        m_window.setDate(content.heading.date);
        m_window.setInstrumentNumber(content.heading.instrumentNumber);
        MeasurementTableModel &list = m_window.list();
        if (kind == MeasurementFileKind::Rqx5DataFile)
            SetRqx5DataFileColumns(list, m_nez());
        else
            SetRqx5MeasurementColumns(list, m_nez());
        list.append(std::move(content.rows));
        m_window.setCount(QString::number(list.count()));
    });
}
