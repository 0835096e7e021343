#pragma once

#include "ui/MessagePresenter.h"

// Answers the program's message boxes at once and only counts them, so a benchmark never waits on one.
class SilentPresenter : public MessagePresenter {
public:
    int shown = 0;
    void showMessage(QWidget *, const QString &, const QString &) override { ++shown; }
};
