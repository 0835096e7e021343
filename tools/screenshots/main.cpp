// rqxcomm-screenshots: takes the README's pictures of the program's real windows. It builds the
// program as main() does, on the real serial link against the instrument simulator, works it as a
// surveyor would (start, selection, coordinate receive and send, the plan, file conversion, a drawing
// imported) and saves a picture of the screen around the windows at each step. scripts/screenshots runs it
// under Xvfb.
//
//   rqxcomm-screenshots --simulator PATH --output DIR
//
// A new picture is one more step in main(): do what the surveyor does, wait for what the surveyor
// waits for, then shots.save("name", {windows}). A message box or a file dialog that a step opens is
// met by expect() before the step opens it.
#include "rqx2/Rqx2Series.h"
#include "rqx5/Rqx5Series.h"
#include "serial/PortOpenFailure.h"
#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Form4.h"
#include "ui/Form6.h"
#include "ui/Form7.h"
#include "ui/MessageBoxPresenter.h"
#include "ui/PlanView.h"
#include "ui/QtTexts.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>

namespace {

// Long enough for any step on a loaded machine; only a real fault reaches it.
constexpr int kStepTimeoutMs = 120000;
// Time for a window that has just been shown or changed to be painted before its picture is taken.
constexpr int kPaintMs = 400;

// The simulator running, if any: a simulator left without its keyboard would play on for ever.
QProcess *s_simulator = nullptr;

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "rqxcomm-screenshots: %s\n", what.toLocal8Bit().constData());
    if (s_simulator) {
        s_simulator->kill();
        s_simulator->waitForFinished(5000);
    }
    std::exit(1);
}

// Lets the program run (the link, the simulator's bytes, painting) for ms milliseconds.
void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

void waitUntil(const QString &what, const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > kStepTimeoutMs)
            fail(QStringLiteral("gave up waiting for ") + what);
        settle(20);
    }
}

// Pictures of the screen around windows, saved as DIR/name.png.
class Shots {
public:
    explicit Shots(const QString &dir) : m_dir(dir) {}

    void save(const QString &name, const QList<QWidget *> &windows) const
    {
        // A window that has just changed size is placed again by the window manager: taken when the
        // windows have kept their places for a while.
        QRect area;
        for (QRect before;; before = area) {
            settle(kPaintMs);
            area = QRect();
            for (QWidget *w : windows)
                area = area.united(w->frameGeometry());
            if (area == before)
                break;
        }
        const QPixmap picture =
            QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        const QString path = m_dir.filePath(name + QStringLiteral(".png"));
        if (picture.isNull() || !picture.save(path))
            fail(QStringLiteral("cannot save ") + path);
        std::printf("%s\n", path.toLocal8Bit().constData());
    }

private:
    QDir m_dir;
};

// Meets the modal windows the program opens (message boxes by title, file dialogs by their kind):
// runs what was expected while the window is up, then closes it as the surveyor would.
class ModalWatcher : public QObject {
public:
    using Handler = std::function<void(QDialog *)>;

    ModalWatcher()
    {
        connect(&m_tick, &QTimer::timeout, this, &ModalWatcher::check);
        m_tick.start(20);
    }

    // The next window titled title gets handler; true once it has been met.
    void expect(const QString &title, Handler handler)
    {
        m_expected[title] = std::move(handler);
        m_met.remove(title);
    }
    bool met(const QString &title) const { return m_met.contains(title); }

private:
    void check()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (m_busy || !dialog || !dialog->isVisible())
            return;
        m_busy = true;
        const QString title = dialog->windowTitle();
        const auto expected = m_expected.find(title);
        if (expected != m_expected.end()) {
            const Handler handler = std::move(expected->second);
            m_expected.erase(expected);
            handler(dialog);
        } else {
            std::fprintf(stderr, "closing an unexpected window: %s\n", title.toLocal8Bit().constData());
        }
        m_met.insert(title);
        if (dialog->isVisible()) {
            if (auto *box = qobject_cast<QMessageBox *>(dialog))
                box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->accept();
            else
                dialog->accept();
        }
        m_busy = false;
    }

    QTimer m_tick;
    bool m_busy = false;
    std::map<QString, Handler> m_expected;
    QSet<QString> m_met;
};

