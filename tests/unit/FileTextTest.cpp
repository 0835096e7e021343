// The text of files: GB18030 bytes written (GBK's for every GBK character), UTF-8 or GB18030 read,
// files read whole and written through a save file.
#include "formats/FileText.h"
#include "formats/FileTextDecoder.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// Debian's converter, which the program's own GB18030 mapping is checked against; Windows has none.
bool systemHasGb18030()
{
    return QStringDecoder("GB18030").isValid();
}

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

TEST(FileText, FileWhoseGb18030BytesLookLikeUtf8ReadsBackAsWritten)
{
    // 茅 is C3 A9 in GBK, which is é in UTF-8: GB18030's byte-order mark goes in front. A text that
    // begins with a byte-order mark of its own keeps it the same way.
    EXPECT_EQ(EncodeFile(QStringLiteral("1,茅,2\r\n")), QByteArray("\x84\x31\x95\x33"
                                                                   "1,\xC3\xA9,2\r\n"));
    EXPECT_EQ(DecodeFileText(EncodeFile(QStringLiteral("1,茅,2\r\n"))), QStringLiteral("1,茅,2\r\n"));
    EXPECT_EQ(DecodeFileText(EncodeFile(QStringLiteral("\uFEFF1,2"))), QStringLiteral("\uFEFF1,2"));
    // Chinese that no UTF-8 reader would take (控 is BF D8) is written without the mark, and so is
    // plain ASCII.
    EXPECT_EQ(EncodeFile(QStringLiteral("1,控,茅")), QByteArray("1,\xBF\xD8,\xC3\xA9"));
    EXPECT_EQ(EncodeFile(QStringLiteral("1,A,2")), QByteArray("1,A,2"));
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
    // A folder or a device chosen as the file to open (Windows has no device in its file system).
    QStringList notFiles{folder};
#ifndef _WIN32
    notFiles << QStringLiteral("/dev/null");
#endif
    for (const QString &notAFile : notFiles) {
        error.clear();
        EXPECT_FALSE(ReadFileBytes(notAFile, &bytes, &error)) << notAFile.toStdString();
        EXPECT_TRUE(error.startsWith(QStringLiteral("文件无法打开"))) << error.toStdString();
        EXPECT_EQ(bytes, QByteArray("kept"));
    }
}

#ifndef _WIN32 // a named pipe in the file system is Linux's
TEST(FileText, APipeChosenAsTheFileToOpenIsRefusedAtOnce)
{
    QTemporaryDir dir;
    const QByteArray pipe = dir.filePath(QStringLiteral("pipe")).toLocal8Bit();
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    QString error;
    auto reading = std::async(std::launch::async,
                              [&] { return ReadFileBytes(QString::fromLocal8Bit(pipe), nullptr, &error); });
    // Opening a pipe for reading waits for a writer; should the read hang, one comes, so the test
    // fails instead of hanging with it.
    if (reading.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "the read waited for a writer";
        const int writer = ::open(pipe.constData(), O_WRONLY);
        ::close(writer);
    }
    EXPECT_FALSE(reading.get());
    EXPECT_TRUE(error.startsWith(QStringLiteral("文件无法打开"))) << error.toStdString();
}
#endif

namespace {
// Bytes or units drawn from a small alphabet that holds every kind of boundary the codecs meet.
template <class Piece, size_t N> QList<Piece> soup(const Piece (&alphabet)[N], quint32 &seed, int length)
{
    QList<Piece> pieces;
    for (int i = 0; i < length; ++i) {
        seed = seed * 1103515245u + 12345u;
        pieces.append(alphabet[(seed >> 16) % N]);
    }
    return pieces;
}
} // namespace

