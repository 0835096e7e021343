#include "core/NumericText.h"

#include <gtest/gtest.h>

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
}
