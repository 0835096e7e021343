#include "Form1.h"

#include "Form2.h"
#include "Form5.h"
#include "ListRepaintDeferral.h"
#include "MainWindowEvents.h"
#include "MessagePresenter.h"
#include "PlanPane.h"
#include "PlanSources.h"
#include "PlanView.h"
#include "ReportListView.h"
#include "core/CoordinateTableModel.h"
#include "core/MessageTitles.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr int kTitleToVersionSpaces = 3;
constexpr int kVersionToMakerSpaces = 54;
// The point-number column is 480 twips narrower than three units (1440 twips to the inch).
constexpr double kNumberColumnShortfallTwips = 480;
constexpr double kTwipsPerInch = 1440;
constexpr int kListUnits = 18;
} // namespace

Form1::Form1(CoordinateTableModel &table, MessagePresenter &messages, std::function<bool()> nez,
             QWidget *parent)
    : QMainWindow(parent), m_table(table), m_messages(messages), m_operations(table, std::move(nez))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(caption());
    buildMenus();
    setCentralWidget(buildCentralWidget());
    buildPlanPane();
    resize(900, 600);

    m_editor = new Form2(this);
    m_instructions = new Form5(this);
    connect(m_editor, &Form2::commitRequested, this, &Form1::CommitPointEditor);

    connect(action(QStringLiteral("Exit")), &QAction::triggered, this, &Form1::endProgram);
    connect(action(QStringLiteral("New")), &QAction::triggered, this, &Form1::NewPoint);
    connect(action(QStringLiteral("Remend")), &QAction::triggered, this, &Form1::ChangeSelectedPoint);
    connect(action(QStringLiteral("Del")), &QAction::triggered, this, &Form1::DeleteSelectedPoint);
    connect(action(QStringLiteral("Edit_S")), &QAction::triggered, this, &Form1::ClearTable);
    connect(action(QStringLiteral("About")), &QAction::triggered, this, &Form1::showInstructions);
    connect(button(QStringLiteral("Command5")), &QPushButton::clicked, this, &Form1::FillSampleRows);
    connect(button(QStringLiteral("Command6")), &QPushButton::clicked, this, &Form1::ChangeSelectedPoint);
    connect(button(QStringLiteral("Command7")), &QPushButton::clicked, this, &Form1::NewPoint);
    connect(button(QStringLiteral("Command8")), &QPushButton::clicked, this, &Form1::DeleteSelectedPoint);
    connect(button(QStringLiteral("Command11")), &QPushButton::clicked, this, &Form1::endProgram);

    connect(&m_table, &QAbstractItemModel::modelReset, this, [this] {
        applyViewMode();
        applyColumnWidths();
        keepARowSelected();
    });
    connect(&m_table, &QAbstractItemModel::rowsInserted, this, &Form1::keepARowSelected);
    connect(&m_table, &QAbstractItemModel::rowsRemoved, this, &Form1::keepARowSelected);
    applyViewMode();
}

QString Form1::caption()
{
    return QStringLiteral("HYLRQX2和RQX5系列全站仪通讯软件") + QString(kTitleToVersionSpaces, u' ') +
           QStringLiteral("V1.31_151030") + QString(kVersionToMakerSpaces, u' ') + QStringLiteral("HYL");
}

