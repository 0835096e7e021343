#pragma once

#include <QString>

// What the RQX5 data-file and measurement receive write on the screen, in the order they write it:
// the fields of the RQX5 measurement window and the main window's "测量数据" option. The measurement
// window implements it (its list is the MeasurementTableModel the receive is given); tests record
// the calls.
class Rqx5MeasurementView {
public:
    virtual ~Rqx5MeasurementView() = default;
    virtual void setStatus(const QString &text) = 0;           // Label5
    virtual void setFileName(const QString &text) = 0;         // Text3 "文件名:"
    virtual void setCount(const QString &text) = 0;            // Text1 "传输点数:"
    virtual void setDate(const QString &text) = 0;             // Text2 "创建日期："
    virtual void setInstrumentNumber(const QString &text) = 0; // Text4 "仪器编号："
    virtual void selectMeasurementData() = 0;                  // main window Option3 "测量数据"
    // A modal message box with one OK button over the measurement window.
    virtual void showMessage(const QString &title, const QString &text) = 0;
    // Shows the measurement window and brings it forward after a failed port operation.
    virtual void bringWindowForward() = 0;

    // The same words as every other port failure; the measurement window, which started the
    // receive, comes forward.
    void reportPortFailure()
    {
        showMessage(QStringLiteral("错误提示"), QStringLiteral("请检查端口连接是否正确！"));
        bringWindowForward();
    }
};
