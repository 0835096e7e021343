// The text of files: GB18030 bytes written (GBK's for every GBK character), UTF-8 or GB18030 read,
// files read whole and written through a save file.
#include "formats/FileText.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<cannot open>");
}

} // namespace

TEST(FileText, WritesGbkBytesForChineseAndGb18030BeyondGbk)
{
    EXPECT_EQ(EncodeFileText(QStringLiteral("1,控制点,-0012.500\r\n")),
              QByteArray("1,\xBF\xD8\xD6\xC6\xB5\xE3,-0012.500\r\n"));
    EXPECT_EQ(EncodeFileText(QStringLiteral("水准点A")), QByteArray("\xCB\xAE\xD7\xBC\xB5\xE3"
                                                                    "A"));
    // Outside GBK: four-byte sequences instead of "?".
    EXPECT_EQ(EncodeFileText(QStringLiteral("\U0001F600")), QByteArray("\x94\x39\xFC\x36"));
    EXPECT_EQ(EncodeFileText(QStringLiteral("𠀀,x")), QByteArray("\x95\x32\x82\x36,x"));
    EXPECT_EQ(EncodeFileText(QString()), QByteArray());
}

TEST(FileText, LongTextsAreEncodedWholeAcrossPieces)
{
    // ASCII runs are copied and Chinese encoded piece by piece; a surrogate pair may fall at the end
    // of a piece of 65536 units.
    for (const qsizetype lead : {65535, 65536, 65534, 131071}) {
        const QString text = QString(lead, u'a') + QStringLiteral("\U0001F600点b");
        const QByteArray expected = QByteArray(lead, 'a') + QByteArray("\x94\x39\xFC\x36\xB5\xE3"
                                                                       "b");
        EXPECT_EQ(EncodeFileText(text), expected) << lead;
    }
    QString mixed;
    QByteArray expected;
    for (int i = 0; i < 50000; ++i) {
        mixed += QStringLiteral("控制点,1.5\r\n");
        expected += QByteArray("\xBF\xD8\xD6\xC6\xB5\xE3,1.5\r\n");
    }
    EXPECT_EQ(EncodeFileText(mixed), expected);
}

TEST(FileText, ReadsGb18030UnlessTheBytesAreUtf8)
{
    EXPECT_EQ(DecodeFileText(QByteArray("1,\xBF\xD8\xD6\xC6\xB5\xE3,2\r\n")),
              QStringLiteral("1,控制点,2\r\n"));
    EXPECT_EQ(DecodeFileText(QByteArray("\x95\x32\x82\x36")), QStringLiteral("𠀀"));
    // UTF-8 with a byte-order mark, and UTF-8 without one (控 is E6 8E A7).
    EXPECT_EQ(DecodeFileText(QByteArray("\xEF\xBB\xBF"
                                        "1,\xE6\x8E\xA7,2\r\n")),
              QStringLiteral("1,控,2\r\n"));
    EXPECT_EQ(DecodeFileText(QByteArray("1,\xE6\x8E\xA7,2\r\n")), QStringLiteral("1,控,2\r\n"));
    EXPECT_EQ(DecodeFileText(QByteArray("\xEF\xBB\xBF")), QString());
    // GB18030's own byte-order mark is not text either.
    EXPECT_EQ(DecodeFileText(QByteArray("\x84\x31\x95\x33"
                                        "1,\xBF\xD8")),
              QStringLiteral("1,控"));
    EXPECT_EQ(DecodeFileText(QByteArray("plain, ascii\n")), QStringLiteral("plain, ascii\n"));
    // Bytes that only look like UTF-8 are GB18030: C4 E3 is 你, not a broken sequence; an overlong
    // form and an encoded surrogate are no UTF-8 either.
    EXPECT_EQ(DecodeFileText(QByteArray("\xC4\xE3\xBA\xC3")), QStringLiteral("你好"));
    EXPECT_EQ(DecodeFileText(QByteArray("\xE0\x9F\xBF\xB0")), QStringLiteral("酂堪"));
    EXPECT_EQ(DecodeFileText(QByteArray("\xE6\x8E\xA7\xED\xA0\x80")), QStringLiteral("鎺ы爛"));
    // A sequence cut short by the end of the file is shown, not dropped, a four-byte one too.
    EXPECT_EQ(DecodeFileText(QByteArray("AB\x81")), QStringLiteral("AB\uFFFD"));
    EXPECT_EQ(DecodeFileText(QByteArray("A\xF3\x30")), QStringLiteral("A\uFFFD0"));
    EXPECT_EQ(DecodeFileText(QByteArray("A\x81\x30\x81")), QStringLiteral("A\uFFFD0\uFFFD"));
}

TEST(FileText, TextWhoseGb18030BytesLookLikeUtf8ReadsBackAsWritten)
{
    // 茅 is C3 A9 in GBK, which is é in UTF-8: GB18030's byte-order mark goes in front. A text that
    // begins with a byte-order mark of its own keeps it the same way.
    EXPECT_EQ(EncodeFileText(QStringLiteral("1,茅,2\r\n")), QByteArray("\x84\x31\x95\x33"
                                                                       "1,\xC3\xA9,2\r\n"));
    EXPECT_EQ(DecodeFileText(EncodeFileText(QStringLiteral("1,茅,2\r\n"))), QStringLiteral("1,茅,2\r\n"));
    EXPECT_EQ(DecodeFileText(EncodeFileText(QStringLiteral("\uFEFF1,2"))), QStringLiteral("\uFEFF1,2"));
    // Chinese that no UTF-8 reader would take (控 is BF D8) is written without the mark.
    EXPECT_EQ(EncodeFileText(QStringLiteral("1,控,茅")), QByteArray("1,\xBF\xD8,\xC3\xA9"));
}

TEST(FileText, CharacterOutsideGbkSurvivesAWriteAndRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("点.txt"));
    const QString text = QStringLiteral("1,𠀀\U0001F600控制点,1,2,3\r\n\r\n");
    QString error;
    ASSERT_TRUE(WriteFileAtomically(path, EncodeFileText(text), &error)) << error.toStdString();
    QByteArray bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes, &error)) << error.toStdString();
    EXPECT_EQ(DecodeFileText(bytes), text);
}

TEST(FileText, SaveReplacesAnOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("points.hyl"));
    QString error;
    ASSERT_TRUE(WriteFileAtomically(path, QByteArray(1000, 'x'), &error));
    ASSERT_TRUE(WriteFileAtomically(path, QByteArray("\r\n"), &error));
    EXPECT_EQ(fileBytes(path), QByteArray("\r\n"));
    // No extension is added and no save file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"points.hyl"}));
}

TEST(FileText, FailuresGiveTheReasonAndLeaveTheOldFile)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(WriteFileAtomically(dir.filePath(QStringLiteral("no/such/folder/a.hyl")), "x", &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("文件无法创建"))) << error.toStdString();

    // A folder in the place of the file: it stays a folder.
    const QString folder = dir.filePath(QStringLiteral("taken"));
    ASSERT_TRUE(QDir().mkdir(folder));
    error.clear();
    EXPECT_FALSE(WriteFileAtomically(folder, "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());

    QByteArray bytes("kept");
    error.clear();
    EXPECT_FALSE(ReadFileBytes(dir.filePath(QStringLiteral("missing.hyl")), &bytes, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("文件无法打开"))) << error.toStdString();
    EXPECT_EQ(bytes, QByteArray("kept"));
    // A folder chosen as the file to open.
    error.clear();
    EXPECT_FALSE(ReadFileBytes(folder, &bytes, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(bytes, QByteArray("kept"));
}
