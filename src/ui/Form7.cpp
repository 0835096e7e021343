#include "Form7.h"

#include "ListRepaintDeferral.h"
#include "PlanSources.h"
#include "PlanView.h"
#include "ReportListView.h"
#include "Rqx2MeasurementWindowEvents.h"
#include "rqx2/Rqx2MeasurementList.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// Without the width unit of the RQX5 measurement list, the list's own width is shared the same way.
constexpr int kListUnits = 19;
} // namespace

Form7::Form7(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("测量数据"));

    auto *countLabel = new QLabel(QStringLiteral("点数:"), this);
    countLabel->setObjectName(QStringLiteral("Label2"));
    m_count = new QLineEdit(this);
    m_count->setObjectName(QStringLiteral("Text1"));
    m_count->setReadOnly(true);
    m_count->setMaximumWidth(140);
    m_fileName = new QLabel(this);
    m_fileName->setObjectName(QStringLiteral("Label1"));
    auto *fields = new QHBoxLayout;
    fields->addWidget(countLabel);
    fields->addWidget(m_count);
    fields->addSpacing(16);
    fields->addWidget(m_fileName, 1);

    m_view = new ReportListView(&m_list, this);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Label4"));

    auto *left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(m_view, 1);
    left->addWidget(m_status);
    left->addLayout(createTransferProgress(this));

    auto *frame = new QGroupBox(QStringLiteral("测量数据"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *commands = new QVBoxLayout(frame);
    commands->addWidget(makeButton("Command1", QStringLiteral("接收数据")));
    commands->addWidget(makeButton("Command2", QStringLiteral("保存数据")));
    commands->addWidget(makeButton("Command4", QStringLiteral("打开文件")));
    commands->addWidget(makeButton("ExportCoordinates", QStringLiteral("导出坐标")));
    commands->addWidget(makeButton("ExportTable", QStringLiteral("导出表格")));
    commands->addWidget(buildPlanToggle());
    commands->addStretch();
    commands->addWidget(makeButton("Command3", QStringLiteral("退  出")));

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(m_plan, 1);
    layout->addWidget(frame);
    resize(1000, 600);

    connect(&m_list, &QAbstractItemModel::modelReset, this, &Form7::applyColumnWidths);
}

// 点位图: the measured points in plan between the list and the buttons, shown and hidden by the
// checkable action ShowPlanView that the button carries; a point clicked there is the row shown.
QToolButton *Form7::buildPlanToggle()
{
    m_plan = new PlanView(this);
    m_plan->hide();
    m_plan->follow(&m_list, m_view->selectionModel(), MeasurementListPlan(m_list));
    connect(m_plan, &PlanView::rowChosen, this, [this](int row) { m_view->scrollTo(m_list.index(row, 0)); });
    auto *show = new QAction(QStringLiteral("点位图"), this);
    show->setObjectName(QStringLiteral("ShowPlanView"));
    show->setCheckable(true);
    connect(show, &QAction::toggled, m_plan, &QWidget::setVisible);
    auto *toggle = new QToolButton(this);
    toggle->setObjectName(QStringLiteral("PlanViewButton"));
    toggle->setDefaultAction(show);
    toggle->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toggle->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return toggle;
}

QPushButton *Form7::makeButton(const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    return b;
}

QPushButton *Form7::button(const QString &name) const
{
    return findChild<QPushButton *>(name);
}

void Form7::applyColumnWidths()
{
    m_view->setColumnWidths(m_list.columns(), m_measureColumnUnit > 0 ? m_measureColumnUnit
                                                                      : m_view->width() / double(kListUnits));
}

void Form7::SetupRqx2MeasurementList(bool nez)
{
    m_list.setColumns(Rqx2MeasurementList::columns(nez));
}

void Form7::setProgress(const QString &text)
{
    m_count->setText(text);
}

bool Form7::showTransferEvent(const TransferEvent &event)
{
    const bool shown = Rqx2MeasurementWindowEvents(*this).show(event);
    // The save writes the caption of the file received as its first line.
    if (std::holds_alternative<TransferEvents::FileAnnounced>(event))
        m_fileNameText = m_fileName->text();
    return shown;
}

void Form7::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_end)
        m_end();
}
