#include "app/helpactions.h"
#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "testing/mainwindowfixture.h"

#include <QAction>
#include <QImage>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

using namespace talvex;
using namespace talvex::testing;

class TestHelpActions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void help_manualInsideTheStationAndAbout();
    void manual_showsItsPicturesFromTheResources();
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

void TestHelpActions::manual_showsItsPicturesFromTheResources()
{
    MainWindowFixture fixture;
    HelpActions help(fixture.window());
    fixture.window().ui().manualAction->trigger();
    QTextBrowser *manual = help.manual();
    QVERIFY(manual);
    const QString html = manual->document()->toHtml();
    QStringList pictures;
    for (const QRegularExpressionMatch &match :
         QRegularExpression(QStringLiteral("<img src=\"([^\"]+)\"")).globalMatch(html))
        pictures << match.captured(1);
    QVERIFY(pictures.size() >= 6);
    for (const QString &picture : pictures) {
        // As the browser finds it: beside the manual, in the station's resources.
        const QVariant bytes = manual->loadResource(QTextDocument::ImageResource, QUrl(picture));
        QVERIFY2(!QImage::fromData(bytes.toByteArray()).isNull(),
                 qPrintable(picture + QStringLiteral(" is not there")));
    }
}

QTEST_MAIN(TestHelpActions)
#include "tst_helpactions.moc"
