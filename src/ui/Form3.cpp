#include "Form3.h"

#include "MessagePresenter.h"
#include "core/MessageTitles.h"
#include "core/NumericText.h"
#include "serial/PortSettings.h"
#include "serial/SerialLink.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {
const QString kOpenCaption = QStringLiteral("打开串口");
const QString kCloseCaption = QStringLiteral("关闭串口");
const QStringList kSpeeds = {QStringLiteral("1200"),  QStringLiteral("2400"),  QStringLiteral("4800"),
                             QStringLiteral("9600"),  QStringLiteral("19200"), QStringLiteral("38400"),
                             QStringLiteral("57600"), QStringLiteral("115200")};

QComboBox *makeCombo(QWidget *parent, const char *name, const QStringList &items, bool editable)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->addItems(items);
    combo->setEditable(editable);
    combo->setCurrentIndex(0);
    return combo;
}
} // namespace

Form3::Form3(SerialLink &link, MessagePresenter &messages, QWidget *parent)
    : QDialog(parent), m_link(link), m_messages(messages)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("端口设置"));

    QStringList ports;
    for (int i = 1; i <= 9; ++i)
        ports << QStringLiteral("COM%1").arg(i);
    m_port = makeCombo(this, "Combo4", ports, true);
    m_speed = makeCombo(this, "Combo5", kSpeeds, true);
    m_initialSpeed = makeCombo(this, "Combo9", kSpeeds, true);
    m_useInitial = new QCheckBox(QStringLiteral("初始"), this);
    m_useInitial->setObjectName(QStringLiteral("Check1"));
    // Data bits, stop bits and parity are fixed at 8, 1 and none; these lists only show them.
    QComboBox *dataBits = makeCombo(this, "Combo6", {QStringLiteral("8")}, false);
    QComboBox *stopBits = makeCombo(this, "Combo7", {QStringLiteral("1")}, false);
    QComboBox *parity = makeCombo(this, "Combo8", {QStringLiteral("None")}, false);

    auto *grid = new QGridLayout;
    const QString captions[5] = {QStringLiteral("端口号"), QStringLiteral("波特率"), QStringLiteral("数据位"),
                                 QStringLiteral("停止位"), QStringLiteral("校验位")};
    QWidget *fields[5] = {m_port, m_speed, dataBits, stopBits, parity};
    for (int i = 0; i < 5; ++i) {
        auto *label = new QLabel(captions[i], this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setBuddy(fields[i]);
        grid->addWidget(label, i, 0);
        grid->addWidget(fields[i], i, 1);
    }
    grid->addWidget(m_useInitial, 1, 2);
    grid->addWidget(m_initialSpeed, 1, 3);

    m_apply = new QPushButton(QStringLiteral("确  定"), this);
    m_apply->setObjectName(QStringLiteral("Command1"));
    m_toggle = new QPushButton(kOpenCaption, this);
    m_toggle->setObjectName(QStringLiteral("Command2"));
    m_apply->setAutoDefault(false);
    m_toggle->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_apply);
    buttons->addWidget(m_toggle);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(m_apply, &QPushButton::clicked, this, &Form3::ApplyPortSettings);
    connect(m_toggle, &QPushButton::clicked, this, &Form3::TogglePortFromDialog);
}

void Form3::ApplyPortSettings()
{
    const QString speedText =
        m_useInitial->isChecked() ? m_initialSpeed->currentText() : m_speed->currentText();
    m_baudValue = NumericValue(speedText);
    m_link.closeWhenWritten({});
    if (const int port = PortSettings::PortNumberFromText(m_port->currentText()))
        m_link.setCommPort(port);
    m_link.setSettings(PortSettings::SettingsForSpeed(m_baudValue));
    hide();
}

void Form3::TogglePortFromDialog()
{
    if (m_toggle->text() == kOpenCaption) {
        if (!m_link.openIfClosed()) {
            m_messages.showDetailedMessage(this, MessageTitles::kError,
                                           QStringLiteral("请检查端口连接是否正确！"),
                                           m_link.openFailureDetail());
            return;
        }
        m_toggle->setText(kCloseCaption);
    } else {
        m_link.closeWhenWritten({});
        m_toggle->setText(kOpenCaption);
    }
}

void Form3::setCablePort(const QString &portName)
{
    m_port->setCurrentText(portName);
    m_port->setEnabled(false);
}

void Form3::lockSpeedList()
{
    m_speed->setEnabled(false);
}
