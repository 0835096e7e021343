#pragma once

#include <QString>

// What the RQX2 measurement receive writes on its window (Form7), in the order it writes it. The
// rows go to the window's list model, not through here. Form7 implements it; tests record the calls.
class Rqx2MeasurementView {
public:
    virtual ~Rqx2MeasurementView() = default;
    virtual void setProgress(const QString &text) = 0; // Text1: current number, "/", total
    virtual void setFileName(const QString &text) = 0; // Label1: "文件名： " and the header's name
    virtual void setStatus(const QString &text) = 0;   // Label4
    // A modal message box with one OK button over the window; returns when the user has closed it.
    virtual void showMessage(const QString &title, const QString &text) = 0;
    // Shows the window again and brings it forward after a failed port operation.
    virtual void bringWindowForward() = 0;

    // A port that cannot be prepared or used is told in the same words as from the main window, and
    // this window is brought forward.
    void reportPortFailure()
    {
        showMessage(QStringLiteral("错误提示"), QStringLiteral("请检查端口连接是否正确！"));
        bringWindowForward();
    }
};
