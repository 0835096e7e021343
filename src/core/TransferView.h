#pragma once

#include <QString>

// What the protocols, the dispatcher and the connection test write on the screen, in the order they
// write it. The main window implements it; tests record the calls.
class TransferView {
public:
    virtual ~TransferView() = default;
    virtual void setStatus(const QString &text) = 0;     // main window Label4
    virtual void setProgress(const QString &text) = 0;   // main window Text1
    virtual void setFileName(const QString &text) = 0;   // main window Text3
    virtual void setCountLabel(const QString &text) = 0; // main window Label2 (design caption "点数:")
    virtual void selectCoordinateData() = 0;             // main window Option1 "坐标数据"
    virtual void setConnectionTestShown(bool shown) = 0; // main window Label3 "通讯测试中..."
    virtual QString portButtonCaption() const = 0;       // main window Command12
    virtual void setPortButtonCaption(const QString &text) = 0;
    virtual void setMeasurementStatus(const QString &text) = 0; // RQX2 measurement window Label4
    // A modal message box with one OK button; returns when the user has closed it.
    virtual void showMessage(const QString &title, const QString &text) = 0;
    // The same with a detailed text the user can unfold (why it happened, what to do about it); an
    // empty detail adds nothing. A view without such a part shows the detail below the text.
    virtual void showDetailedMessage(const QString &title, const QString &text, const QString &detail)
    {
        showMessage(title, detail.isEmpty() ? text : text + QStringLiteral("\n\n") + detail);
    }
    // Why the port could not be opened, as the system told it; empty when it told nothing.
    virtual QString portFailureDetail() const { return {}; }
    // Shows the calling window again and brings it forward after a failed port operation.
    virtual void bringWindowForward() = 0;
    // Ends the program at once (no question, nothing saved).
    virtual void endProgram() = 0;

    // Every failure to prepare or use the port is told the same way, and the calling window is
    // brought forward; nothing done before the failure is undone. What the system said about the
    // port, when it said something, is the message's detail.
    void reportPortFailure()
    {
        showDetailedMessage(QStringLiteral("错误提示"), QStringLiteral("请检查端口连接是否正确！"),
                            portFailureDetail());
        bringWindowForward();
    }
};
