#include "core/textnumber.h"

#include <QTest>

#include <limits>

using namespace talvex;

class TestTextNumber : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leadingNumber_data();
    void leadingNumber();
    void toWholeNumber_roundsHalvesToEvenAndClamps_data();
    void toWholeNumber_roundsHalvesToEvenAndClamps();
    void wholeNumberOf_hugeExponentClampsInsteadOfOverflowing();
};

void TestTextNumber::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("plain integer") << "255" << 255.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("echo of the query") << "?INP\r255\r" << 0.0;
    QTest::newRow("stops at carriage return") << "12\r34" << 12.0;
    QTest::newRow("blanks skipped anywhere") << " 1 2\t3\n4" << 1234.0;
    QTest::newRow("negative") << "-40" << -40.0;
    QTest::newRow("explicit plus") << "+7" << 7.0;
    QTest::newRow("decimal") << "2.5" << 2.5;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("negative exponent") << "25E-1" << 2.5;
    QTest::newRow("exponent without digits") << "12e" << 12.0;
    QTest::newRow("exponent sign without digits") << "12e+" << 12.0;
    QTest::newRow("unit suffix") << "12.5mm" << 12.5;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("two signs") << "--5" << 0.0;
    QTest::newRow("full-width digits are not digits") << QStringLiteral("１２") << 0.0;
    QTest::newRow("label name") << QStringLiteral("起點") << 0.0;
    QTest::newRow("zero with point") << "0.0" << 0.0;
}

void TestTextNumber::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(talvex::leadingNumber(text), expected);
}

void TestTextNumber::toWholeNumber_roundsHalvesToEvenAndClamps_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("2.5 to 2") << 2.5 << 2;
    QTest::newRow("3.5 to 4") << 3.5 << 4;
    QTest::newRow("-2.5 to -2") << -2.5 << -2;
    QTest::newRow("2.4999 to 2") << 2.4999 << 2;
    QTest::newRow("2.51 to 3") << 2.51 << 3;
    QTest::newRow("above range") << 1e12 << std::numeric_limits<int>::max();
    QTest::newRow("below range") << -1e12 << std::numeric_limits<int>::min();
    QTest::newRow("top edge rounds up and clamps") << 2147483647.5 << std::numeric_limits<int>::max();
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << std::numeric_limits<int>::max();
}

void TestTextNumber::toWholeNumber_roundsHalvesToEvenAndClamps()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(talvex::toWholeNumber(value), expected);
}

void TestTextNumber::wholeNumberOf_hugeExponentClampsInsteadOfOverflowing()
{
    QCOMPARE(wholeNumberOf(u"9e999"), std::numeric_limits<int>::max());
    QCOMPARE(wholeNumberOf(u"-9e999"), std::numeric_limits<int>::min());
    QCOMPARE(wholeNumberOf(u"1e-999"), 0);
    QCOMPARE(wholeNumberOf(QString(400, QLatin1Char('9'))), std::numeric_limits<int>::max());
}

QTEST_APPLESS_MAIN(TestTextNumber)
#include "tst_textnumber.moc"
