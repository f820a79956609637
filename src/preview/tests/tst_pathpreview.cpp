#include "document/programdocument.h"
#include "preview/pathpreviewwindow.h"
#include "preview/pathview.h"
#include "preview/planegrid.h"
#include "testing/filekinds.h"
#include "testing/scriptedoperator.h"
#include "testing/stepbuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

using namespace talvex;
using namespace talvex::testing;

namespace {

/// Whether the build writes SVG (it has Qt Svg), from the build itself.
constexpr bool kHaveSvg = TALVEX_HAVE_SVG;

/// Points, a skipped point, home and a delay: rows 1..6.
const QStringList kProgram = {"POINT|0|100|50|0", "GLABLE|A", "POINT|0|300|-80|0", "LABLE|A", "HOME", "WT|500"};

} // namespace

class TestPathPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void draws_markersWhereTheRowsAre();
    void click_choosesTheRowUnderThePointer_data();
    void click_choosesTheRowUnderThePointer();
    void wheelZoomsAboutPointer_dragPans_fitAllRestores();
    void gridLabels_stayInsideTheView_data();
    void gridLabels_stayInsideTheView();
    void legend_explainsTheMarksAndKeepsClearOfThePath();
    void summaryLabel_followsTheTable_data();
    void summaryLabel_followsTheTable();
    void saveImage_writesTheKindItsNameSays_data();
    void saveImage_writesTheKindItsNameSays();
    void saveImage_asksAboutTheFileReallyWritten_data();
    void saveImage_asksAboutTheFileReallyWritten();

private:
    void load(const QStringList &rows);
    QPoint pixelOf(QPointF mm) const { return m_window->view()->plane().toPixels(mm).toPoint(); }

    ProgramDocument m_document;
    ScriptedOperator m_op;
    QTemporaryDir m_dir;
    PathPreviewWindow *m_window = nullptr;
};

void TestPathPreview::init()
{
    m_op.clear();
    m_window = new PathPreviewWindow(m_document, m_op);
    m_window->resize(800, 600);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    load(kProgram);
}

void TestPathPreview::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void TestPathPreview::load(const QStringList &rows)
{
    m_document.replaceProgram(tableOf(rows), static_cast<int>(rows.size()), {});
    m_window->refresh();
}

void TestPathPreview::draws_markersWhereTheRowsAre()
{
    const QImage image = m_window->view()->grab().toImage();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("路徑預覽"));
    // Travelled point and home filled in their colours; the skipped point hollow.
    QCOMPARE(image.pixelColor(pixelOf({100, 50})), QColor(0x1f, 0x5f, 0xbf));
    QCOMPARE(image.pixelColor(pixelOf({0, 0})), QColor(0x2e, 0x8b, 0x57));
    QCOMPARE(image.pixelColor(pixelOf({300, -80})), QColor(Qt::white));
    QVERIFY(image.pixelColor(pixelOf({300, -80}) + QPoint(4, 0)) != QColor(Qt::white));
    // Fitted with a margin: everything drawn lies inside the view.
    for (const QPointF &mm : {QPointF(0, 0), QPointF(300, -80), QPointF(100, 50)})
        QVERIFY(QRect(QPoint(30, 30), m_window->view()->size() - QSize(60, 60)).contains(pixelOf(mm)));
}

void TestPathPreview::click_choosesTheRowUnderThePointer_data()
{
    QTest::addColumn<QPointF>("mm");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("tip");

    QTest::newRow("point") << QPointF(100, 50) << QPoint(2, -2) << 1 << "第 1 行: 點 (100, 50)";
    QTest::newRow("skipped point") << QPointF(300, -80) << QPoint() << 3 << "第 3 行: 點 (300, -80) (程式不會執行到)";
    QTest::newRow("home") << QPointF(0, 0) << QPoint(-3, 3) << 5 << "第 5 行: 回原點";
    QTest::newRow("delay mark beside home") << QPointF(0, 0) << QPoint(12, 12) << 6 << "第 6 行: 延遲 0.5 秒";
    QTest::newRow("empty plane") << QPointF(200, 20) << QPoint() << 0 << QString();
}

void TestPathPreview::click_choosesTheRowUnderThePointer()
{
    QFETCH(QPointF, mm);
    QFETCH(QPoint, offset);
    QFETCH(int, row);
    QFETCH(QString, tip);
    const QPoint pixel = pixelOf(mm) + offset;
    QHelpEvent help(QEvent::ToolTip, pixel, m_window->view()->mapToGlobal(pixel));
    QApplication::sendEvent(m_window->view(), &help);
    if (QGuiApplication::platformName() != QLatin1String("minimal")) // shows no tooltips
        QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), tip);

    QSignalSpy clicked(m_window, &PathPreviewWindow::rowClicked);
    QTest::mouseClick(m_window->view(), Qt::LeftButton, {}, pixel);
    if (row == 0) {
        QCOMPARE(clicked.count(), 0);
        return;
    }
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toInt(), row);
    QCOMPARE(m_window->view()->highlightedRow(), row);
}

