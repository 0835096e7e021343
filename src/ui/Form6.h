#pragma once

#include "core/SeriesSelection.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

// The selection dialog, the program's first window: the instrument series and the coordinate order.
// After a successful OK it is hidden, never destroyed: its option buttons are the series and the
// order for the rest of the run, read each time they are needed.
class Form6 : public QDialog, public SeriesSelection {
    Q_OBJECT
public:
    explicit Form6(QWidget *parent = nullptr);

    bool rqx5Selected() const override;
    bool rqx2Selected() const override;
    bool nezSelected() const override;
    // The series option button named name (Option3, Option4, ...) is checked.
    bool optionChecked(const QString &name) const;

    void setPortName(const QString &portName); // Text1

signals:
    void confirmRequested(); // OKButton "确  定"
    void exitRequested();    // CancelButton "退  出", Esc or closing the window

protected:
    void reject() override;

private:
    QRadioButton *m_rqx2;
    QRadioButton *m_rqx5;
    QRadioButton *m_nez;
    QLineEdit *m_port;
};