void Form1::buildMenus()
{
    auto addEntry = [this](QMenu *menu, const char *name, const QString &text,
                           const QKeySequence &keys = {}) {
        QAction *entry = menu->addAction(text);
        entry->setObjectName(QLatin1String(name));
        entry->setShortcut(keys);
        return entry;
    };

    QMenu *file = menuBar()->addMenu(QStringLiteral("文件"));
    file->setObjectName(QStringLiteral("FileMenu"));
    addEntry(file, "Open", QStringLiteral("打开  "), QKeySequence(Qt::CTRL | Qt::Key_O));
    addEntry(file, "ImportDrawingPoints", QStringLiteral("从CAD图形导入点"));
    addEntry(file, "Save", QStringLiteral("保存"), QKeySequence(Qt::CTRL | Qt::Key_S));
    addEntry(file, "Exit", QStringLiteral("退出  "), QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu *edit = menuBar()->addMenu(QStringLiteral("编辑"));
    edit->setObjectName(QStringLiteral("EditMenu"));
    addEntry(edit, "New", QStringLiteral("新建"), QKeySequence(Qt::CTRL | Qt::Key_N));
    addEntry(edit, "Remend", QStringLiteral("修改"), QKeySequence(Qt::CTRL | Qt::Key_M));
    addEntry(edit, "Del", QStringLiteral("删除"), QKeySequence(Qt::Key_Delete));
    addEntry(edit, "Edit_S", QStringLiteral("清除"), QKeySequence(Qt::CTRL | Qt::Key_C));

    QMenu *comm = menuBar()->addMenu(QStringLiteral("通讯"));
    comm->setObjectName(QStringLiteral("CommMenu"));
    QMenu *coordinates = comm->addMenu(QStringLiteral("坐标数据"));
    coordinates->setObjectName(QStringLiteral("ZBDataSendMenu"));
    coordinates->menuAction()->setObjectName(QStringLiteral("ZBDataSend"));
    addEntry(coordinates, "RecZB", QStringLiteral("接收"));
    addEntry(coordinates, "SendZB", QStringLiteral("发送"));
    addEntry(comm, "CLSend", QStringLiteral("测量数据"));
    addEntry(comm, "COM_Set", QStringLiteral("端口设置"));

    QMenu *view = menuBar()->addMenu(QStringLiteral("查看"));
    view->setObjectName(QStringLiteral("ViewMenu"));

    QMenu *help = menuBar()->addMenu(QStringLiteral("帮助"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    addEntry(help, "About", QStringLiteral("关于"));
    addEntry(help, "SessionLogs", QStringLiteral("通讯记录"));
}

// 查看 → 点位图: the table in plan beside the list; a point clicked there is the row shown in the list.
void Form1::buildPlanPane()
{
    m_planPane = new PlanPane(this);
    findChild<QMenu *>(QStringLiteral("ViewMenu"))->addAction(m_planPane->showAction());
    PlanView *plan = m_planPane->view();
    plan->follow(&m_table, m_list->selectionModel(), CoordinateTablePlan(m_table));
    connect(plan, &PlanView::rowChosen, this, [this](int row) { m_list->scrollTo(m_table.index(row, 0)); });
}

QPushButton *Form1::makeButton(const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    return b;
}

QWidget *Form1::buildCentralWidget()
{
    auto *central = new QWidget(this);

    m_countLabel = new QLabel(QStringLiteral("点数:"), central);
    m_countLabel->setObjectName(QStringLiteral("Label2"));
    m_count = new QLineEdit(central);
    m_count->setObjectName(QStringLiteral("Text1"));
    m_count->setReadOnly(true);
    m_count->setMaximumWidth(140);
    m_fileLabel = new QLabel(QStringLiteral("文件:"), central);
    m_fileLabel->setObjectName(QStringLiteral("Label1"));
    m_fileName = new QLineEdit(central);
    m_fileName->setObjectName(QStringLiteral("Text3"));
    m_fileName->setReadOnly(true);
    auto *fields = new QHBoxLayout;
    fields->addWidget(m_countLabel);
    fields->addWidget(m_count);
    fields->addSpacing(16);
    fields->addWidget(m_fileLabel);
    fields->addWidget(m_fileName, 1);
    // Keeps the point count beside its label when the file name is switched off.
    fields->addStretch(0);

    m_list = new ReportListView(&m_table, central);
    m_list->installEventFilter(this);

    m_status = new QLabel(central);
    m_status->setObjectName(QStringLiteral("Label4"));
    m_testing = new QLabel(QStringLiteral("通讯测试中..."), central);
    m_testing->setObjectName(QStringLiteral("Label3"));
    m_testing->hide();
    auto *statusLine = new QHBoxLayout;
    statusLine->addWidget(m_status, 1);
    statusLine->addWidget(m_testing);

    auto *left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(m_list, 1);
    left->addLayout(statusLine);
    left->addLayout(createTransferProgress(central));

    auto *dataType = new QGroupBox(central);
    dataType->setObjectName(QStringLiteral("Frame1"));
    m_coordinateData = new QRadioButton(QStringLiteral("坐标数据"), dataType);
    m_coordinateData->setObjectName(QStringLiteral("Option1"));
    m_coordinateData->setChecked(true);
    m_measurementData = new QRadioButton(QStringLiteral("测量数据"), dataType);
    m_measurementData->setObjectName(QStringLiteral("Option3"));
    auto *typeLayout = new QVBoxLayout(dataType);
    typeLayout->addWidget(m_coordinateData);
    typeLayout->addWidget(m_measurementData);

    auto *right = new QVBoxLayout;
    right->addWidget(dataType);
    for (auto [name, text] : {std::pair{"Command7", "新 建"},
                              {"Command6", "修 改"},
                              {"Command8", "删 除"},
                              {"Command10", "打 开"},
                              {"Command9", "保 存"}}) {
        right->addWidget(makeButton(name, QString::fromUtf8(text)));
    }
    right->addSpacing(16);
    right->addWidget(makeButton("Command4", QStringLiteral("连接测试")));
    right->addWidget(makeButton("Command12", QStringLiteral("打开串口")));
    right->addStretch();
    right->addWidget(makeButton("Command11", QStringLiteral("退 出")));

    // Commands for trying the link and the table by hand; they work but have no place on the window.
    for (auto [name, text] : {std::pair{"Command1", "发送命令1"},
                              {"Command13", "发送命令2"},
                              {"Command2", "发 送"},
                              {"Command3", "发 送"},
                              {"Command5", "List"}}) {
        QPushButton *spare = makeButton(name, QString::fromUtf8(text));
        spare->setParent(central);
        spare->hide();
    }

    auto *layout = new QHBoxLayout(central);
    layout->addLayout(left, 1);
    layout->addLayout(right);
    return central;
}

void Form1::load()
{
    m_operations.reset();
    m_listColumnUnit = m_list->width() / double(kListUnits);
    if (m_loadMeasureWindow)
        m_loadMeasureWindow();
    m_loaded = true;
}

void Form1::switchOffFileName()
{
    m_fileLabel->hide();
    m_fileName->hide();
}

QAction *Form1::action(const QString &name) const
{
    return findChild<QAction *>(name);
}

QPushButton *Form1::button(const QString &name) const
{
    return findChild<QPushButton *>(name);
}

int Form1::selectedRow() const
{
    const QItemSelectionModel *selection = m_list->selectionModel();
    const QModelIndexList rows = selection->selectedRows(m_table.isPlainList() ? 0 : 1);
    if (!rows.isEmpty())
        return rows.first().row() + 1;
    const QModelIndex current = selection->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void Form1::keepARowSelected()
{
    // As in a report list, some row is always selected while the table has rows, so the change and
    // delete commands always have a row to work on.
    if (m_table.rowCount() == 0 || m_table.columnCount() == 0)
        return;
    QItemSelectionModel *selection = m_list->selectionModel();
    QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isRowSelected(current.row(), {}))
        return;
    if (!current.isValid())
        current = m_table.index(0, m_table.isPlainList() ? 0 : 1);
    selection->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void Form1::applyColumnWidths()
{
    m_listColumnUnit = m_list->width() / double(kListUnits);
    if (m_table.columnCount() != CoordinateTableModel::kColumnCount)
        return;
    const double unit = m_listColumnUnit;
    const double shortfall = kNumberColumnShortfallTwips * logicalDpiX() / kTwipsPerInch;
    QHeaderView *header = m_list->horizontalHeader();
    // The sequence column is practically hidden.
    header->setSectionHidden(0, true);
    for (int column = 1; column < CoordinateTableModel::kColumnCount; ++column) {
        double width = CoordinateTableModel::relativeWidth(column) * unit;
        if (column == 1)
            width -= shortfall;
        header->resizeSection(column, std::max(ReportListView::kMinimumColumnWidth, static_cast<int>(width)));
    }
}

void Form1::applyViewMode()
{
    // Without columns the list is a plain list of items: no headers, each item one line as wide as
    // the list (the lines of a file read without fields).
    QHeaderView *header = m_list->horizontalHeader();
    header->setVisible(m_table.hasColumns());
    header->setStretchLastSection(m_table.isPlainList());
    if (m_table.isPlainList())
        header->setSectionHidden(0, false);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::Resize)
        applyColumnWidths();
    return QMainWindow::eventFilter(watched, event);
}

void Form1::error(QWidget *parent, const QString &text)
{
    m_messages.showMessage(parent, MessageTitles::kError, text);
}

void Form1::setEditButtonsEnabled(bool enabled)
{
    button(QStringLiteral("Command6"))->setEnabled(enabled);
    button(QStringLiteral("Command8"))->setEnabled(enabled);
}

void Form1::refreshCount()
{
    m_count->setText(QString::number(m_table.count()));
}

void Form1::NewPoint()
{
    const auto type = m_coordinateData->isChecked()    ? TableOperations::DataType::Coordinates
                      : m_measurementData->isChecked() ? TableOperations::DataType::Measurements
                                                       : TableOperations::DataType::None;
    const QString refusal = m_operations.NewPoint(type);
    if (!refusal.isEmpty()) {
        error(this, refusal);
        return;
    }
    m_editRow = QPersistentModelIndex();
    const QString zero = QStringLiteral("0.0000");
    m_editor->showFields({QString(), QString(), zero, zero, zero});
}

void Form1::ChangeSelectedPoint()
{
    const int row = selectedRow();
    const QString refusal = m_operations.ChangeSelectedPoint(row);
    if (!refusal.isEmpty()) {
        error(this, refusal);
        return;
    }
    // Followed through inserts and removals, and lost when the table is rebuilt under the editor.
    m_editRow = QPersistentModelIndex(m_table.index(row - 1, 1));
    const CoordinatePoint point = m_table.point(row);
    m_editor->showFields({point.number, point.name, point.first, point.second, point.height});
}

void Form1::CommitPointEditor()
{
    const int editRow = m_editRow.isValid() ? m_editRow.row() + 1 : 0;
    const TableOperations::CommitResult result = m_operations.CommitPointEditor(m_editor->fields(), editRow);
    if (!result.message.isEmpty())
        error(m_editor, result.message);
    if (result.keepEditorOpen)
        return;
    refreshCount();
    setEditButtonsEnabled(m_operations.editButtonsEnabledAfterCommit());
    m_editor->hide();
}

void Form1::DeleteSelectedPoint()
{
    const QString refusal = m_operations.DeleteSelectedPoint(selectedRow());
    if (!refusal.isEmpty()) {
        error(this, refusal);
        return;
    }
    setEditButtonsEnabled(m_table.count() > 0);
    refreshCount();
}

void Form1::ClearTable()
{
    m_operations.ClearTable();
    m_count->clear();
    setFileName(QString());
}

void Form1::FillSampleRows()
{
    m_operations.FillSampleRows();
}

void Form1::showInstructions()
{
    m_instructions->showInstructions();
}

void Form1::setProgress(const QString &text)
{
    m_count->setText(text);
}

void Form1::setFileName(const QString &text)
{
    m_fileNameText = text;
    m_fileName->setText(text);
}

void Form1::setStatus(const QString &text)
{
    m_status->setText(text);
}

bool Form1::portShownClosed() const
{
    return button(QStringLiteral("Command12"))->text() == QStringLiteral("打开串口");
}

bool Form1::showTransferEvent(const TransferEvent &event)
{
    const bool shown = MainWindowEvents(*this, m_table).show(event);
    // The older save offers the name of the file the instrument announced.
    if (const auto *file = std::get_if<TransferEvents::FileAnnounced>(&event))
        m_fileNameText = file->name;
    return shown;
}

void Form1::endProgram()
{
    if (m_end)
        m_end();
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    endProgram();
}
