#include "Form4.h"

#include "ListRepaintDeferral.h"
#include "PlanPane.h"
#include "PlanSources.h"
#include "PlanView.h"
#include "ReportListView.h"
#include "Rqx5MeasurementWindowEvents.h"
#include "rqx5/Rqx5MeasurementColumns.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr int kWidth = 1000;
constexpr int kHeight = 600;
// The boxes show a 9-character instrument number, a 6-character date and a k/n count whole.
constexpr int kShortBoxWidth = 110;

QFont boxFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun")});
    return font;
}
} // namespace

Form4::Form4(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("HYL-测量数据"));
    buildMenus();
    setCentralWidget(buildCentralWidget());
    // 查看(V) → 点位图: the measured points in plan beside the list.
    auto *plan = new PlanPane(this);
    findChild<QMenu *>(QStringLiteral("ViewMenu"))->addAction(plan->showAction());
    plan->view()->follow(&m_list, m_listView->selectionModel(), MeasurementListPlan(m_list));
    connect(plan->view(), &PlanView::rowChosen, this,
            [this](int row) { m_listView->scrollTo(m_list.index(row, 0)); });
    resize(kWidth, kHeight);

    connect(&m_list, &QAbstractItemModel::modelReset, this,
            [this] { m_listView->setColumnWidths(m_list.columns(), m_measureColumnUnit); });
}

void Form4::buildMenus()
{
    auto addEntry = [](QMenu *menu, const char *name, const QString &text) {
        QAction *entry = menu->addAction(text);
        entry->setObjectName(QLatin1String(name));
        return entry;
    };
    auto addSubmenu = [](QMenu *menu, const char *name, const QString &text) {
        QMenu *submenu = menu->addMenu(text);
        submenu->setObjectName(QLatin1String(name) + QStringLiteral("Menu"));
        submenu->menuAction()->setObjectName(QLatin1String(name));
        return submenu;
    };

    QMenu *file = menuBar()->addMenu(QStringLiteral("文件(F)"));
    file->setObjectName(QStringLiteral("FileMenu"));
    file->menuAction()->setObjectName(QStringLiteral("File"));
    QMenu *open = addSubmenu(file, "Open", QStringLiteral("打开(O)"));
    addEntry(open, "df", QStringLiteral("数据文件"));
    addEntry(open, "d", QStringLiteral("测量数据"));
    QMenu *save = addSubmenu(file, "Save", QStringLiteral("保存(S)"));
    addEntry(save, "dfs", QStringLiteral("数据文件"));
    addEntry(save, "ds", QStringLiteral("测量数据"));
    addEntry(file, "ExportCoordinates", QStringLiteral("导出坐标"));
    addEntry(file, "ExportTable", QStringLiteral("导出表格"));
    addEntry(file, "Q", QStringLiteral("退出(Q)"));

    QMenu *receive = menuBar()->addMenu(QStringLiteral("通讯(C)"));
    receive->setObjectName(QStringLiteral("RecMenu"));
    receive->menuAction()->setObjectName(QStringLiteral("Rec"));
    addEntry(receive, "DataFile_R", QStringLiteral("接收数据文件"));
    addEntry(receive, "Data_R", QStringLiteral("接收测量数据"));

    QMenu *view = menuBar()->addMenu(QStringLiteral("查看(V)"));
    view->setObjectName(QStringLiteral("ViewMenu"));
    view->menuAction()->setObjectName(QStringLiteral("View"));
}

