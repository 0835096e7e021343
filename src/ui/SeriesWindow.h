#pragma once

class TransferWindow;

// The windows a series adds beside the main window, with their commands connected: all that ui/
// holds of one series. Each registry line pairs a series' table with its windows; a series without a
// window of its own has this one, which shows none.
class SeriesWindow {
public:
    virtual ~SeriesWindow() = default;

    // The main window has loaded. Answers the width unit of the measurement list's columns when this
    // series lays the unit out from its own list (0: it does not); every series' lists then take the
    // unit through setMeasureColumnUnit.
    virtual int mainWindowLoaded() { return 0; }
    virtual void setMeasureColumnUnit(int unit) { (void)unit; }
    // The main window's 测量数据 (CLSend) with this series chosen.
    virtual void showMeasurementWindow() {}
    // The surveyor stopped the transfer under way over window.
    virtual void transferStopped(const TransferWindow *window) { (void)window; }
    // The program ends: the series' windows are hidden.
    virtual void hide() {}
};
