#pragma once

#include <QDialog>

class QLabel;

// The instructions window of "关于": what the program does and how to use it. One window, shown
// without blocking the main window, its texts set again each time it is shown.
class Form5 : public QDialog {
    Q_OBJECT
public:
    explicit Form5(QWidget *parent = nullptr);

    void showInstructions();

private:
    QLabel *m_texts[6];
};
