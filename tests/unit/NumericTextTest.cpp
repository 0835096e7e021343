#include "core/NumericText.h"
#include "core/TransferProgress.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

TEST(NumericText, ValueOfTheLongestLeadingNumber)
{
    EXPECT_EQ(NumericValue(QStringLiteral("12")), 12);
    EXPECT_EQ(NumericValue(QStringLiteral("012")), 12);
    EXPECT_EQ(NumericValue(QStringLiteral("12A")), 12);
    EXPECT_EQ(NumericValue(QStringLiteral("A1")), 0);
    EXPECT_EQ(NumericValue(QStringLiteral("A")), 0);
    EXPECT_EQ(NumericValue(QString()), 0);
    EXPECT_EQ(NumericValue(QStringLiteral("  -3.25x")), -3.25);
    EXPECT_EQ(NumericValue(QStringLiteral("+7")), 7);
    EXPECT_EQ(NumericValue(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(NumericValue(QStringLiteral("5.")), 5);
    EXPECT_EQ(NumericValue(QStringLiteral("-")), 0);
    EXPECT_EQ(NumericValue(QStringLiteral("-.")), 0);
    EXPECT_EQ(NumericValue(QStringLiteral("1.2.3")), 1.2);
    EXPECT_EQ(NumericValue(QStringLiteral("3 4")), 3);
    EXPECT_EQ(NumericValue(QStringLiteral("2e5")), 2);  // no exponent in a point number
    EXPECT_EQ(NumericValue(QStringLiteral("１２")), 0); // full-width digits are not digits here
    EXPECT_EQ(NumericValue(QStringLiteral("4538210.1234")), 4538210.1234);
}

// Where a received point number is a plain number, and so shown in its shortest form.
TEST(NumericText, LengthOfTheLeadingDecimalNumber)
{
    EXPECT_EQ(DecimalNumberLength(u"12"), 2);
    EXPECT_EQ(DecimalNumberLength(u"-3.25x"), 5);
    EXPECT_EQ(DecimalNumberLength(u"+7"), 2);
    EXPECT_EQ(DecimalNumberLength(u".5"), 2);
    EXPECT_EQ(DecimalNumberLength(u"5."), 2);
    EXPECT_EQ(DecimalNumberLength(u"1.2.3"), 3);
    EXPECT_EQ(DecimalNumberLength(u"K12"), 0);
    EXPECT_EQ(DecimalNumberLength(u" 1"), 0); // blanks are not part of a number
    EXPECT_EQ(DecimalNumberLength(u"-"), 0);
    EXPECT_EQ(DecimalNumberLength(u"-."), 0);
    EXPECT_EQ(DecimalNumberLength(u""), 0);
}

TEST(NumericText, ShortestDecimalForm)
{
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("007"))), QStringLiteral("7"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("05"))), QStringLiteral("5"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("12.50"))), QStringLiteral("12.5"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("-0"))), QStringLiteral("0"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("-8.000"))), QStringLiteral("-8"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("A"))), QStringLiteral("0"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("32767"))), QStringLiteral("32767"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("123456789012"))), QStringLiteral("123456789012"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("0.0001"))), QStringLiteral("0.0001"));
}

// Up to 15 significant digits and never an exponent: grid coordinates in the millions keep their
// decimals without the binary rounding showing.
TEST(NumericText, ShortestDecimalKeepsFifteenSignificantDigits)
{
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("3456789.1234"))), QStringLiteral("3456789.1234"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("-4512345.6789"))),
              QStringLiteral("-4512345.6789"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("1234567.891"))), QStringLiteral("1234567.891"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("38.12345678901234567"))),
              QStringLiteral("38.1234567890123"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("0.000000000001"))),
              QStringLiteral("0.000000000001"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("-0.5"))), QStringLiteral("-0.5"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("99999999999999999999"))),
              QStringLiteral("100000000000000000000"));
    EXPECT_EQ(ShortestDecimal(NumericValue(QStringLiteral("1234567890123456.5"))),
              QStringLiteral("1234567890123460"));
    // The largest double, rounded to 15 digits, would read back as more than a double holds.
    const QString largest = ShortestDecimal(std::numeric_limits<double>::max());
    EXPECT_TRUE(largest.startsWith(QLatin1String("17976931348623157"))) << largest.toStdString();
    EXPECT_EQ(NumericValue(largest), std::numeric_limits<double>::max());
}

