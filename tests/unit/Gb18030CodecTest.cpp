// The program's own GB18030 mapping and codec: byte for byte what Debian's converter (Qt's codec on
// ICU) makes of every character and every sequence, so that files are the same on every system.
#include "formats/Gb18030Codec.h"
#include "support/QStringPrinter.h"

#include <QByteArray>
#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>
#include <gtest/gtest.h>

#include <vector>

namespace {

QString decoded(const QByteArray &bytes)
{
    std::vector<char16_t> out(static_cast<size_t>(bytes.size()) * Gb18030Codec::kMaxUnitsPerByte);
    const char16_t *end =
        Gb18030Codec::decode(bytes.constData(), bytes.constData() + bytes.size(), out.data());
    return QString(reinterpret_cast<const QChar *>(out.data()), end - out.data());
}

QByteArray encoded(const QString &text)
{
    QByteArray out(text.size() * Gb18030Codec::kMaxBytesPerUnit, '\0');
    const QStringView view(text);
    const char *end = Gb18030Codec::encode(view.utf16(), view.utf16() + view.size(), out.data());
    out.resize(end - out.constData());
    return out;
}

// Qt's codec on the system's converter; a sequence cut short at the end is ended by a line end, as
// a line of a file is.
QString systemDecoded(const QByteArray &bytes)
{
    QString text = QStringDecoder("GB18030").decode(bytes + '\n');
    text.chop(1);
    return text;
}

QByteArray systemEncoded(const QString &text)
{
    return QStringEncoder("GB18030").encode(text);
}

bool systemHasGb18030()
{
    return QStringDecoder("GB18030").isValid();
}

// The same sequences decoded by both, compared in slices so that a difference is shown where it is.
void expectSameDecoding(const QByteArray &bytes, char separator)
{
    const QString mine = decoded(bytes);
    const QString system = systemDecoded(bytes);
    if (mine == system)
        return;
    const QList<QByteArray> sequences = bytes.split(separator);
    for (const QByteArray &one : sequences) {
        ASSERT_EQ(decoded(one), systemDecoded(one)) << one.toHex(' ').constData();
    }
    FAIL() << "the sequences differ only together";
}

} // namespace

// Worked examples that hold on every system: GBK's two-byte characters, the four-byte characters of
// the basic plane and of the planes above it, and the characters the 2005 mapping moved.
TEST(Gb18030Codec, KnownCharactersBothWays)
{
    const struct {
        const char *bytes;
        char32_t character;
    } examples[] = {
        {"\xD6\xD0", U'中'},
        {"\xB5\xE3", U'点'},
        {"\xBF\xD8", U'控'},
        {"\x81\x40", U'丂'},
        {"\xA2\xE3", U'€'},
        {"\xA8\xBC", U'\u1E3F'},
        {"\x81\x35\xF4\x37", U'\uE7C7'},
        {"\xA3\xA0", U'\uE5E5'},
        {"\x81\x30\x81\x30", U'\u0080'},
        {"\x81\x30\x84\x36", U'\u00A5'},
        {"\x84\x31\xA4\x39", U'\uFFFF'},
        {"\x84\x31\xA4\x37", U'\uFFFD'},
        {"\x90\x30\x81\x30", U'\U00010000'},
        {"\x95\x32\x82\x36", U'\U00020000'},
        {"\x94\x39\xFC\x36", U'\U0001F600'},
        {"\xE3\x32\x9A\x35", U'\U0010FFFF'},
    };
    for (const auto &example : examples) {
        const QString text = QString::fromUcs4(&example.character, 1);
        SCOPED_TRACE(QByteArray(example.bytes).toHex(' ').toStdString());
        EXPECT_EQ(encoded(text), QByteArray(example.bytes));
        EXPECT_EQ(decoded(example.bytes), text);
    }
}

// Bytes that make no character, as the files of other tools may hold them.
TEST(Gb18030Codec, BrokenSequencesBecomeReplacementCharacters)
{
    const struct {
        const char *bytes;
        const char16_t *text;
    } examples[] = {
        {"\x80", u"\uFFFD"},
        {"\xFF", u"\uFFFD"},
        {"\x81", u"\uFFFD"},
        {"\x81\x20", u"\uFFFD "},
        {"\x81\x7F", u"\uFFFD\x7F"},
        {"\x81\xFF"
         "a",
         u"\uFFFDa"},
        {"\x81\x30", u"\uFFFD"
                     "0"},
        {"\x81\x30\x81", u"\uFFFD"
                         "0\uFFFD"},
        {"\x81\x30\xFF\x30", u"\uFFFD"
                             "0\uFFFD"
                             "0"},
        {"\x81\x30\x81\xFF\x30", u"\uFFFD"
                                 "0\uFFFD"
                                 "0"},
        {"\x81\x30\x81\x41", u"\uFFFD"
                             "0\u4E04"},
        {"\x84\x31\xA5\x30", u"\uFFFD"},
        {"\x8F\x39\x81\x39", u"\uFFFD"},
        {"\xE3\x32\x9A\x36", u"\uFFFD"},
        {"\xFE\x39\xFE\x39", u"\uFFFD"},
        {"\x84\x31\x87\x30\xFF", u"\uFE70\uFFFD"},
    };
    for (const auto &example : examples) {
        SCOPED_TRACE(QByteArray(example.bytes).toHex(' ').toStdString());
        EXPECT_EQ(decoded(example.bytes), QString::fromUtf16(example.text));
    }
    // A surrogate that is not half of a pair is the substitute byte, at the end of the text too.
    EXPECT_EQ(encoded(QString(QChar(0xD800)) + u'a' + QChar(0xDC00) + QChar(0xD83D) + QChar(0xDE00) +
                      QChar(0xD800)),
              QByteArray("\x1A"
                         "a\x1A\x94\x39\xFC\x36\x1A"));
}

