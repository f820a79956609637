#include "core/iomask.h"

#include <QTest>

using namespace talvex;

namespace {

template <std::size_t N> QList<int> checkedOf(const MaskBoxes<N> &boxes)
{
    QList<int> out;
    for (std::size_t k = 1; k <= N; ++k) {
        if (boxes[k - 1])
            out << int(k);
    }
    return out;
}

const QList<int> kAll16 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const QList<int> kAll8 = {1, 2, 3, 4, 5, 6, 7, 8};

} // namespace

class TestIoMask : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sweepMask_inputsAndOutputs_data();
    void sweepMask_inputsAndOutputs();
};

void TestIoMask::sweepMask_inputsAndOutputs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("namesBoxes");
    QTest::addColumn<QList<int>>("inputs");
    QTest::addColumn<qint64>("inputRest");
    QTest::addColumn<QList<int>>("outputs");
    QTest::addColumn<qint64>("outputRest");
    QTest::newRow("0") << "0" << false << QList<int>{} << 0LL << QList<int>{} << 0LL;
    QTest::newRow("0.4 rounds to 0") << "0.4" << false << QList<int>{} << 0LL << QList<int>{} << 0LL;
    QTest::newRow("negative") << "-5" << false << QList<int>{} << 0LL << QList<int>{} << 0LL;
    QTest::newRow("non-numeric text") << "abc" << false << QList<int>{} << 0LL << QList<int>{} << 0LL;
    QTest::newRow("echo before the number") << "?INP\r5\r" << false << QList<int>{} << 0LL << QList<int>{} << 0LL;
    QTest::newRow("5") << "5" << true << QList<int>{1, 3} << 0LL << QList<int>{1, 3} << 0LL;
    QTest::newRow("blanks inside, 129") << " 1 29\r" << true << QList<int>{1, 8} << 0LL << QList<int>{1, 8} << 0LL;
    QTest::newRow("2.5 rounds to 2") << "2.5" << true << QList<int>{2} << 0LL << QList<int>{2} << 0LL;
    QTest::newRow("3.5 rounds to 4") << "3.5" << true << QList<int>{3} << 0LL << QList<int>{3} << 0LL;
    QTest::newRow("300: outputs over range") << "300" << true << QList<int>{3, 4, 6, 9} << 0LL << kAll8 << 45LL;
    QTest::newRow("65535") << "65535" << true << kAll16 << 0LL << kAll8 << 65280LL;
    QTest::newRow("65536: inputs over range") << "65536" << true << kAll16 << 1LL << kAll8 << 65281LL;
    QTest::newRow("beyond 32 bits") << "1e12" << true << kAll16 << 2147418112LL << kAll8 << 2147483392LL;
}

void TestIoMask::sweepMask_inputsAndOutputs()
{
    QFETCH(QString, text);
    QFETCH(bool, namesBoxes);
    QFETCH(QList<int>, inputs);
    QFETCH(qint64, inputRest);
    QFETCH(QList<int>, outputs);
    QFETCH(qint64, outputRest);
    const std::optional<MaskSweep<16>> in = sweepMask<16>(QStringView(text));
    const std::optional<MaskSweep<8>> out = sweepMask<8>(QStringView(text));
    QCOMPARE(in.has_value(), namesBoxes);
    QCOMPARE(out.has_value(), namesBoxes);
    if (!namesBoxes)
        return;
    QCOMPARE(checkedOf(in->boxes), inputs);
    QCOMPARE(in->rest, inputRest);
    QCOMPARE(checkedOf(out->boxes), outputs);
    QCOMPARE(out->rest, outputRest);
    // Within range the boxes store back as the same mask.
    if (inputRest == 0)
        QCOMPARE(qint64(maskOf(in->boxes)), qint64(wholeNumberOf(text)));
}

QTEST_GUILESS_MAIN(TestIoMask)
#include "tst_iomask.moc"
