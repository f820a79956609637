#include "app/helpactions.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "testing/mainwindowfixture.h"

#include <QAction>
#include <QTest>
#include <QTextBrowser>

using namespace talvex;
using namespace talvex::testing;

class TestHelpActions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void help_manualInsideTheStationAndAbout();
};

void TestHelpActions::help_manualInsideTheStationAndAbout()
{
    MainWindowFixture fixture;
    HelpActions help(fixture.window());
    const MainWindowUi &ui = fixture.window().ui();
    QCOMPARE(ui.manualAction->shortcut(), QKeySequence(Qt::Key_F1));
    ui.manualAction->trigger();
    QVERIFY(help.manual() && help.manual()->isVisible());
    // The manual is the station's own, in Traditional Chinese, and tells what the
    // messages mean.
    const QString text = help.manual()->toPlainText();
    QVERIFY(text.contains(QStringLiteral("使用說明")));
    QVERIFY(text.contains(QStringLiteral("通訊有誤!")));
    ui.aboutAction->trigger();
    QCOMPARE(fixture.op().notices().size(), 1);
    QVERIFY(fixture.op().notices().front().contains(QStringLiteral(TALVEX_VERSION)));
    QVERIFY(fixture.op().notices().front().contains(QString::fromLatin1(qVersion())));
    QVERIFY(fixture.op().notices().front().contains(QStringLiteral("MIT")));
}

QTEST_MAIN(TestHelpActions)
#include "tst_helpactions.moc"
