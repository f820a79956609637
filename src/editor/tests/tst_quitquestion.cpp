#include "editor/mainwindow.h"
#include "editor/mainwindowui.h"
#include "files/programfile.h"
#include "testing/mainwindowfixture.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace talvex;
using testing::ScriptedOperator;

// The question before quitting with unsaved work, on both ways out: which answers
// quit, what reaches the controller, and what is written.
class TestQuitQuestion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void quit_asksOnlyWithUnsavedWork_data();
    void quit_asksOnlyWithUnsavedWork();
};

void TestQuitQuestion::quit_asksOnlyWithUnsavedWork_data()
{
    QTest::addColumn<QString>("way");  // "exit": "結束(&E)"; "close": the window's close box
    QTest::addColumn<QString>("work"); // opened, started, saved, unsaved, undone
    QTest::addColumn<bool>("linkUp");
    QTest::addColumn<QString>("answer"); // yes, yes-cancelled, yes-fails, no, cancel; "" when not asked
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<bool>("quits");
    QTest::addColumn<bool>("written");

    const QByteArray exit = "EC 1\r";
    // Nothing to lose: a file just opened (Dirty false), editing started with no step,
    // the steps as they were just saved.
    QTest::newRow("exit, opened, link up") << "exit"
                                           << "opened" << true << "" << false << exit << true << false;
    QTest::newRow("close, opened, link up") << "close"
                                            << "opened" << true << "" << false << QByteArray() << true << false;
    QTest::newRow("exit, started, link down") << "exit"
                                              << "started" << false << "" << false << QByteArray() << true << false;
    QTest::newRow("exit, saved, link up") << "exit"
                                          << "saved" << true << "" << false << exit << true << false;
    // Unsaved work.
    QTest::newRow("exit, yes, written") << "exit"
                                        << "unsaved" << true << "yes" << true << exit << true << true;
    QTest::newRow("exit, yes, dialog cancelled")
        << "exit"
        << "unsaved" << true << "yes-cancelled" << true << QByteArray() << false << false;
    QTest::newRow("exit, yes, write fails")
        << "exit"
        << "unsaved" << true << "yes-fails" << true << QByteArray() << false << false;
    QTest::newRow("exit, no, link up") << "exit"
                                       << "unsaved" << true << "no" << true << exit << true << false;
    QTest::newRow("exit, no, link down") << "exit"
                                         << "unsaved" << false << "no" << true << QByteArray() << true << false;
    // An undo back to the start clears Dirty; a step placed after it is unsaved work.
    QTest::newRow("exit, step after an undo, no") << "exit"
                                                  << "undone" << true << "no" << true << exit << true << false;
    QTest::newRow("exit, cancel") << "exit"
                                  << "unsaved" << true << "cancel" << true << QByteArray() << false << false;
    QTest::newRow("close, yes, written") << "close"
                                         << "unsaved" << true << "yes" << true << QByteArray() << true << true;
    QTest::newRow("close, yes, dialog cancelled")
        << "close"
        << "unsaved" << false << "yes-cancelled" << true << QByteArray() << false << false;
    QTest::newRow("close, no") << "close"
                               << "unsaved" << true << "no" << true << QByteArray() << true << false;
    QTest::newRow("close, cancel") << "close"
                                   << "unsaved" << true << "cancel" << true << QByteArray() << false << false;
}

void TestQuitQuestion::quit_asksOnlyWithUnsavedWork()
{
    QFETCH(QString, way);
    QFETCH(QString, work);
    QFETCH(bool, linkUp);
    QFETCH(QString, answer);
    QFETCH(bool, asked);
    QFETCH(QByteArray, sent);
    QFETCH(bool, quits);
    QFETCH(bool, written);

    testing::MainWindowFixture fixture;
    MainWindow &window = fixture.window();
    ScriptedOperator &op = fixture.op();
    testing::MemorySerialPort &port = fixture.port();
    const MainWindowUi &ui = window.ui();
    window.show();

    const QString earlier = fixture.filePath(QStringLiteral("earlier.tvx"));
    if (work == QLatin1String("opened")) {
        ProgramTable program;
        program.writeHeader();
        program.setRow(1, {"HOME", "0", "0", "0", "0"});
        QVERIFY(writeProgramFile(earlier, program, 1));
        op.answerFile(earlier);
        ui.openAction->trigger();
    } else {
        ui.startEditingButton->click();
        if (work != QLatin1String("started")) {
            ui.homeButton->click();
            ui.loopEndButton->click();
        }
        if (work == QLatin1String("undone")) {
            ui.undoAction->trigger();
            ui.undoAction->trigger();
            ui.homeButton->click();
        }
        if (work == QLatin1String("saved")) {
            op.answerFile(earlier);
            ui.saveAsAction->trigger();
        }
    }
    if (linkUp) {
        port.responder = [](const QByteArray &line) { return line == "?VM" ? QByteArray("V\r") : QByteArray(); };
        ui.connectButton->click();
        QVERIFY(port.isOpen());
    }
    op.clear();
    port.clearWrites();

    const QString target = fixture.filePath(QStringLiteral("kept.tvx"));
    if (answer == QLatin1String("yes")) {
        op.answerYes();
        op.answerFile(target);
    } else if (answer == QLatin1String("yes-cancelled")) {
        op.answerYes();
        op.answerFile(QString());
    } else if (answer == QLatin1String("yes-fails")) {
        op.answerYes();
        op.answerFile(fixture.filePath(QStringLiteral("no such folder/kept.tvx")));
    } else if (answer == QLatin1String("no")) {
        op.answerNo();
    } else if (answer == QLatin1String("cancel")) {
        op.answerCancel();
    }

    if (way == QLatin1String("exit"))
        ui.exitAction->trigger();
    else
        window.close();

    QCOMPARE(op.pendingAnswers(), 0);
    QCOMPARE(op.unscripted(), 0);
    QCOMPARE(!op.shown().empty() && op.shown().front().kind == ScriptedOperator::Kind::YesNoCancel, asked);
    if (asked) {
        const ScriptedOperator::Shown &question = op.shown().front();
        QCOMPARE(question.text, QStringLiteral("程式尚未存檔, 是否要在結束前存檔?"));
        QCOMPARE(question.title, QStringLiteral("訊息"));
        QCOMPARE(question.icon, Operator::Icon::Question);
    }
    QCOMPARE(port.written(), sent);
    QCOMPARE(!window.isVisible(), quits);
    QCOMPARE(port.isOpen(), linkUp && (!quits || way == QLatin1String("close")));
    QCOMPARE(QFile::exists(target), written);
}

QTEST_MAIN(TestQuitQuestion)
#include "tst_quitquestion.moc"
