#include "Form6.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QRadioButton *makeOption(QWidget *parent, const char *name, const QString &caption)
{
    auto *option = new QRadioButton(caption, parent);
    option->setObjectName(QLatin1String(name));
    return option;
}
} // namespace

Form6::Form6(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("选择"));

    auto *series = new QGroupBox(QStringLiteral("请选择机型"), this);
    series->setObjectName(QStringLiteral("Frame1"));
    m_rqx2 = makeOption(series, "Option3", QStringLiteral("RQX2 系列"));
    m_rqx5 = makeOption(series, "Option4", QStringLiteral("RQX5 系列"));
    // Series RQX7 and RQX8 are announced but not served.
    QRadioButton *rqx7 = makeOption(series, "Option6", QStringLiteral("RQX7系列"));
    QRadioButton *rqx8 = makeOption(series, "Option5", QStringLiteral("RQX8系列"));
    rqx7->setEnabled(false);
    rqx8->setEnabled(false);
    m_rqx2->setChecked(true);
    auto *seriesLayout = new QGridLayout(series);
    seriesLayout->addWidget(m_rqx2, 0, 0);
    seriesLayout->addWidget(m_rqx5, 0, 1);
    seriesLayout->addWidget(rqx7, 1, 0);
    seriesLayout->addWidget(rqx8, 1, 1);

    auto *order = new QGroupBox(QStringLiteral("请选择坐标格式"), this);
    order->setObjectName(QStringLiteral("Frame2"));
    m_nez = makeOption(order, "Option1", QStringLiteral("N E Z"));
    QRadioButton *enz = makeOption(order, "Option2", QStringLiteral("E N Z"));
    m_nez->setChecked(true);
    auto *orderLayout = new QHBoxLayout(order);
    orderLayout->addWidget(m_nez);
    orderLayout->addWidget(enz);

    auto *hint = new QGroupBox(QStringLiteral("提示"), this);
    hint->setObjectName(QStringLiteral("Frame3"));
    auto *hintText = new QLabel(QStringLiteral("       进入主界面，点击“帮助”，阅读使用说明。"), hint);
    hintText->setObjectName(QStringLiteral("Label1"));
    hintText->setWordWrap(true);
    auto *hintLayout = new QVBoxLayout(hint);
    hintLayout->addWidget(hintText);

    m_port = new QLineEdit(this);
    m_port->setObjectName(QStringLiteral("Text1"));
    m_port->setReadOnly(true);

    auto *ok = new QPushButton(QStringLiteral("确  定"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("退  出"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setAutoDefault(false);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    buttons->addWidget(m_port);

    auto *choices = new QVBoxLayout;
    choices->addWidget(series);
    choices->addWidget(order);
    choices->addWidget(hint);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(choices, 1);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &Form6::confirmRequested);
    connect(cancel, &QPushButton::clicked, this, &Form6::exitRequested);
}

bool Form6::rqx5Selected() const
{
    return m_rqx5->isChecked();
}

bool Form6::rqx2Selected() const
{
    return m_rqx2->isChecked();
}

bool Form6::nezSelected() const
{
    return m_nez->isChecked();
}

bool Form6::optionChecked(const QString &name) const
{
    const auto *option = findChild<QRadioButton *>(name);
    return option && option->isChecked();
}

void Form6::setPortName(const QString &portName)
{
    m_port->setText(portName);
}

void Form6::reject()
{
    emit exitRequested();
}