// ASCII is copied and only the rest goes through the code page's decoder, line by line or whole: the
// text must be what the decoder makes of all the bytes at once (a sequence cut short by the end of
// the file shows as a replacement character).
TEST(FileText, DecodingByRunsAndLinesIsDecodingTheWholeFile)
{
    // Two-byte characters with ASCII and high trail bytes (控 BF D8, 乗 81 41), a four-byte one
    // (𠀀 95 32 82 36), stray leads, digits that may continue a four-byte sequence, line ends.
    const QByteArray gb18030[] = {"a",    "1",        ",",        "\r",   "\n",
                                  "\r\n", "\xBF\xD8", "\x81\x41", "\x81", "\x80",
                                  "\xFF", "\x30",     "\x39",     "\x7F", "\x95\x32\x82\x36",
                                  "\xFE", "\x40",     "\x81\x30", "\xA1"};
    const QByteArray utf8[] = {
        "a", ",", "\n", "\r", "\xE6\x8E\xA7", "\xE6", "\x8E", "\xC3\xA9", "\xF0\x9F\x98\x80", "\xC0"};
    if (!systemHasGb18030())
        GTEST_SKIP() << "no GB18030 converter on this system";
    quint32 seed = 77;
    for (int round = 0; round < 3000; ++round) {
        const bool isUtf8 = round % 3 == 0;
        QByteArray bytes = isUtf8 ? QByteArray("\xEF\xBB\xBF") : QByteArray();
        for (const QByteArray &piece :
             isUtf8 ? soup(utf8, seed, round % 40) : soup(gb18030, seed, round % 40))
            bytes += piece;

        QString expected;
        if (isUtf8) {
            expected = QString::fromUtf8(bytes.mid(3));
        } else {
            QStringDecoder whole("GB18030");
            expected = whole.decode(bytes + '\n');
            expected.chop(1);
            if (expected.startsWith(QChar(0xFEFF)))
                expected.remove(0, 1);
        }
        EXPECT_EQ(DecodeFileText(bytes), expected) << bytes.toHex().constData();

        // The same bytes decoded a line at a time by one decoder, as the pieces of a large file are.
        qsizetype start = 0;
        FileTextDecoder decoder(FileTextDecoder::isUtf8(bytes, &start));
        QString lines;
        while (start < bytes.size()) {
            qsizetype end = start;
            while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
                ++end;
            end = std::min(end + 1, bytes.size());
            std::vector<char16_t> out(static_cast<size_t>(end - start));
            const char16_t *outEnd =
                decoder.decode(bytes.constData() + start, bytes.constData() + end, out.data());
            lines += QStringView(out.data(), outEnd);
            start = end;
        }
        if (!isUtf8 && lines.startsWith(QChar(0xFEFF)))
            lines.remove(0, 1);
        EXPECT_EQ(lines, expected) << bytes.toHex().constData();
    }
}

// ASCII is copied and each run of other characters is encoded on its own: the bytes must be what the
// encoder makes of the whole text (a lone surrogate included, at the end of the text too, where it is
// the substitute byte as anywhere else).
TEST(FileText, EncodingByRunsIsEncodingTheWholeText)
{
    const QString alphabet[] = {
        "a", ",", "\r\n", "控", "é", QString(QChar(0xD800)), QString(QChar(0xDC00)), "𠀀", "\uFFFD", "1"};
    if (!systemHasGb18030())
        GTEST_SKIP() << "no GB18030 converter on this system";
    quint32 seed = 99;
    for (int round = 0; round < 2000; ++round) {
        QString text;
        for (const QString &piece : soup(alphabet, seed, round % 30))
            text += piece;
        QStringEncoder whole("GB18030");
        QByteArray expected = whole.encode(text + u',');
        expected.chop(1);
        EXPECT_EQ(EncodeFileText(text), expected) << text.toStdString();
    }
}

// Two-byte characters are decoded and encoded by table: every one of them, and every character of
// the basic plane, is what the code page's codec makes of it.
TEST(FileText, EveryTwoByteSequenceAndEveryCharacterAsTheCodecHasIt)
{
    if (!systemHasGb18030())
        GTEST_SKIP() << "no GB18030 converter on this system";
    QByteArray sequences;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail)
            sequences.append(char(lead)).append(char(trail)).append(',');
    }
    QStringDecoder decoder("GB18030");
    EXPECT_EQ(DecodeFileText(sequences), QString(decoder.decode(sequences)));

    QString characters;
    for (char32_t c = 0x80; c <= 0xFFFF; ++c)
        characters += QString(QChar(char16_t(c))) + u',';
    QStringEncoder encoder("GB18030");
    EXPECT_EQ(EncodeFileText(characters), QByteArray(encoder.encode(characters)));
}