void TestPathPreview::wheelZoomsAboutPointer_dragPans_fitAllRestores()
{
    PathView *view = m_window->view();
    const double fitted = view->plane().scale();
    const QPointF pointer(500, 200);
    const QPointF under = view->plane().toMillimetres(pointer);
    QWheelEvent wheel(pointer, view->mapToGlobal(pointer), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    QCOMPARE(view->plane().scale(), fitted * 1.25 * 1.25);
    QVERIFY((view->plane().toMillimetres(pointer) - under).manhattanLength() < 1e-9);

    // A drag pans and is no click.
    QSignalSpy clicked(m_window, &PathPreviewWindow::rowClicked);
    const QPoint start = pixelOf({100, 50});
    QTest::mousePress(view, Qt::LeftButton, {}, start);
    QTest::mouseMove(view, start + QPoint(30, 40));
    QTest::mouseRelease(view, Qt::LeftButton, {}, start + QPoint(30, 40));
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(pixelOf({100, 50}), start + QPoint(30, 40));

    // Edits keep the operator's view; "全部顯示" fits again and follows edits again.
    load(kProgram + QStringList{"POINT|0|900|0|0"});
    QCOMPARE(pixelOf({100, 50}), start + QPoint(30, 40));
    QTest::mouseClick(m_window->fitAllButton(), Qt::LeftButton);
    QVERIFY(view->plane().scale() < fitted);
    QVERIFY(view->rect().contains(pixelOf({900, 0})));
}

void TestPathPreview::gridLabels_stayInsideTheView_data()
{
    QTest::addColumn<QSize>("view");
    QTest::addColumn<QRectF>("bounds"); // mm
    QTest::addColumn<int>("points");    // of the labels' font

    QTest::newRow("preview's smallest") << QSize(320, 240) << QRectF(0, -80, 300, 130) << 9;
    QTest::newRow("long numbers") << QSize(500, 400) << QRectF(-12000, -9000, 24000, 18000) << 9;
    QTest::newRow("large text") << QSize(800, 600) << QRectF(0, 0, 450, 300) << 20;
}

void TestPathPreview::gridLabels_stayInsideTheView()
{
    QFETCH(QSize, view);
    QFETCH(QRectF, bounds);
    QFETCH(int, points);
    QFont font;
    font.setPointSize(points);
    const QFontMetricsF metrics(font);
    PlaneTransform plane;
    plane.setViewSize(view);
    plane.fit(bounds, PathView::kFitMargin);
    // Panned across more than a grid step, so lines pass close to every edge.
    for (int shift = 0; shift < 90; shift += 3) {
        const std::vector<PlaneGrid::Label> labels = PlaneGrid::labels(plane, metrics);
        QVERIFY(labels.size() > 4);
        for (const PlaneGrid::Label &label : labels) {
            QVERIFY2(QRectF(QPointF(), QSizeF(view)).contains(label.box),
                     qPrintable(QStringLiteral("%1 at %2, %3 (shift %4)")
                                    .arg(label.text)
                                    .arg(label.box.left())
                                    .arg(label.box.top())
                                    .arg(shift)));
        }
        plane.pan(QPointF(3, 3));
    }
}

void TestPathPreview::legend_explainsTheMarksAndKeepsClearOfThePath()
{
    PathView *view = m_window->view();
    QCheckBox *legend = m_window->legendBox();
    QCOMPARE(legend->text(), QStringLiteral("圖例"));
    QVERIFY(legend->isChecked() && view->legendShown() && !legend->toolTip().isEmpty());
    const QRectF box = PathDrawing::legendBox(view->size());
    QVERIFY(QRectF(view->rect()).contains(box));
    // The fitted program keeps clear of it, markers and their numbers alike.
    for (const PathMove &move : view->path().moves) {
        const QRectF marker(view->plane().toPixels(move.target) - QPointF(10, 20), QSizeF(30, 30));
        QVERIFY2(!box.intersects(marker), qPrintable(QString::number(move.row)));
    }
    // The delay's colour is in the legend, as the delay mark beside home shows it.
    const auto delayPixels = [view, &box] {
        const QImage image = view->grab().toImage();
        int count = 0;
        for (int y = int(box.top()); y < int(box.bottom()); ++y) {
            for (int x = int(box.left()); x < int(box.right()); ++x)
                count += image.pixelColor(x, y) == QColor(0xd2, 0x69, 0x1e);
        }
        return count;
    };
    QVERIFY(delayPixels() > 20);
    QSignalSpy clicked(m_window, &PathPreviewWindow::rowClicked);
    QTest::mouseClick(view, Qt::LeftButton, {}, box.center().toPoint());
    QCOMPARE(clicked.count(), 0);

    QTest::mouseClick(legend, Qt::LeftButton);
    QVERIFY(!view->legendShown());
    QCOMPARE(delayPixels(), 0);
}

void TestPathPreview::summaryLabel_followsTheTable_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("text");

    // Out to (100, 50) and home: 1.05 s each at 100 mm/s and 2000 mm/s², both bent
    // (45° for 47.5 mm, a bend, then 47.5 mm along X); the skipped point not counted.
    QTest::newRow("the program") << kProgram << QStringLiteral("預估週期時間: 2.60 秒，路徑長度: 240.7 mm");
    QTest::newRow("input waits") << QStringList{"POINT|6|0|100|0", "WT|2500"}
                                 << QStringLiteral(
                                        "預估週期時間: 3.55 秒，路徑長度: 100.0 mm，含 2 個等待輸入 (未計入)");
    QTest::newRow("endless") << QStringList{"LABLE|B", "POINT|0|0|100|0", "HOME", "GLABLE|B"}
                             << QStringLiteral("程式不會結束，路徑長度: 200.0 mm");
    QTest::newRow("empty table") << QStringList{} << QStringLiteral("預估週期時間: 0.00 秒，路徑長度: 0.0 mm");
}