QWidget *Form4::buildCentralWidget()
{
    auto *central = new QWidget(this);
    const QFont font = boxFont();
    auto label = [&](const char *name, const QString &text) {
        auto *l = new QLabel(text, central);
        l->setObjectName(QLatin1String(name));
        l->setFont(font);
        return l;
    };
    auto box = [&](const char *name, bool readOnly) {
        auto *edit = new QLineEdit(central);
        edit->setObjectName(QLatin1String(name));
        edit->setFont(font);
        edit->setReadOnly(readOnly);
        return edit;
    };

    // The date and the instrument number can be typed for measurements that come without a header.
    m_date = box("Text2", false);
    m_date->setMaximumWidth(kShortBoxWidth);
    auto *top = new QHBoxLayout;
    top->addWidget(label("Label3", QStringLiteral("创建日期：")));
    top->addWidget(m_date);
    top->addStretch();

    m_listView = new ReportListView(&m_list, central);

    auto *frame = new QGroupBox(central);
    frame->setObjectName(QStringLiteral("Frame1"));
    m_dataFile = new QRadioButton(QStringLiteral("数据文件"), frame);
    m_dataFile->setObjectName(QStringLiteral("Option1"));
    // One mode is always chosen, so "接 收" always does something.
    m_dataFile->setChecked(true);
    m_measurement = new QRadioButton(QStringLiteral("测量数据"), frame);
    m_measurement->setObjectName(QStringLiteral("Option2"));
    auto *commands = new QVBoxLayout(frame);
    commands->addWidget(m_dataFile);
    commands->addWidget(m_measurement);
    commands->addSpacing(16);
    for (auto [name, text] : {std::pair{"Command1", "接 收"}, {"Command2", "打 开"}, {"Command9", "保 存"}}) {
        auto *b = new QPushButton(QString::fromUtf8(text), frame);
        b->setObjectName(QLatin1String(name));
        commands->addWidget(b);
    }
    commands->addStretch();
    auto *leaveButton = new QPushButton(QStringLiteral("退 出"), frame);
    leaveButton->setObjectName(QStringLiteral("Command11"));
    commands->addWidget(leaveButton);

    auto *middle = new QHBoxLayout;
    middle->addWidget(m_listView, 1);
    middle->addWidget(frame);

    m_fileName = box("Text3", true);
    m_status = label("Label5", QString());
    m_count = box("Text1", true);
    m_count->setMaximumWidth(kShortBoxWidth);
    m_number = box("Text4", false);
    m_number->setMaximumWidth(kShortBoxWidth);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(label("Label1", QStringLiteral("文件名:")));
    bottom->addWidget(m_fileName, 2);
    bottom->addWidget(m_status, 1);
    bottom->addWidget(label("Label2", QStringLiteral("传输点数:")));
    bottom->addWidget(m_count);
    bottom->addWidget(label("Label4", QStringLiteral("仪器编号：")));
    bottom->addWidget(m_number);

    auto *layout = new QVBoxLayout(central);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
    layout->addLayout(createTransferProgress(central));
    return central;
}

int Form4::tableWidth()
{
    // A window never shown has had no resize event, so its layouts have not run yet: they are run
    // here, at the window's size, the outer one first.
    if (!isVisible()) {
        for (QLayout *l : {layout(), centralWidget()->layout()}) {
            l->invalidate();
            l->activate();
        }
    }
    return m_listView->width();
}

bool Form4::dataFileSelected() const
{
    return m_dataFile->isChecked();
}

bool Form4::measurementSelected() const
{
    return m_measurement->isChecked();
}

QString Form4::date() const
{
    return m_date->text();
}

QString Form4::instrumentNumber() const
{
    return m_number->text();
}

QAction *Form4::action(const QString &name) const
{
    return findChild<QAction *>(name);
}

QPushButton *Form4::button(const QString &name) const
{
    return findChild<QPushButton *>(name);
}

void Form4::leave()
{
    hide();
}

void Form4::setStatus(const QString &text)
{
    m_status->setText(text);
}

void Form4::setFileName(const QString &text)
{
    m_fileName->setText(text);
}

void Form4::setCount(const QString &text)
{
    m_count->setText(text);
}

void Form4::setDate(const QString &text)
{
    m_date->setText(text);
}

void Form4::setInstrumentNumber(const QString &text)
{
    m_number->setText(text);
}

const QString Form4::kDataFileLayout = QStringLiteral("rqx5-datafile");
const QString Form4::kMeasurementLayout = QStringLiteral("rqx5-measurement");

QString Form4::listLayout() const
{
    switch (m_list.columnCount()) {
    case Rqx5MeasurementColumns::kDataFileSubitems + 1:
        return kDataFileLayout;
    case Rqx5MeasurementColumns::kMeasurementSubitems + 1:
        return kMeasurementLayout;
    default:
        return QString();
    }
}

void Form4::setTransferColumns(const QString &layout, bool nez)
{
    if (layout == kDataFileLayout)
        SetRqx5DataFileColumns(m_list, nez);
    else
        SetRqx5MeasurementColumns(m_list, nez);
}

void Form4::selectMeasurementData()
{
    if (m_selectMeasurementData)
        m_selectMeasurementData();
}

bool Form4::showTransferEvent(const TransferEvent &event)
{
    return Rqx5MeasurementWindowEvents(*this).show(event);
}
