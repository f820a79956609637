#include "core/big5.h"

#include <QTest>

using namespace talvex;

class TestBig5 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void table_bothWays_data();
    void table_bothWays();
    void decode_incompleteEndIsReplaced_data();
    void decode_incompleteEndIsReplaced();
    void decode_damagedBytesReadAlikeWholeOrInPieces_data();
    void decode_damagedBytesReadAlikeWholeOrInPieces();
    void encode_halfSurrogatePairIsRefused();
};

void TestBig5::table_bothWays_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    // The code page 950 additions at the end of the table, and the euro sign: a Big5
    // table without them reads older files differently.
    QTest::newRow("碁") << QStringLiteral("碁") << QByteArray("\xF9\xD6");
    QTest::newRow("銹") << QStringLiteral("銹") << QByteArray("\xF9\xD7");
    QTest::newRow("裏") << QStringLiteral("裏") << QByteArray("\xF9\xD8");
    QTest::newRow("墻") << QStringLiteral("墻") << QByteArray("\xF9\xD9");
    QTest::newRow("恒") << QStringLiteral("恒") << QByteArray("\xF9\xDA");
    QTest::newRow("粧") << QStringLiteral("粧") << QByteArray("\xF9\xDB");
    QTest::newRow("嫺") << QStringLiteral("嫺") << QByteArray("\xF9\xDC");
    QTest::newRow("€") << QStringLiteral("€") << QByteArray("\xA3\xE1");
}

void TestBig5::table_bothWays()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QVERIFY(big5Available());
    const Big5Bytes encoded = encodeBig5(text);
    QVERIFY(encoded.ok);
    QCOMPARE(encoded.bytes, bytes);
    QCOMPARE(decodeBig5(bytes), text);
}

void TestBig5::decode_incompleteEndIsReplaced_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("lead byte after ASCII") << QByteArray("0\xA4") << QStringLiteral("0\uFFFD");
    QTest::newRow("lead byte after a character") << QByteArray("\xA4\xA4\xA4") << QStringLiteral("中\uFFFD");
    QTest::newRow("lead byte alone") << QByteArray("\xA4") << QStringLiteral("\uFFFD");
}

void TestBig5::decode_incompleteEndIsReplaced()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeBig5(bytes), text);
}

void TestBig5::decode_damagedBytesReadAlikeWholeOrInPieces_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("lead byte before a byte that cannot trail it")
        << QByteArray::fromHex("a430a4a4") << QStringLiteral("\uFFFD0中");
    QTest::newRow("pair the table does not hold") << QByteArray::fromHex("a3e241") << QStringLiteral("\uFFFDA");
    QTest::newRow("trail byte 80..A0, at the end too")
        << QByteArray::fromHex("41a480a4a0") << QStringLiteral("A\uFFFD\uFFFD");
    QTest::newRow("single bytes outside ASCII") << QByteArray::fromHex("80ff") << QStringLiteral("\u0080\uF8F8");
}

void TestBig5::decode_damagedBytesReadAlikeWholeOrInPieces()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeBig5(bytes), text);
    // As the line brings them: cut anywhere, the pieces read as the whole does.
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
        Big5StreamDecoder stream;
        QString pieces = stream.decode(bytes.left(cut));
        pieces += stream.decode(bytes.mid(cut));
        QCOMPARE(pieces, text);
    }
}

void TestBig5::encode_halfSurrogatePairIsRefused()
{
    // At the very end too, where a converter may keep it for a next call.
    for (const QString &text :
         {QStringLiteral("中") + QChar(0xD800), QStringLiteral("中") + QChar(0xDC00) + QStringLiteral("文")}) {
        const Big5Bytes encoded = encodeBig5(text);
        QVERIFY(!encoded.ok);
        QCOMPARE(encoded.firstBad, 1);
    }
}

QTEST_APPLESS_MAIN(TestBig5)
#include "tst_big5.moc"
