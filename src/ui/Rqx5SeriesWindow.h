#pragma once

#include "SeriesWindow.h"

#include <QString>
#include <functional>
#include <memory>

class Form4;
class MeasurementExportCommands;
class Rqx5MeasurementFiles;
class Series;
struct SeriesServices;

// The RQX5 series' window: the measurement window (Form4), made hidden when the main window loads,
// with its receives of a data file and of single measurements, its files and the exports of its list.
class Rqx5SeriesWindow : public SeriesWindow {
public:
    Rqx5SeriesWindow(Series &series, SeriesServices &services);
    ~Rqx5SeriesWindow() override;

    // Null before the main window has loaded.
    Form4 *form() const { return m_form4.get(); }

    int mainWindowLoaded() override;
    void setMeasureColumnUnit(int unit) override;
    void showMeasurementWindow() override;
    void hide() override;

private:
    void connectCommands();
    // A receive of the other kind than the list holds asks first and then gives the list its captions;
    // rows of its own kind stay, to be added to. False: the surveyor said 否 and nothing starts.
    bool listFor(const QString &layout);
    void receiveDataFile();
    void receiveMeasurements();
    // The receive started from the menu: the status waits only for a receive that started.
    void receiveWaiting(const QString &layout, void (Rqx5SeriesWindow::*receive)());

    Series &m_series;
    SeriesServices &m_services;
    std::unique_ptr<Form4> m_form4;
    std::unique_ptr<Rqx5MeasurementFiles> m_files;
    std::unique_ptr<MeasurementExportCommands> m_export;
};
