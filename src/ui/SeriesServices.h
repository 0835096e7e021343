#pragma once

#include <functional>
#include <memory>

class CommonDialog;
class Form1;
class MessagePresenter;
class Transfer;
class TransferExecutor;
class TransferWindow;

// What the program gives the windows of a series: the main window, the shared file dialog and
// message boxes, the executor, and the two ways a transfer becomes the one under way (every transfer
// goes through them, so each series knows what was begun after its own).
struct SeriesServices {
    TransferExecutor &executor;
    CommonDialog &fileDialog;
    MessagePresenter &messages;
    Form1 &mainWindow;
    std::function<bool()> nez;          // the coordinate order chosen at start
    std::function<void()> endProgram;   // the program ends at once
    std::function<void()> stopTransfer; // a window's 停止传输
    // A command begins the transfer over the window; adopt: it waits for the instrument to begin.
    std::function<void(std::unique_ptr<Transfer>, TransferWindow &)> begin;
    std::function<void(std::unique_ptr<Transfer>, TransferWindow &)> adopt;
};