void TestPathPreview::summaryLabel_followsTheTable()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, text);
    load(rows);
    QCOMPARE(m_window->summaryLabel()->text(), text);
    QCOMPARE(m_window->summaryLabel()->accessibleName(), text);
    QCOMPARE(m_window->view()->path().moves.size(), size_t(rows.filter(QRegularExpression("^(POINT|HOME)")).size()));
}

void TestPathPreview::saveImage_writesTheKindItsNameSays_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("start");

    QTest::newRow("png") << "path.png"
                         << "path.png" << QByteArray("\x89PNG");
    QTest::newRow("pdf") << "path.pdf"
                         << "path.pdf" << QByteArray("%PDF");
    // Without Qt Svg a ".svg" is a name like any other.
    QTest::newRow("svg") << "path.svg" << (kHaveSvg ? "path.svg" : "path.svg.png")
                         << QByteArray(kHaveSvg ? "<?xml" : "\x89PNG");
    QTest::newRow("no suffix") << "path"
                               << "path.png" << QByteArray("\x89PNG");
    QTest::newRow("cannot write") << "missing/path.png" << QString() << QByteArray();
    QTest::newRow("a named pipe") << "pipe.png" << QString() << QByteArray();
}

void TestPathPreview::saveImage_writesTheKindItsNameSays()
{
    QFETCH(QString, name);
    QFETCH(QString, written);
    QFETCH(QByteArray, start);
    const QString path = m_dir.filePath(name);
    if (name.startsWith(QLatin1String("pipe"))) {
        if (!canMakeFileKind(FileKind::NamedPipe))
            QSKIP(whyNoFileKind(FileKind::NamedPipe));
        QVERIFY(makeFileKind(FileKind::NamedPipe, path));
    }
    m_op.answerFile(path);
    QTest::mouseClick(m_window->saveImageButton(), Qt::LeftButton);
    QCOMPARE(m_op.shown().front().kind, ScriptedOperator::Kind::SaveFile);
    QCOMPARE(m_op.shown().front().filter, kHaveSvg ? QStringLiteral("圖片(*.png *.pdf *.svg) | *.png;*.pdf;*.svg")
                                                   : QStringLiteral("圖片(*.png *.pdf) | *.png;*.pdf"));
    if (written.isEmpty()) {
        QCOMPARE(m_op.notices().size(), 1);
        QVERIFY(m_op.notices().front().startsWith(QStringLiteral("無法儲存圖片 ") + m_dir.filePath(name)));
        if (QFileInfo(path).exists()) // the pipe is left as it was
            QCOMPARE(m_op.notices().front(), QStringLiteral("無法儲存圖片 %1 !\n%1 不是一般檔案, 無法寫入!").arg(path));
        QVERIFY(!QFileInfo(path).isFile());
        return;
    }
    QVERIFY(m_op.notices().isEmpty());
    QFile file(m_dir.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith(start));
}

void TestPathPreview::saveImage_asksAboutTheFileReallyWritten_data()
{
    QTest::addColumn<QString>("name"); // as the dialog returns it; "plan.png" exists
    QTest::addColumn<bool>("replace");
    QTest::newRow("no suffix, keep") << "plan" << false;
    QTest::newRow("no suffix, replace") << "plan" << true;
}

void TestPathPreview::saveImage_asksAboutTheFileReallyWritten()
{
    QFETCH(QString, name);
    QFETCH(bool, replace);
    const QString existing = m_dir.filePath(QStringLiteral("plan.png"));
    QFile old(existing);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    m_op.answerFile(m_dir.filePath(name));
    replace ? m_op.answerYes() : m_op.answerNo();
    QTest::mouseClick(m_window->saveImageButton(), Qt::LeftButton);
    QCOMPARE(m_op.shown().front().defaultSuffix, QStringLiteral("png"));
    QCOMPARE(m_op.shown().size(), size_t(2));
    QVERIFY(m_op.shown()[1].text.contains(existing));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll().startsWith("\x89PNG"), replace);
}

QTEST_MAIN(TestPathPreview)
#include "tst_pathpreview.moc"
