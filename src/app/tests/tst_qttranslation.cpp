#include "app/qttranslation.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace talvex;

class TestQtTranslation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void messageBoxButtons_chineseWhenTranslationFound_data();
    void messageBoxButtons_chineseWhenTranslationFound();
};

void TestQtTranslation::messageBoxButtons_chineseWhenTranslationFound_data()
{
    QTest::addColumn<bool>("found");
    QTest::addColumn<QStringList>("buttons"); // OK, Cancel, Yes, No
    QTest::newRow("Qt's translations folder") << true << QStringList{"確定", "取消", "是(&Y)", "否(&N)"};
    QTest::newRow("file missing") << false << QStringList{"OK", "Cancel", "&Yes", "&No"};
}

void TestQtTranslation::messageBoxButtons_chineseWhenTranslationFound()
{
    QFETCH(bool, found);
    QFETCH(QStringList, buttons);
    // The system's language must not matter.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir empty;
    QTranslator *translator = found ? installQtTranslation(*qApp) : installQtTranslation(*qApp, empty.path());
    QCOMPARE(translator != nullptr, found);

    QMessageBox box(QMessageBox::Question, QStringLiteral("訊息"), QStringLiteral("?"),
                    QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    const QStringList shown = {box.button(QMessageBox::Ok)->text(), box.button(QMessageBox::Cancel)->text(),
                               box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text()};
    delete translator;
    QCOMPARE(shown, buttons);
}

QTEST_MAIN(TestQtTranslation)
#include "tst_qttranslation.moc"
