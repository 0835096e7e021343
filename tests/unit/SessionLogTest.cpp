// The session log: its lines against the exact bytes of an exchange, the 100 logs kept, and a log
// that cannot be written.
#include "ui/SessionLog.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const SessionHeader kHeader{"RQX2", "ENZ", "COM1 /dev/serial/by-id/usb-cable", "1200,N,8,1"};

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// The data lines without their times, which differ from run to run.
QStringList withoutTimes(const QStringList &lines)
{
    static const QRegularExpression time(QStringLiteral("^\\d+\\.\\d{3} "));
    QStringList data;
    for (const QString &line : lines) {
        if (line.startsWith(u'#'))
            continue;
        EXPECT_TRUE(time.match(line).hasMatch()) << line.toStdString();
        data.append(QString(line).remove(time));
    }
    return data;
}

} // namespace

TEST(SessionLog, CommentsThenEveryPieceInHexAndInstrumentText)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state/rqxcomm/sessions"));
    QString path;
    {
        SessionLog log(folder, QStringLiteral("rqx2-coordinate-receive"), kHeader,
                       QDateTime(QDate(2024, 5, 6), QTime(9, 14, 3)));
        // An RQX2 handshake, its answer, and a record's first bytes in two pieces: the counters,
        // a name with a degree mark (125), and a CR.
        log.arrived("\x02J\r");
        log.written("\x01J\r");
        log.arrived("\x02"
                    "0001");
        log.arrived("0002P 1}-.+\r");
        log.written(QByteArray("\x00\xFF", 2));
    }
    SessionLog::waitForWrites();
    path = folder + "/20240506-091403-rqx2-coordinate-receive.log";
    ASSERT_TRUE(QFile::exists(path));
    const QStringList lines = readLines(path);
    EXPECT_EQ(lines.mid(0, 8),
              (QStringList{"# rqxcomm session log", "# version " RQX_PROJECT_VERSION, "# series RQX2",
                           "# order ENZ", "# port COM1 /dev/serial/by-id/usb-cable", "# line 1200,N,8,1",
                           "# kind rqx2-coordinate-receive", "# began 2024-05-06T09:14:03"}));
    EXPECT_EQ(withoutTimes(lines), (QStringList{
                                       "rx 02 4A 0D | <2>J<13>",
                                       "tx 01 4A 0D | <1>J<13>",
                                       "rx 02 30 30 30 31 | <2>0001",
                                       "rx 30 30 30 32 50 20 31 7D 2D 2E 2B 0D | 0002P 1°-.+<13>",
                                       "tx 00 FF | <0><255>",
                                   }));
}

TEST(SessionLog, TwoLogsInOneSecondAreBothKept)
{
    QTemporaryDir dir;
    const QDateTime began(QDate(2024, 5, 6), QTime(9, 14, 3));
    {
        SessionLog first(dir.path(), QStringLiteral("connection-test"), kHeader, began);
        SessionLog second(dir.path(), QStringLiteral("connection-test"), kHeader, began);
    }
    SessionLog::waitForWrites();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{"20240506-091403-connection-test-2.log", "20240506-091403-connection-test.log"}));
}

TEST(SessionLog, TheNewestHundredAreKeptAndOtherFilesLeftAlone)
{
    QTemporaryDir dir;
    for (int i = 0; i < 120; ++i) {
        const QDateTime began(QDate(2023, 1, 1), QTime(0, 0).addSecs(i * 60));
        QFile old(dir.filePath(SessionLog::fileName(began, QStringLiteral("rqx5-coordinate-send"))));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    }
    QFile note(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(note.open(QIODevice::WriteOnly));
    note.close();

    SessionLog log(dir.path(), QStringLiteral("connection-test"), kHeader,
                   QDateTime(QDate(2024, 5, 6), QTime(9, 14, 3)));
    SessionLog::waitForWrites();
    const QStringList logs = QDir(dir.path()).entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Name);
    ASSERT_EQ(logs.size(), 100);
    // The 21 oldest went (minutes 0 to 20); the new log is the newest.
    EXPECT_EQ(logs.first(), "20230101-002100-rqx5-coordinate-send.log");
    EXPECT_EQ(logs.last(), "20240506-091403-connection-test.log");
    EXPECT_TRUE(note.exists());
}

TEST(SessionLog, AFolderThatCannotBeWrittenIsGivenUpQuietly)
{
    QTemporaryDir dir;
    // The folder's place is taken by a file, so neither it nor a log in it can be made.
    const QString blocked = dir.filePath(QStringLiteral("sessions"));
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    {
        SessionLog log(blocked, QStringLiteral("connection-test"), kHeader);
        log.written("\xAA\xBB");
        log.arrived("\xAA\xBB");
        log.flush();
    }
    SessionLog::waitForWrites();
    EXPECT_TRUE(QFileInfo(blocked).isFile());
}

TEST(SessionLog, FolderFollowsXdgStateHomeOrLocalAppData)
{
#ifdef _WIN32
    const QByteArray before = qgetenv("LOCALAPPDATA");
    const struct {
        const char *local;
        QString folder;
    } cases[] = {
        {"C:\\Users\\surveyor\\AppData\\Local", "C:/Users/surveyor/AppData/Local/rqxcomm/sessions"},
        {"D:/data", "D:/data/rqxcomm/sessions"},
    };
    for (const auto &c : cases) {
        qputenv("LOCALAPPDATA", c.local);
        EXPECT_EQ(SessionLog::defaultFolder(), c.folder) << c.local;
    }
    qputenv("LOCALAPPDATA", before);
#else
    const QByteArray before = qgetenv("XDG_STATE_HOME");
    const struct {
        const char *state;
        QString folder;
    } cases[] = {
        {"/srv/state", "/srv/state/rqxcomm/sessions"},
        {"", QDir::homePath() + "/.local/state/rqxcomm/sessions"},
        {"relative/state", QDir::homePath() + "/.local/state/rqxcomm/sessions"},
    };
    for (const auto &c : cases) {
        qputenv("XDG_STATE_HOME", c.state);
        EXPECT_EQ(SessionLog::defaultFolder(), c.folder) << c.state;
    }
    qputenv("XDG_STATE_HOME", before);
#endif
}
