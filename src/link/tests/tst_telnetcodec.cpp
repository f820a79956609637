// The Telnet side of a line through a device server (RFC 2217): what the station sends
// first, how data is escaped, and what is left of what arrives.
#include "link/telnetcodec.h"

#include <QTest>

using namespace talvex;

class TestTelnetCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opening_offersTheOptionAndSetsTheLine();
    void encode_doublesEveryIac_data();
    void encode_doublesEveryIac();
    void decode_keepsTheLinesBytesOnly_data();
    void decode_keepsTheLinesBytesOnly();
};

void TestTelnetCodec::opening_offersTheOptionAndSetsTheLine()
{
    const QByteArray expected = QByteArray::fromHex("fffb2c"               // WILL COM-PORT-OPTION
                                                    "fffa2c0100002580fff0" // SET-BAUDRATE 9600
                                                    "fffa2c0208fff0"       // SET-DATASIZE 8
                                                    "fffa2c0301fff0"       // SET-PARITY NONE
                                                    "fffa2c0401fff0"       // SET-STOPSIZE 1
                                                    "fffa2c0501fff0");     // SET-CONTROL none
    QCOMPARE(TelnetCodec::opening().toHex(), expected.toHex());
}

void TestTelnetCodec::encode_doublesEveryIac_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("command line") << QByteArray("?VM\r") << QByteArray("?VM\r");
    QTest::newRow("0xff among data") << QByteArray::fromHex("41ff42ffff") << QByteArray::fromHex("41ffff42ffffffff");
}

void TestTelnetCodec::encode_doublesEveryIac()
{
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, sent);
    QCOMPARE(TelnetCodec::encode(data).toHex(), sent.toHex());
    TelnetCodec codec;
    QCOMPARE(codec.decode(sent).data.toHex(), data.toHex());
}

void TestTelnetCodec::decode_keepsTheLinesBytesOnly_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("comPort"); // 1 accepted, -1 refused, 0 no answer yet

    QTest::newRow("plain") << QByteArray("3\r") << QByteArray("3\r") << QByteArray() << 0;
    QTest::newRow("our option accepted, line state notices") << QByteArray::fromHex("fffd2c"
                                                                                    "31"
                                                                                    "fffa2c6b0100002580fff0"
                                                                                    "fffa2c6d10fff0"
                                                                                    "32")
                                                             << QByteArray("12") << QByteArray() << 1;
    QTest::newRow("our option refused") << QByteArray::fromHex("fffe2c41") << QByteArray("A") << QByteArray() << -1;
    QTest::newRow("unasked offers and requests refused") << QByteArray::fromHex("fffb01"
                                                                                "fffd03"
                                                                                "41"
                                                                                "fffb00"
                                                                                "fffc01"
                                                                                "fffe18")
                                                         << QByteArray("A")
                                                         << QByteArray::fromHex("fffe01"
                                                                                "fffc03"
                                                                                "fffe00")
                                                         << 0;
    QTest::newRow("0xff as data, also inside a subnegotiation") << QByteArray::fromHex("41ffff"
                                                                                       "fffa2c6bffff00fff0"
                                                                                       "ffff42")
                                                                << QByteArray::fromHex("41ffff42") << QByteArray() << 0;
    QTest::newRow("two-byte commands") << QByteArray::fromHex("fff141"
                                                              "fff3"
                                                              "42")
                                       << QByteArray("AB") << QByteArray() << 0;
    QTest::newRow("unfinished subnegotiation then an offer") << QByteArray::fromHex("fffa2c6b01"
                                                                                    "fffb03"
                                                                                    "43")
                                                             << QByteArray("C") << QByteArray::fromHex("fffe03") << 0;
}

void TestTelnetCodec::decode_keepsTheLinesBytesOnly()
{
    QFETCH(QByteArray, received);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, reply);
    QFETCH(int, comPort);
    // In one read, and split at every place: the decoder keeps its place between reads.
    for (qsizetype split = 0; split <= received.size(); ++split) {
        TelnetCodec codec;
        const TelnetCodec::Decoded first = codec.decode(received.left(split));
        const TelnetCodec::Decoded second = codec.decode(received.mid(split));
        QCOMPARE((first.data + second.data).toHex(), data.toHex());
        QCOMPARE((first.reply + second.reply).toHex(), reply.toHex());
        QCOMPARE(codec.comPortAccepted(), comPort > 0);
        QCOMPARE(codec.comPortRefused(), comPort < 0);
    }
}

QTEST_GUILESS_MAIN(TestTelnetCodec)
#include "tst_telnetcodec.moc"
