#pragma once

#include <QDialog>

class MessagePresenter;
class SerialLink;
class QCheckBox;
class QComboBox;
class QPushButton;

// The older port dialog: a port COM1..COM9 and a line speed chosen by hand, and a button that opens
// and closes the port. The cable search fills and locks its port list; with the RQX2 series its
// first speed list is locked too.
class Form3 : public QDialog {
    Q_OBJECT
public:
    Form3(SerialLink &link, MessagePresenter &messages, QWidget *parent = nullptr);

    void ApplyPortSettings();    // Command1 "确  定"
    void TogglePortFromDialog(); // Command2 "打开串口" / "关闭串口"

    // The port the cable search found, shown in Combo4, which then stays locked.
    void setCablePort(const QString &portName);
    // Locks the speed list Combo5 (RQX2 series).
    void lockSpeedList();
    // The line speed last applied (BaudValue).
    double baudValue() const { return m_baudValue; }

private:
    SerialLink &m_link;
    MessagePresenter &m_messages;
    double m_baudValue = 0;
    QComboBox *m_port;
    QComboBox *m_speed;
    QComboBox *m_initialSpeed;
    QCheckBox *m_useInitial;
    QPushButton *m_apply;
    QPushButton *m_toggle;
};
