#pragma once

#include "SilentPresenter.h"

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>

class Application;

enum class BenchSeries { Rqx2, Rqx5 };

// The program as main() builds it (main window offscreen, its own serial link), with the series
// chosen in the selection dialog, the time spent inside the receive handler added up (every transfer
// takes its bytes there and the executor performs their actions), and the longest time the event loop
// went without turning while the probe runs: a timer that asks to run every millisecond.
struct BenchProgram {
    BenchProgram();
    ~BenchProgram();

    // Builds and starts the program on deviceDir; false when it did not find the cable or show its
    // main window.
    bool start(const QString &deviceDir, BenchSeries series);
    // The main window's 发送坐标 of the series, an RQX2 send without the pause before each point.
    void sendWithoutPause();

    void startProbe();
    void stopProbe();

    SilentPresenter messages;
    std::unique_ptr<Application> app;
    BenchSeries series = BenchSeries::Rqx2;
    std::chrono::nanoseconds handlerTime{0};
    std::chrono::nanoseconds longestHandler{0};
    double longestLoopGapMs = 0;

private:
    QTimer m_probe;
    QElapsedTimer m_sinceTurn;
};
