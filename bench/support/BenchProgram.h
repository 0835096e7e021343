#pragma once

#include "SilentPresenter.h"

#include <QString>
#include <chrono>
#include <memory>

class Application;

enum class BenchSeries { Rqx2, Rqx5 };

// The program as main() builds it (main window offscreen, its own serial link), with the series
// chosen in the selection dialog and the time spent inside the receive event added up.
struct BenchProgram {
    BenchProgram();
    ~BenchProgram();

    // Builds and starts the program on deviceDir; false when it did not find the cable or show its
    // main window. An RQX2 send takes no pause before each point.
    bool start(const QString &deviceDir, BenchSeries series);

    SilentPresenter messages;
    std::unique_ptr<Application> app;
    std::chrono::nanoseconds handlerTime{0};
};
