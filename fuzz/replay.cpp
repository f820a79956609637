// Replays the stored inputs of one fuzz target in the normal build, without libFuzzer:
// every file in fuzz/seeds/<target>/ and fuzz/regressions/<target>/ goes through the
// target's entry function once. The targets check their own invariants and abort when
// one breaks; the abort fails this test, and the log names the file it was replaying.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

const QString kFuzzFolder = QStringLiteral(TALVEX_FUZZ_FOLDER);
const QString kTarget = QStringLiteral(TALVEX_FUZZ_TARGET);

QFileInfoList storedInputs(const QString &folder)
{
    return QDir(kFuzzFolder + QLatin1Char('/') + folder + QLatin1Char('/') + kTarget)
        .entryInfoList(QDir::Files, QDir::Name);
}

} // namespace

class TestFuzzReplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void storedInput_keepsTheTargetsInvariants_data();
    void storedInput_keepsTheTargetsInvariants();
};

void TestFuzzReplay::initTestCase()
{
    // Without seeds the replay would pass on nothing: a moved folder or a renamed
    // target must show up here.
    QVERIFY2(!storedInputs(QStringLiteral("seeds")).isEmpty(), qPrintable(kFuzzFolder + "/seeds/" + kTarget));
}

void TestFuzzReplay::storedInput_keepsTheTargetsInvariants_data()
{
    QTest::addColumn<QString>("path");
    for (const QString &folder : {QStringLiteral("seeds"), QStringLiteral("regressions")}) {
        for (const QFileInfo &input : storedInputs(folder)) {
            const QString tag = folder + QLatin1Char('/') + input.fileName();
            QTest::newRow(qPrintable(tag)) << input.filePath();
        }
    }
}

void TestFuzzReplay::storedInput_keepsTheTargetsInvariants()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    const QByteArray bytes = file.readAll();
    // A buffer of exactly the input's size, as libFuzzer passes it, so that a sanitized
    // build catches a read past its end.
    const std::vector<uint8_t> data(bytes.begin(), bytes.end());
    // Said before the call: when the target aborts, this is the last line of the log.
    qInfo().noquote() << "replaying" << path;
    const int result = LLVMFuzzerTestOneInput(data.data(), data.size());
    QVERIFY2(result == 0 || result == -1, "an entry function returns 0, or -1 to reject an input");
}

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "replay.moc"