// The instrument: rqxsim in its demo, taking the commands a person would type.
class Instrument {
public:
    Instrument(const QString &program, const SeriesTable &series) : m_series(series)
    {
        m_process.setProgram(program);
        m_process.setArguments({QStringLiteral("--series"), series.simulatorSeries, QStringLiteral("--demo"),
                                QStringLiteral("--device-dir"), m_devices.path()});
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        s_simulator = &m_process;
        waitUntil(QStringLiteral("the simulator"), [this] {
            m_process.waitForReadyRead(10);
            m_out += m_process.readAllStandardOutput();
            if (m_process.state() == QProcess::NotRunning)
                fail(QStringLiteral("the simulator ended: ") +
                     QString::fromLocal8Bit(m_process.readAllStandardError()));
            return m_out.contains("ready ");
        });
    }
    ~Instrument()
    {
        type(QStringLiteral("quit"));
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        s_simulator = nullptr;
    }

    QString deviceDir() const { return m_devices.path(); }
    // The transfer that plays the instrument's side of the program's command, with its arguments.
    void play(SeriesTable::Command command, const QString &arguments)
    {
        type(m_series.simulatorAction(command) + u' ' + arguments);
    }
    void type(const QString &line)
    {
        m_process.write(line.toLocal8Bit() + '\n');
        m_process.waitForBytesWritten(1000);
    }
    // The simulator has reported text (its reports go to its standard error).
    bool reported(const QString &text)
    {
        m_reports += QString::fromLocal8Bit(m_process.readAllStandardError());
        return m_reports.contains(text);
    }

private:
    const SeriesTable &m_series;
    QTemporaryDir m_devices;
    QProcess m_process;
    QByteArray m_out;
    QString m_reports;
};

template <class T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        fail(QStringLiteral("no ") + QLatin1String(name) + QStringLiteral(" in ") + window->objectName());
    return found;
}

QString text(QWidget *window, const char *name)
{
    if (auto *label = window->findChild<QLabel *>(QLatin1String(name)))
        return label->text();
    return child<QLineEdit>(window, name)->text();
}

// The points the instrument holds: a small control survey.
bool writePoints(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const char *points[] = {"1,K1,3365482.125,512347.880,45.320",   "2,K2,3365517.902,512402.115,45.918",
                            "3,K3,3365560.447,512371.063,46.205",   "4,BM1,3365498.310,512455.742,44.871",
                            "5,A12,3365531.664,512488.209,47.036",  "6,A13,3365574.128,512463.551,46.772",
                            "7,C1,3365610.905,512421.337,45.604",   "8,C2,3365642.771,512389.004,45.118",
                            "9,JD3,3365655.019,512442.680,44.963",  "10,JD4,3365688.236,512470.914,45.487",
                            "11,P21,3365701.552,512512.390,46.109", "12,P22,3365729.847,512538.126,46.650"};
    for (const char *line : points)
        file.write(QByteArray(line) + '\n');
    return true;
}

// A designer's drawing of a road's centre line (R2013, its texts in UTF-8): a stake every 25 m as a
// block reference carrying its chainage, name and design height as attributes, the line between them.
bool writeDesignDrawing(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QString dxf = QStringLiteral("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1027\n0\nENDSEC\n"
                                 "0\nSECTION\n2\nENTITIES\n");
    constexpr int kStakes = 15;
    double lastE = 0, lastN = 0;
    for (int k = 0; k < kStakes; ++k) {
        const double e = 512350 + 25 * k;
        const double n = 3365480 + 10 * k + 60 * std::sin(k * M_PI / (kStakes - 1));
        const QString east = QString::number(e, 'f', 3), north = QString::number(n, 'f', 3);
        if (k > 0)
            dxf += QStringLiteral("0\nLINE\n8\n中线\n10\n%1\n20\n%2\n11\n%3\n21\n%4\n")
                       .arg(lastE, 0, 'f', 3)
                       .arg(lastN, 0, 'f', 3)
                       .arg(east, north);
        dxf +=
            QStringLiteral("0\nINSERT\n8\n中桩\n2\nSTAKE\n66\n1\n10\n%1\n20\n%2\n30\n0\n").arg(east, north);
        dxf += QStringLiteral("0\nATTRIB\n10\n%1\n20\n%2\n40\n2\n2\n点号\n1\nK0+%3\n")
                   .arg(east, north)
                   .arg(25 * k, 3, 10, QChar(u'0'));
        dxf += QStringLiteral("0\nATTRIB\n10\n%1\n20\n%2\n40\n2\n2\n点名\n1\n中桩\n").arg(east, north);
        dxf += QStringLiteral("0\nATTRIB\n10\n%1\n20\n%2\n40\n2\n2\n高程\n1\n%3\n0\nSEQEND\n")
                   .arg(east, north)
                   .arg(45.3 + 0.085 * k, 0, 'f', 3);
        lastE = e;
        lastN = n;
    }
    dxf += QStringLiteral("0\nENDSEC\n0\nEOF\n");
    return file.write(dxf.toUtf8()) > 0;
}