// A drawing writes a cell's value from the cell's own digits when it has 15 or fewer; it must be
// what the value read as a double and written in shortest form gives.
TEST(NumericText, ShortestValueOfATextIsThatOfItsNumber)
{
    const struct {
        const char16_t *text;
        const char *shortest;
    } cases[] = {
        {u"4538123.456", "4538123.456"},
        {u"-88.250", "-88.25"},
        {u"007", "7"},
        {u"12.50", "12.5"},
        {u" -0.000", "0"},
        {u"-0", "0"},
        {u"+.5", "0.5"},
        {u"-.5", "-0.5"},
        {u"5.", "5"},
        {u"12A", "12"},
        {u"A7", "0"},
        {u"-", "0"},
        {u"", "0"},
        {u"0.0001", "0.0001"},
        {u"\t3 4", "3"},
        {u"123456789012345", "123456789012345"},
        {u"1234567890123456.5", "1234567890123460"},
        {u"38.12345678901234567", "38.1234567890123"},
    };
    char out[kShortestDecimalMaxLength];
    for (const auto &c : cases) {
        const QStringView text(c.text);
        EXPECT_EQ(std::string(out, static_cast<size_t>(WriteShortestValue(text, out))), c.shortest)
            << text.toString().toStdString();
    }
    // Texts of signs, points, blanks, zeros and other digits in any arrangement.
    const char16_t alphabet[] = u"0000123456789..-+ x";
    quint32 seed = 2024;
    for (int round = 0; round < 20000; ++round) {
        QString text;
        seed = seed * 1103515245u + 12345u;
        const int length = static_cast<int>((seed >> 16) % 22);
        for (int i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += QChar(alphabet[(seed >> 16) % (std::size(alphabet) - 1)]);
        }
        char expected[kShortestDecimalMaxLength];
        const qsizetype expectedLength = WriteShortestDecimal(NumericValue(text), expected);
        EXPECT_EQ(std::string(out, static_cast<size_t>(WriteShortestValue(text, out))),
                  std::string(expected, static_cast<size_t>(expectedLength)))
            << text.toStdString();
    }
}

// Short numbers are read from their digits, long ones as text: both give the nearest double.
TEST(NumericText, ValueOfShortAndLongNumbersAlike)
{
    const char *numbers[] = {"0.1",
                             "0.3",
                             "4538123.4567",
                             "-512345.678901",
                             "999999999999999",
                             "0.000000000000001",
                             "123456789.123456",
                             "1234567890123456",
                             "-0.0000000000000001234",
                             "3.000000000000000000001"};
    for (const char *number : numbers) {
        double expected = 0;
        std::from_chars(number, number + std::strlen(number), expected);
        EXPECT_EQ(NumericValue(QString::fromLatin1(number)), expected) << number;
    }
    EXPECT_TRUE(std::signbit(NumericValue(u"-0")));
}

// The time left of a transfer: from the line speed until a rate has been measured, then from the
// rate; minutes and seconds, hours from an hour on; nothing when the total is unknown.
TEST(TimeLeft, FromLineSpeedThenFromMeasuredRate)
{
    struct Case {
        TransferProgress progress;
        double seconds;
        long records;
        int bitsPerSecond;
        const char *text;
    };
    const Case cases[] = {
        // 10 records of 60 bytes at 1200 baud: 0.5 s each.
        {{0, 10, 60}, 0, 0, 1200, "剩余时间 0:05"},
        {{1, 10, 60}, 0, 0, 1200, "剩余时间 0:05"}, // 4.5 s, rounded up
        {{0, 10, 60}, 0, 0, 9600, "剩余时间 0:01"},
        // Measured: 4 records in 8 s is 2 s each, whatever the line speed says.
        {{5, 35, 60}, 8, 4, 1200, "剩余时间 1:00"},
        {{5, 35, 60}, 8, 4, 0, "剩余时间 1:00"},
        // 5,000 data-file records of 248 bytes at 1200 baud: 10,333.3 s.
        {{0, 5000, 248}, 0, 0, 1200, "剩余时间 2:52:14"},
        {{3599, 7199, 60}, 1, 1, 1200, "剩余时间 1:00:00"},
        {{3601, 7200, 60}, 1, 1, 1200, "剩余时间 59:59"},
        {{10, 10, 60}, 5, 9, 1200, "剩余时间 0:00"},
        // No total (single measurements), or nothing to reckon from: no time shown.
        {{7, -1, 60}, 3, 6, 1200, ""},
        {{0, 10, 0}, 0, 0, 1200, ""},
        {{0, 10, 60}, 0, 0, 0, ""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TimeLeftText(SecondsLeft(c.progress, c.seconds, c.records, c.bitsPerSecond)),
                  QString::fromUtf8(c.text))
            << c.progress.done << "/" << c.progress.total << " " << c.seconds << "s " << c.records;
    }
}
