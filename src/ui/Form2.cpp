#include "Form2.h"

#include "FilteredLineEdit.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

Form2::Form2(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QString());
    setModal(true);

    using Filter = FilteredLineEdit::Filter;
    const Filter filters[5] = {Filter::PointNumber, Filter::None, Filter::Coordinate, Filter::Coordinate,
                               Filter::Coordinate};
    // Label1 and Label5 name the number and the name; Label2 and Label3 follow the coordinate order.
    const char *labelNames[5] = {"Label1", "Label5", "Label2", "Label3", "Label4"};
    const QString captions[5] = {QStringLiteral("点号"), QStringLiteral("点名"), QStringLiteral("坐标--N"),
                                 QStringLiteral("坐标--E"), QStringLiteral("坐标--Z")};
    auto *grid = new QGridLayout(this);
    QLabel *labels[5];
    for (int i = 0; i < 5; ++i) {
        labels[i] = new QLabel(captions[i], this);
        labels[i]->setObjectName(QLatin1String(labelNames[i]));
        m_fields[i] = new FilteredLineEdit(filters[i], this);
        m_fields[i]->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        labels[i]->setBuddy(m_fields[i]);
        grid->addWidget(labels[i], i, 0);
        grid->addWidget(m_fields[i], i, 1);
    }
    m_firstLabel = labels[2];
    m_secondLabel = labels[3];

    m_ok = new QPushButton(QStringLiteral("确  定"), this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    // Enter in a field commits nothing by itself: the user presses "确  定".
    m_ok->setAutoDefault(false);
    m_ok->setDefault(false);
    grid->addWidget(m_ok, 5, 0, 1, 2, Qt::AlignHCenter);
    connect(m_ok, &QPushButton::clicked, this, &Form2::commitRequested);
    setMinimumWidth(260);
}

void Form2::setCoordinateOrder(bool nez)
{
    m_firstLabel->setText(nez ? QStringLiteral("坐标--N") : QStringLiteral("坐标--E"));
    m_secondLabel->setText(nez ? QStringLiteral("坐标--E") : QStringLiteral("坐标--N"));
}

void Form2::showFields(const PointFields &fields)
{
    const QString *texts[5] = {&fields.number, &fields.name, &fields.first, &fields.second, &fields.height};
    for (int i = 0; i < 5; ++i)
        m_fields[i]->setText(*texts[i]);
    m_fields[0]->setFocus();
    show();
    raise();
    activateWindow();
}

PointFields Form2::fields() const
{
    return {m_fields[0]->text(), m_fields[1]->text(), m_fields[2]->text(), m_fields[3]->text(),
            m_fields[4]->text()};
}
