#include "core/big5.h"
#include "core/text.h"

#include <QTest>

using namespace talvex;

class TestText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withoutSpaces_removesOnlySpaces_data();
    void withoutSpaces_removesOnlySpaces();
    void coordinateText_keepsDigitsAndPoints_data();
    void coordinateText_keepsDigitsAndPoints();
    void big5_roundTripsTraditionalChinese();
    void big5_locatesFirstCharacterItCannotHold_data();
    void big5_locatesFirstCharacterItCannotHold();
    void big5_decodingDamagedBytesNeverFails();
};

void TestText::withoutSpaces_removesOnlySpaces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("loop name") << "#L 12"
                               << "#L12";
    QTest::newRow("only spaces") << "   "
                                 << "";
    QTest::newRow("tab kept") << "a\tb c"
                              << "a\tbc";
    QTest::newRow("negative number kept") << "#L -1"
                                          << "#L-1";
}

void TestText::withoutSpaces_removesOnlySpaces()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(withoutSpaces(text), expected);
}

void TestText::coordinateText_keepsDigitsAndPoints_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unit") << "12.5mm"
                          << "12.5";
    QTest::newRow("sign dropped") << "-40"
                                  << "40";
    QTest::newRow("letters only") << "abc"
                                  << "";
    QTest::newRow("several points stay") << "1.2.3"
                                         << "1.2.3";
    QTest::newRow("echoed reply") << "?PEX\r1234\r"
                                  << "1234";
    QTest::newRow("full-width digits dropped") << QStringLiteral("１２3") << "3";
}

void TestText::coordinateText_keepsDigitsAndPoints()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(coordinateText(text), expected);
}

void TestText::big5_roundTripsTraditionalChinese()
{
    const QString name = QStringLiteral("起點 A1");
    const Big5Bytes encoded = encodeBig5(name);
    QVERIFY(encoded.ok);
    QCOMPARE(encoded.firstBad, -1);
    QCOMPARE(encoded.bytes, QByteArray("\xb0\x5f\xc2\x49 A1"));
    QCOMPARE(decodeBig5(encoded.bytes), name);
}

void TestText::big5_locatesFirstCharacterItCannotHold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("firstBad");
    QTest::addColumn<QString>("character");
    QTest::newRow("simplified form") << QStringLiteral("标签") << 0 << QStringLiteral("标");
    QTest::newRow("after traditional text") << QStringLiteral("標籤标") << 2 << QStringLiteral("标");
    QTest::newRow("emoji surrogate pair") << QStringLiteral("ab\U0001F600") << 2 << QStringLiteral("\U0001F600");
}

void TestText::big5_locatesFirstCharacterItCannotHold()
{
    QFETCH(QString, text);
    QFETCH(int, firstBad);
    QFETCH(QString, character);
    const Big5Bytes encoded = encodeBig5(text);
    QVERIFY(!encoded.ok);
    QCOMPARE(encoded.firstBad, firstBad);
    QCOMPARE(characterAt(text, encoded.firstBad), character);
}

void TestText::big5_decodingDamagedBytesNeverFails()
{
    const QString decoded = decodeBig5(QByteArray("\xff\x41\xa4", 3));
    QVERIFY(!decoded.isEmpty());
    QVERIFY(decoded.contains(QLatin1Char('A')));
}

QTEST_APPLESS_MAIN(TestText)
#include "tst_text.moc"
