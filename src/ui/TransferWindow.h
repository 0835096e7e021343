#pragma once

#include <QString>
#include <QStringList>

class QHBoxLayout;
class QWidget;

// A window a transfer reports to: the main window, or either measurement window. The actions of a
// transfer name its controls by their objectName ("Label4", "Text1"), as the window's own texts do.
class TransferWindow {
public:
    virtual ~TransferWindow() = default;

    // The window itself: the parent of its transfer's message boxes.
    virtual QWidget *transferWidget() = 0;
    // The list's columns in one of the window's layouts ("coordinates", "rqx2-measurement",
    // "rqx5-datafile", "rqx5-measurement"), rows removed.
    virtual void setTransferColumns(const QString &layout, bool nez) = 0;
    virtual void addTransferRow(const QStringList &cells) = 0;
    virtual void clearTransferRows() = 0;
    // The list keeps its first rows rows.
    virtual void truncateTransferRows(int rows) = 0;
    // An option button selected; by default the window's own one of that name.
    virtual void selectTransferOption(const QString &name);
    // Shows the window again and brings it forward (after a failed port operation).
    virtual void bringWindowForward();

    // The text of the label, box or button named name. A window that keeps what a control shows
    // takes it on the way.
    virtual void setControlText(const QString &name, const QString &text);
    void setControlShown(const QString &name, bool shown);

    // The progress of a transfer under way: the bar TransferProgress (maximum total, value done; the
    // count alone when the total is unknown), the time left in TransferTimeLeft, and StopTransfer.
    void showTransferProgress(long done, long total, const QString &timeLeft);
    void hideTransferProgress();
    // The bar, the label and the button, hidden, in a row for the window's layout.
    static QHBoxLayout *createTransferProgress(QWidget *parent);
};
