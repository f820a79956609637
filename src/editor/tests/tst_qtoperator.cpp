// The real message boxes keep within the screen whatever their text: a long run is cut
// in the middle, a long text is cut short, and the whole text is in the details.
#include "editor/qtoperator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace talvex;

class TestQtOperator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void boxes_keepWithinScreen_data();
    void boxes_keepWithinScreen();
};

namespace {

struct Seen
{
    bool shown = false;
    QString text;
    QString details;
    Qt::TextFormat format = Qt::AutoText;
    QList<QRect> frames; ///< as it opened, and with its details open
    QRect available;
    bool buttonsWithin = true;
};

bool within(const QRect &outer, const QRect &inner)
{
    return outer.contains(inner.topLeft()) && outer.contains(inner.bottomRight());
}

/// Looks at the box once it is up, opens its details if it has any, looks again,
/// and closes it with its first button of the accepting kind.
void watchBox(Seen &seen)
{
    QTimer::singleShot(0, [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            watchBox(seen);
            return;
        }
        seen.shown = true;
        seen.text = box->text();
        seen.details = box->detailedText();
        seen.format = box->textFormat();
        seen.available = box->screen()->availableGeometry();
        auto look = [&seen, box] {
            seen.frames << box->frameGeometry();
            for (QAbstractButton *button : box->buttons()) {
                const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
                seen.buttonsWithin = seen.buttonsWithin && button->isVisible() && within(seen.available, onScreen);
            }
        };
        look();
        for (QAbstractButton *button : box->buttons()) {
            if (box->buttonRole(button) == QMessageBox::ActionRole) {
                button->click();
                look();
            }
        }
        box->done(QMessageBox::Ok);
    });
}

} // namespace

void TestQtOperator::boxes_keepWithinScreen_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shownStart"); // the shown text starts so; empty: shown whole
    QTest::addColumn<QString>("shownEnd");   // and ends so

    const QString path = QStringLiteral("/dev/") + QString(5000, QLatin1Char('a')) + QStringLiteral("/ttyEND");
    const QString tooLong = QStringLiteral("裝置 %1 的名稱太長, 系統無法開啟。").arg(path);
    QString manyLines;
    for (int i = 1; i <= 400; ++i)
        manyLines += QStringLiteral("第 %1 行\n").arg(i);
    QString manyWords;
    for (int i = 0; i < 3000; ++i)
        manyWords += QStringLiteral("字 ");

    QTest::newRow("5000-character path") << "notice" << tooLong << "裝置 /dev/aaa"
                                         << "aaa/ttyEND 的名稱太長, 系統無法開啟。";
    QTest::newRow("5000-character path in a question") << "yes/no" << tooLong << "裝置 /dev/aaa"
                                                       << "系統無法開啟。";
    QTest::newRow("400 lines") << "ok/cancel" << manyLines << "第 1 行\n第 2 行\n" << QString(QChar(0x2026));
    QTest::newRow("3000 short words") << "notice" << manyWords << "字 字 字 " << QString(QChar(0x2026));
    QTest::newRow("ordinary notice") << "notice"
                                     << " 連線錯誤 !" << QString() << QString();
    QTest::newRow("markup is shown as it is") << "notice"
                                              << "<b>/dev/tty</b>" << QString() << QString();
}

void TestQtOperator::boxes_keepWithinScreen()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QString, shownStart);
    QFETCH(QString, shownEnd);
    // The minimal platform (the Windows build's tests under Wine) has a screen of
    // 240x320, smaller than a box whose text has to be cut can be made.
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    if (!shownStart.isEmpty() && (screen.width() < 640 || screen.height() < 480))
        QSKIP("the screen is smaller than a box with a cut text and its details can be made");
    QtOperator op;
    Seen seen;
    watchBox(seen);
    if (kind == QLatin1String("notice"))
        op.notice(text, QStringLiteral("訊息"), Operator::Icon::Warning);
    else if (kind == QLatin1String("yes/no"))
        op.askYesNo(text, QStringLiteral("訊息"));
    else
        op.askOkCancel(text, QString(), Operator::Icon::Question);

    QVERIFY(seen.shown);
    for (const QRect &frame : seen.frames) {
        QVERIFY2(
            within(seen.available, frame),
            qPrintable(
                QStringLiteral("%1x%2+%3+%4").arg(frame.width()).arg(frame.height()).arg(frame.x()).arg(frame.y())));
    }
    QVERIFY(seen.buttonsWithin);
    QCOMPARE(seen.format, Qt::PlainText); // a path that looks like markup shows as it is
    if (shownStart.isEmpty()) {
        QCOMPARE(seen.text, text);
        QVERIFY(seen.details.isEmpty());
        QCOMPARE(seen.frames.size(), 1);
    } else {
        QVERIFY2(seen.text.startsWith(shownStart) && seen.text.endsWith(shownEnd), qPrintable(seen.text.left(300)));
        QCOMPARE(seen.details, text);
        QCOMPARE(seen.frames.size(), 2);
    }
}

QTEST_MAIN(TestQtOperator)
#include "tst_qtoperator.moc"
