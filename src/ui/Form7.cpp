#include "Form7.h"

#include "CommonDialog.h"
#include "CoordinateFileCommands.h"
#include "ListRepaintDeferral.h"
#include "MeasurementExportCommands.h"
#include "MessagePresenter.h"
#include "core/AppState.h"
#include "formats/FileText.h"
#include "formats/Rqx2MeasurementFile.h"
#include "rqx2/Rqx2MeasurementList.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString kErrorTitle = QStringLiteral("错误提示");
const QString kNoticeTitle = QStringLiteral("提示");
// The whole filter texts of the two dialogs; each names its pattern, which the dialog shows.
const QString kSaveFilter = QStringLiteral("文本文档(*.txt)");
const QString kOpenFilter = QStringLiteral("文本文件(*.txt)");
const QString kExtension = QStringLiteral(".txt");
const QString kLineEnd = QStringLiteral("\r\n");
constexpr int kTimerIntervalMs = 300;
// Without the width unit of the RQX5 measurement list, the list's own width is shared the same way.
constexpr int kListUnits = 19;
constexpr int kMinimumColumnWidth = 24;
} // namespace

Form7::Form7(AppState &state, MessagePresenter &messages, CommonDialog &dialog, QWidget *parent)
    : QWidget(parent), m_state(state), m_messages(messages), m_dialog(dialog)
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
    // A text box the window has, and nothing uses.
    auto *unused = new QLineEdit(this);
    unused->setObjectName(QStringLiteral("Text2"));
    unused->hide();
    auto *fields = new QHBoxLayout;
    fields->addWidget(countLabel);
    fields->addWidget(m_count);
    fields->addSpacing(16);
    fields->addWidget(m_fileName, 1);

    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("ListView1"));
    m_view->setModel(&m_list);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setShowGrid(false);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setHighlightSections(false);
    new ListRepaintDeferral(m_view);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Label4"));

    auto *left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(m_view, 1);
    left->addWidget(m_status);

    auto *frame = new QGroupBox(QStringLiteral("测量数据"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *commands = new QVBoxLayout(frame);
    commands->addWidget(makeButton("Command1", QStringLiteral("接收数据")));
    commands->addWidget(makeButton("Command2", QStringLiteral("保存数据")));
    commands->addWidget(makeButton("Command4", QStringLiteral("打开文件")));
    commands->addWidget(makeButton("ExportCoordinates", QStringLiteral("导出坐标")));
    commands->addWidget(makeButton("ExportTable", QStringLiteral("导出表格")));
    commands->addStretch();
    commands->addWidget(makeButton("Command3", QStringLiteral("退  出")));

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(frame);
    resize(1000, 600);

    connect(button(QStringLiteral("Command1")), &QPushButton::clicked, this, [this] {
        emit receiveRequested();
        button(QStringLiteral("Command1"))->setEnabled(false);
    });
    connect(button(QStringLiteral("Command2")), &QPushButton::clicked, this, &Form7::SaveRqx2MeasurementFile);
    connect(button(QStringLiteral("Command4")), &QPushButton::clicked, this, &Form7::OpenRqx2MeasurementFile);
    connect(button(QStringLiteral("Command3")), &QPushButton::clicked, this, [this] {
        if (m_end)
            m_end();
    });
    connect(&m_list, &QAbstractItemModel::modelReset, this, &Form7::applyColumnWidths);
    new MeasurementExportCommands(this, m_view, m_list, m_dialog, m_messages);

    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setParent(this);
    m_timer.setInterval(kTimerIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_timer.setInterval(kTimerIntervalMs); });
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
    const double unit =
        m_state.MeasureColumnUnit > 0 ? m_state.MeasureColumnUnit : m_view->width() / double(kListUnits);
    QHeaderView *header = m_view->horizontalHeader();
    const std::vector<MeasurementColumn> &columns = m_list.columns();
    for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
        const double width = columns[static_cast<size_t>(column)].width * unit;
        // A column of no width, the row's own number, is not seen.
        header->setSectionHidden(column, width <= 0);
        if (width > 0)
            header->resizeSection(column, std::max(kMinimumColumnWidth, static_cast<int>(width)));
    }
}

void Form7::SetupRqx2MeasurementList()
{
    m_list.setColumns(Rqx2MeasurementList::columns(m_state.nez()));
}

void Form7::SaveRqx2MeasurementFile()
{
    m_dialog.Filter = kSaveFilter;
    m_dialog.FileName.clear();
    m_dialog.FilterIndex = 1;
    if (!m_dialog.ShowSave(this))
        return;
    QString path = m_dialog.FileName;
    if (!path.endsWith(kExtension, Qt::CaseInsensitive))
        path += kExtension;
    // The file ends with one more line end, appended in place.
    QString text = Rqx2MeasurementFile::build(m_fileName->text(), m_list);
    text += kLineEnd;
    QString reason;
    if (!WriteFileAtomically(path, EncodeFile(text), &reason))
        error(path, reason);
}

void Form7::OpenRqx2MeasurementFile()
{
    m_dialog.Filter = kOpenFilter;
    m_dialog.FilterIndex = 1;
    // A cancelled dialog, or a file that cannot be read, leaves the list as it was.
    if (!m_dialog.ShowOpen(this))
        return;
    const QString path = m_dialog.FileName;
    QByteArray bytes;
    QString reason;
    if (!ReadFileBytes(path, &bytes, &reason)) {
        error(path, reason);
        return;
    }
    Rqx2MeasurementFile::Content content = Rqx2MeasurementFile::read(DecodeFileText(bytes));
    bytes = QByteArray();

    // The file name, the record stores and the record count stay as the last receive left them.
    SetupRqx2MeasurementList();
    m_list.append(std::move(content.rows));
    m_count->clear();
    if (content.skippedLines > 0) {
        m_messages.showMessage(
            this, kNoticeTitle,
            CoordinateFileCommands::skippedLinesNotice(content.skippedLines, content.firstSkippedLine));
    }
}

void Form7::error(const QString &path, const QString &reason)
{
    m_messages.showMessage(this, kErrorTitle, CoordinateFileCommands::fileError(path, reason));
}

void Form7::setProgress(const QString &text)
{
    m_count->setText(text);
}

void Form7::setFileName(const QString &text)
{
    m_fileName->setText(text);
}

void Form7::setStatus(const QString &text)
{
    m_status->setText(text);
}

void Form7::showMessage(const QString &title, const QString &text)
{
    m_messages.showMessage(this, title, text);
}

void Form7::bringWindowForward()
{
    show();
    raise();
    activateWindow();
}

void Form7::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_end)
        m_end();
}

void Form7::showEvent(QShowEvent *event)
{
    m_timer.start();
    QWidget::showEvent(event);
}

void Form7::hideEvent(QHideEvent *event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}