// Every code point of every plane, each on its own between commas, encoded as the system does and
// decoded back.
TEST(Gb18030Codec, EveryCodePointAsTheSystemHasIt)
{
    if (!systemHasGb18030())
        GTEST_SKIP() << "no GB18030 converter on this system";
    for (char32_t planeStart = 0; planeStart <= 0x10FFFF; planeStart += 0x10000) {
        QString text;
        for (char32_t c = planeStart; c < planeStart + 0x10000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            text += QString::fromUcs4(&c, 1);
            text += u',';
        }
        const QByteArray system = systemEncoded(text);
        SCOPED_TRACE(QString::number(planeStart, 16).toStdString());
        ASSERT_EQ(encoded(text), system);
        ASSERT_EQ(decoded(system), text);
    }
    // Lone surrogates, each followed by a character.
    QString lone;
    for (char16_t c = 0xD800; c <= 0xDFFF; ++c)
        lone += QString(QChar(c)) + u',';
    EXPECT_EQ(encoded(lone), systemEncoded(lone));
}

// Every two-byte and every four-byte sequence, and every lead byte followed by any byte, by a digit
// and any byte, and by a digit, a lead and any byte: what the system makes of them, broken ones
// included.
TEST(Gb18030Codec, EverySequenceAsTheSystemHasIt)
{
    if (!systemHasGb18030())
        GTEST_SKIP() << "no GB18030 converter on this system";
    QByteArray single;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        single.append(char(byte)).append('\n');
    expectSameDecoding(single, '\n');

    QByteArray pairs;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int second = 0; second <= 0xFF; ++second) {
            if (second != '\n')
                pairs.append(char(lead)).append(char(second)).append('\n');
        }
    }
    expectSameDecoding(pairs, '\n');

    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        QByteArray sequences;
        for (int second = 0x30; second <= 0x39; ++second) {
            for (int third = 0; third <= 0xFF; ++third) {
                if (third != '\n')
                    sequences.append(char(lead)).append(char(second)).append(char(third)).append('\n');
            }
            for (int third = 0x81; third <= 0xFE; ++third) {
                for (int fourth = 0; fourth <= 0xFF; ++fourth) {
                    if (fourth != '\n')
                        sequences.append(char(lead))
                            .append(char(second))
                            .append(char(third))
                            .append(char(fourth))
                            .append('\n');
                }
            }
        }
        SCOPED_TRACE(QByteArray(1, char(lead)).toHex().toStdString());
        expectSameDecoding(sequences, '\n');
    }
}

// Random bytes of the kinds above run together, without separators; the seed of a failing round is
// printed and RQX_GB18030_SEED replays it.
TEST(Gb18030Codec, RunsOfBytesAsTheSystemHasThem)
{
    if (!systemHasGb18030())
        GTEST_SKIP() << "no GB18030 converter on this system";
    const QByteArray alphabet[] = {"a",    "0",    "9",    "\x7F", "\x80", "\xFF", "\x81", "\xFE",     "\x84",
                                   "\x90", "\xE3", "\x30", "\x31", "\x32", "\xA1", "\x40", "\xD6\xD0", "\n"};
    bool replaying = false;
    quint32 seed = qEnvironmentVariableIntValue("RQX_GB18030_SEED", &replaying);
    if (!replaying)
        seed = 20261207;
    const int rounds = replaying ? 1 : 20000;
    for (int round = 0; round < rounds; ++round) {
        const quint32 roundSeed = seed + quint32(round);
        quint32 state = roundSeed;
        QByteArray bytes;
        for (int i = 0; i < 24; ++i) {
            state = state * 1103515245u + 12345u;
            bytes += alphabet[(state >> 16) % std::size(alphabet)];
        }
        ASSERT_EQ(decoded(bytes), systemDecoded(bytes))
            << "RQX_GB18030_SEED=" << roundSeed << " bytes " << bytes.toHex(' ').constData();
    }
}