// A picture of the main window with 点位图 shown beside its table, a row chosen: the window made wide
// enough for both, and put back as it was afterwards.
void savePlan(const Shots &shots, const QString &name, Form1 *main, int row)
{
    const QSize size = main->size();
    main->resize(1260, 640);
    QAction *show = main->action(QStringLiteral("ShowPlanView"));
    show->trigger();
    auto *plan = child<PlanView>(main, "PlanView");
    const int rows = main->tableView()->model()->rowCount();
    waitUntil(QStringLiteral("the plan"), [&] { return plan->isVisible() && plan->pointCount() == rows; });
    main->tableView()->selectRow(row);
    shots.save(name, {main});
    show->trigger();
    main->resize(size);
}

// The start as the surveyor makes it: the notice, the series (RQX5 or RQX2) and the order NEZ chosen,
// the cable found; the main window placed at the top left. shots, when given, pictures each step.
Form1 *startProgram(Application &program, ModalWatcher &modal, bool rqx5, const Shots *shots)
{
    modal.expect(QStringLiteral("提示："), [&](QDialog *box) {
        if (shots)
            shots->save(QStringLiteral("start-notice"), {box});
    });
    program.start();
    Form6 *selection = program.selectionDialog();
    child<QRadioButton>(selection, rqx5 ? "Option4" : "Option3")->setChecked(true);
    child<QRadioButton>(selection, "Option1")->setChecked(true);
    if (shots)
        shots->save(QStringLiteral("selection"), {selection});
    modal.expect(QStringLiteral("通讯电缆已连接"), [&](QDialog *box) {
        if (shots)
            shots->save(QStringLiteral("cable-found"), {selection, box});
    });
    child<QPushButton>(selection, "OKButton")->click();
    Form1 *main = program.mainWindow();
    waitUntil(QStringLiteral("the main window"), [&] { return main->isVisible(); });
    main->move(0, 0);
    return main;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rqxcomm"));
    QApplication::setQuitOnLastWindowClosed(false);
    InstallChineseQtTexts(app);
    QString simulator, output;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--simulator"))
            simulator = args[i + 1];
        else if (args[i] == QLatin1String("--output"))
            output = args[i + 1];
    }
    if (simulator.isEmpty() || output.isEmpty() || !QDir().mkpath(output))
        fail(QStringLiteral("usage: rqxcomm-screenshots --simulator PATH --output DIR"));

    QTemporaryDir work;
    const QString pointsFile = work.filePath(QStringLiteral("K-survey.txt"));
    if (!writePoints(pointsFile))
        fail(QStringLiteral("cannot write ") + pointsFile);
    // The surveyor's folder of field data, where the table is saved.
    const QString files = work.filePath(QStringLiteral("外业数据"));
    if (!QDir().mkpath(files) ||
        !QFile::copy(pointsFile, QDir(files).filePath(QStringLiteral("导线点.hyl"))) ||
        !QFile::copy(pointsFile, QDir(files).filePath(QStringLiteral("K-survey.hyl"))))
        fail(QStringLiteral("cannot fill ") + files);
    Shots shots(output);
    ModalWatcher modal;
    Instrument instrument(simulator, Rqx5Series::table());
    MessageBoxPresenter messages;
    bool ended = false;
    Application program(instrument.deviceDir(), messages, [&ended] { ended = true; });

    // Start: the notice, the selection dialog, the cable found.
    Form1 *main = startProgram(program, modal, true, &shots);

    // Coordinate receive: 接收 on the program, then the instrument sends.
    modal.expect(QStringLiteral("成功"), [&](QDialog *box) {
        shots.save(QStringLiteral("coordinate-receive"), {main, box});
    });
    main->action(QStringLiteral("RecZB"))->trigger();
    waitUntil(QStringLiteral("the receive to be armed"),
              [&] { return text(main, "Label4") == QStringLiteral("等待接收坐标数据..."); });
    instrument.play(SeriesTable::Command::CoordinateReceive, pointsFile);
    waitUntil(QStringLiteral("the coordinate receive"), [&] { return modal.met(QStringLiteral("成功")); });
    // The points received, in plan: 查看 → 点位图.
    savePlan(shots, QStringLiteral("plan-received"), main, 4);

    // Coordinate send: the instrument is made ready to receive first, then 发送 on the program.
    const QString received = work.filePath(QStringLiteral("received.txt"));
    instrument.play(SeriesTable::Command::CoordinateSend, received);
    waitUntil(QStringLiteral("the instrument to wait"),
              [&] { return instrument.reported(received + QStringLiteral(" ...")); });
    {
        // The way to the command: 通讯, 坐标数据, 发送.
        auto *comm = child<QMenu>(main, "CommMenu");
        auto *coordinates = child<QMenu>(main, "ZBDataSendMenu");
        main->menuBar()->setActiveAction(comm->menuAction());
        waitUntil(QStringLiteral("the menu"), [&] { return comm->isVisible(); });
        comm->setActiveAction(coordinates->menuAction());
        waitUntil(QStringLiteral("the submenu"), [&] { return coordinates->isVisible(); });
        coordinates->setActiveAction(main->action(QStringLiteral("SendZB")));
        shots.save(QStringLiteral("coordinate-send"), {main, comm, coordinates});
        coordinates->hide();
        comm->hide();
    }
    main->action(QStringLiteral("SendZB"))->trigger();
    waitUntil(QStringLiteral("the coordinate send"),
              [&] { return instrument.reported(received + QStringLiteral(": ")); });
    if (!instrument.reported(received + QStringLiteral(": done")))
        fail(QStringLiteral("the coordinate send failed"));

    // A receive the surveyor watches: the instrument stops after its fifth point, the bar and the
    // time left stand, and 停止传输 ends the receive with the points taken.
    main->action(QStringLiteral("RecZB"))->trigger();
    waitUntil(QStringLiteral("the receive to be armed again"),
              [&] { return text(main, "Label4") == QStringLiteral("等待接收坐标数据..."); });
    instrument.play(SeriesTable::Command::CoordinateReceive, pointsFile + QStringLiteral(" --fall-silent 5"));
    waitUntil(QStringLiteral("the fifth point"), [&] {
        auto *bar = child<QProgressBar>(main, "TransferProgress");
        return bar->isVisible() && bar->value() == 5 && !text(main, "TransferTimeLeft").isEmpty();
    });
    shots.save(QStringLiteral("transfer-progress"), {main});
    modal.expect(QStringLiteral("提示"), [](QDialog *) {});
    child<QPushButton>(main, "StopTransfer")->click();
    waitUntil(QStringLiteral("the stop"), [&] { return modal.met(QStringLiteral("提示")); });

    // Measurement receive, RQX5: 通讯 → 测量数据 opens the measurement window beside the main window;
    // 数据文件 is chosen, 接 收 arms it, the instrument sends its job.
    main->action(QStringLiteral("CLSend"))->trigger();
    Form4 *measure = program.measureWindow();
    waitUntil(QStringLiteral("the RQX5 measurement window"), [&] { return measure->isVisible(); });
    // In front of the main window, as the surveyor sees it after choosing the command.
    measure->move(0, 0);
    measure->raise();
    measure->activateWindow();
    waitUntil(QStringLiteral("the measurement window in front"), [&] { return measure->isActiveWindow(); });
    modal.expect(QStringLiteral("成功"), [&](QDialog *box) {
        shots.save(QStringLiteral("measurement-rqx5"), {measure, box});
    });
    measure->button(QStringLiteral("Command1"))->click();
    instrument.play(SeriesTable::Command::DataFileReceive, QStringLiteral("12"));
    waitUntil(QStringLiteral("the RQX5 data file"), [&] { return modal.met(QStringLiteral("成功")); });

    // The measured points into a drawing: 文件(F) → 导出坐标, saved as CAD格式(*.dxf).
    {
        auto *fileMenu = child<QMenu>(measure, "FileMenu");
        measure->menuBar()->setActiveAction(fileMenu->menuAction());
        waitUntil(QStringLiteral("the menu"), [&] { return fileMenu->isVisible(); });
        fileMenu->setActiveAction(measure->action(QStringLiteral("ExportCoordinates")));
        shots.save(QStringLiteral("measurement-export"), {measure, fileMenu});
        fileMenu->hide();
    }
    modal.expect(QStringLiteral("另存为"), [&](QDialog *dialog) {
        auto *fileDialog = static_cast<QFileDialog *>(dialog);
        fileDialog->setDirectory(files);
        child<QLineEdit>(fileDialog, "fileNameEdit")->setText(QStringLiteral("测量点.dxf"));
        child<QComboBox>(fileDialog, "fileTypeCombo")->setCurrentIndex(2);
        QMetaObject::invokeMethod(fileDialog, "accept");
    });
    measure->action(QStringLiteral("ExportCoordinates"))->trigger();
    if (!QFile::exists(QDir(files).filePath(QStringLiteral("测量点.dxf"))))
        fail(QStringLiteral("the export wrote no drawing"));
    measure->button(QStringLiteral("Command11"))->click();

    // File conversion: the table saved in another format; the save dialog's list of formats.
    modal.expect(QStringLiteral("另存为"), [&](QDialog *dialog) {
        auto *fileDialog = static_cast<QFileDialog *>(dialog);
        fileDialog->setDirectory(files);
        child<QLineEdit>(fileDialog, "fileNameEdit")->setText(QStringLiteral("控制点.csv"));
        auto *types = child<QComboBox>(fileDialog, "fileTypeCombo");
        types->showPopup();
        shots.save(QStringLiteral("file-save"), {main, dialog, types->view()->window()});
        types->hidePopup();
        types->setCurrentIndex(types->count() - 1);
        // 保存, as the surveyor presses it.
        QMetaObject::invokeMethod(fileDialog, "accept");
    });
    main->action(QStringLiteral("Save"))->trigger();
    if (!QFile::exists(QDir(files).filePath(QStringLiteral("控制点.csv"))))
        fail(QStringLiteral("the save wrote no file"));

    // A design drawing's stakes into the table: 文件 → 从CAD图形导入点, then seen in plan.
    if (!writeDesignDrawing(QDir(files).filePath(QStringLiteral("道路中线.dxf"))))
        fail(QStringLiteral("cannot write the design drawing"));
    modal.expect(QStringLiteral("打开"), [&](QDialog *dialog) {
        auto *fileDialog = static_cast<QFileDialog *>(dialog);
        // The file offered is the one last saved; the drawing is chosen instead.
        fileDialog->selectFile(QDir(files).filePath(QStringLiteral("道路中线.dxf")));
        QMetaObject::invokeMethod(fileDialog, "accept");
    });
    main->action(QStringLiteral("ImportDrawingPoints"))->trigger();
    if (main->tableView()->model()->rowCount() != 15)
        fail(QStringLiteral("the drawing's stakes are not in the table"));
    savePlan(shots, QStringLiteral("drawing-import"), main, 6);

    // The port failure message when the user may not use the serial device.
    modal.expect(QStringLiteral("错误提示"), [&](QDialog *dialog) {
        auto *box = static_cast<QMessageBox *>(dialog);
        for (QAbstractButton *button : box->buttons()) {
            if (box->buttonRole(button) == QMessageBox::ActionRole)
                button->click();
        }
        shots.save(QStringLiteral("port-permission"), {main, box});
    });
    PortOpenFailure denied;
    denied.device =
        QStringLiteral("/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0");
    denied.target = QStringLiteral("/dev/ttyUSB0");
    denied.group = QStringLiteral("dialout");
    denied.reason = QString::fromLocal8Bit(std::strerror(EACCES));
    denied.cause = PortOpenFailure::Cause::NoPermission;
    messages.showDetailedMessage(main, QStringLiteral("错误提示"), QStringLiteral("请检查端口连接是否正确！"),
                                 PortFailureDetail(denied));

    program.endProgram();
    if (!ended)
        return 1;

    // Measurement receive, RQX2: with that series the measurement window takes the main window's
    // place; 接收数据 arms it, the instrument sends a measurement file.
    Instrument rqx2(simulator, Rqx2Series::table());
    bool rqx2Ended = false;
    Application rqx2Program(rqx2.deviceDir(), messages, [&rqx2Ended] { rqx2Ended = true; });
    Form1 *rqx2Main = startProgram(rqx2Program, modal, false, nullptr);
    rqx2Main->action(QStringLiteral("CLSend"))->trigger();
    Form7 *form7 = rqx2Program.rqx2MeasurementWindow();
    waitUntil(QStringLiteral("the RQX2 measurement window"), [&] { return form7->isVisible(); });
    form7->move(0, 0);
    modal.expect(QStringLiteral("成功"), [&](QDialog *box) {
        shots.save(QStringLiteral("measurement-rqx2"), {form7, box});
    });
    child<QPushButton>(form7, "Command1")->click();
    rqx2.play(SeriesTable::Command::MeasurementReceive, QStringLiteral("10"));
    waitUntil(QStringLiteral("the RQX2 measurement file"), [&] { return modal.met(QStringLiteral("成功")); });
    rqx2Program.endProgram();
    return rqx2Ended ? 0 : 1;
}
