#pragma once

#include "core/TableOperations.h"

#include <QDialog>

class FilteredLineEdit;
class QLabel;
class QPushButton;

// The point editor: one point's number, name and three coordinates, with key filters on the number
// and the coordinates. Modal, so the table cannot be edited behind it; "确  定" asks the main window
// to commit, which hides the editor or leaves it open for a correction.
class Form2 : public QDialog {
    Q_OBJECT
public:
    explicit Form2(QWidget *parent = nullptr);

    // Sets the labels of the two plan coordinates (Label2, Label3) to the coordinate order.
    void setCoordinateOrder(bool nez);

    // Shows the editor with all five fields overwritten.
    void showFields(const PointFields &fields);
    PointFields fields() const;

signals:
    void commitRequested(); // Command1 "确  定"

private:
    FilteredLineEdit *m_fields[5];
    QLabel *m_firstLabel;
    QLabel *m_secondLabel;
    QPushButton *m_ok;
};
