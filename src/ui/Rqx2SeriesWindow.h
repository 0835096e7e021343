#pragma once

#include "SeriesWindow.h"

#include <memory>

class Form7;
class MeasurementExportCommands;
class Rqx2MeasurementFiles;
class Series;
struct SeriesServices;

// The RQX2 series' window: the measurement window (Form7) with its receive, its measurement file's
// save and open, and the exports of its list.
class Rqx2SeriesWindow : public SeriesWindow {
public:
    Rqx2SeriesWindow(Series &series, SeriesServices &services);
    ~Rqx2SeriesWindow() override;

    Form7 *form() const { return m_form7.get(); }

    void setMeasureColumnUnit(int unit) override;
    void showMeasurementWindow() override;
    void transferStopped(const TransferWindow *window) override;
    void hide() override;

private:
    void connectCommands();

    Series &m_series;
    SeriesServices &m_services;
    std::unique_ptr<Form7> m_form7;
    std::unique_ptr<Rqx2MeasurementFiles> m_files;
    std::unique_ptr<MeasurementExportCommands> m_export;
};
