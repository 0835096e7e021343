#include "Rqx2MeasurementFiles.h"

#include "Form7.h"

Rqx2MeasurementFiles::Rqx2MeasurementFiles(Form7 &window, CommonDialog &dialog, MessagePresenter &messages,
                                           std::function<bool()> nez)
    : m_window(window), m_files(dialog, messages), m_nez(std::move(nez))
{
}

void Rqx2MeasurementFiles::SaveRqx2MeasurementFile()
{
    MeasurementFileHeading heading;
    heading.nameCaption = m_window.fileNameText();
    m_files.save(&m_window, MeasurementFileKind::Rqx2Measurements, m_window.list(), heading);
}

void Rqx2MeasurementFiles::OpenRqx2MeasurementFile()
{
    m_files.open(&m_window, MeasurementFileKind::Rqx2Measurements,
                 [this](MeasurementFileContent &&content, const QString &) {
                     // The file name and the record count stay as the last receive left them.
                     m_window.SetupRqx2MeasurementList(m_nez());
                     m_window.list().append(std::move(content.rows));
                     m_window.setProgress(QString());
                 });
}
