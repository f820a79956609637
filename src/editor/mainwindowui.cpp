#include "editor/mainwindowui.h"

#include "editor/statusmessagepanel.h"
#include "editor/steplistview.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <utility>

namespace talvex {

namespace {

// The form's client area is the window's smallest size; the status bar takes the
// bottom of it. What the window gains beyond it goes to the step list.
constexpr int kClientWidth = 677;
constexpr int kClientHeight = 604;
constexpr int kStatusHeight = 24;

QFont mingFont(qreal points)
{
    QFont font(QStringLiteral("新細明體"));
    font.setPointSizeF(points);
    return font;
}

QPushButton *button(const QString &caption, const QString &name, QWidget *parent, const QRect &geometry)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    return b;
}

/// A group of the form: its controls keep their places inside it, and it keeps its size.
QGroupBox *frame(const QString &caption, const QString &name, QWidget *parent, const QSize &size)
{
    auto *g = new QGroupBox(caption, parent);
    g->setObjectName(name);
    g->setAccessibleName(caption);
    g->setFixedSize(size);
    return g;
}

/// A tab strip with one tab; returns the page that holds the controls.
QWidget *oneTabStrip(QTabWidget *&strip, const QString &caption, const QString &name, QWidget *parent,
                     const QSize &size)
{
    strip = new QTabWidget(parent);
    strip->setObjectName(name);
    strip->setAccessibleName(caption);
    strip->setMinimumSize(size);
    auto *page = new QWidget;
    page->setObjectName(name + QStringLiteral("Page"));
    page->setAccessibleName(caption);
    strip->addTab(page, caption);
    return page;
}

void checkBoxGrid(QGroupBox *group, QCheckBox **boxes, int count, int perRow, int left, int top, int width,
                  const QString &arrayName, const QString &role)
{
    for (int k = 1; k <= count; ++k) {
        auto *box = new QCheckBox(QString::number(k), group);
        box->setObjectName(arrayName + QLatin1Char('_') + QString::number(k));
        box->setAccessibleDescription(role + QLatin1Char(' ') + QString::number(k));
        const int row = (k - 1) / perRow;
        const int column = (k - 1) % perRow;
        box->setGeometry(left + column * width, top + row * 28, width - 2, 22);
        boxes[k - 1] = box;
    }
}

} // namespace

void MainWindowUi::setupUi(QMainWindow *window)
{
    window->setObjectName(QStringLiteral("Form1"));
    window->setWindowTitle(QStringLiteral("TALVEX"));

    auto *central = new QWidget(window);
    central->setObjectName(QStringLiteral("central"));
    central->setMinimumSize(kClientWidth, kClientHeight - kStatusHeight);
    window->setCentralWidget(central);

    // frame "功能"
    functionFrame = frame(QStringLiteral("功能"), QStringLiteral("functionFrame"), central, {257, 49});
    originButton = button(QStringLiteral("原點"), QStringLiteral("原點"), functionFrame, {8, 22, 56, 23});
    locateButton = button(QStringLiteral("定位"), QStringLiteral("定位"), functionFrame, {70, 22, 56, 23});
    connectButton = button(QStringLiteral("連線"), QStringLiteral("連線鍵"), functionFrame, {132, 22, 56, 23});
    uploadButton = button(QStringLiteral("上傳"), QStringLiteral("Command3"), functionFrame, {194, 22, 56, 23});

    // frame "加速度"
    accelerationFrame = frame(QStringLiteral("加速度"), QStringLiteral("accelerationFrame"), central, {340, 97});
    setAccelerationBox = new QCheckBox(QStringLiteral("修改加速度"), accelerationFrame);
    setAccelerationBox->setObjectName(QStringLiteral("Check3"));
    setAccelerationBox->setFont(mingFont(9.75));
    setAccelerationBox->setGeometry(10, 20, 104, 24);
    accelerationText = new QLineEdit(accelerationFrame);
    accelerationText->setObjectName(QStringLiteral("Text1"));
    accelerationText->setAccessibleName(QStringLiteral("加速度設定值"));
    accelerationText->setFont(mingFont(12));
    accelerationText->setGeometry(118, 18, 70, 28);
    accelerationSlider = new QSlider(Qt::Horizontal, accelerationFrame);
    accelerationSlider->setObjectName(QStringLiteral("Slider1"));
    accelerationSlider->setAccessibleName(QStringLiteral("加速度"));
    accelerationSlider->setGeometry(196, 20, 136, 24);
    accelerationSlider->setRange(50, 5000);
    accelerationSlider->setSingleStep(1);
    accelerationSlider->setPageStep(5);
    internalAccelerationLabel = new QLabel(QStringLiteral("內部加速度"), accelerationFrame);
    internalAccelerationLabel->setObjectName(QStringLiteral("Label2"));
    internalAccelerationLabel->setFont(mingFont(9.75));
    internalAccelerationLabel->setGeometry(12, 48, 100, 16);
    internalAcceleration = new QLineEdit(accelerationFrame);
    internalAcceleration->setObjectName(QStringLiteral("Text2"));
    internalAcceleration->setAccessibleName(QStringLiteral("內部加速度"));
    internalAcceleration->setFont(mingFont(12));
    internalAcceleration->setGeometry(10, 64, 104, 28);
    internalAccelerationLabel->setBuddy(internalAcceleration);

    // frame "修改"
    rowFrame = frame(QStringLiteral("修改"), QStringLiteral("rowFrame"), central, {257, 49});
    insertButton = button(QStringLiteral("插入"), QStringLiteral("Command6"), rowFrame, {8, 22, 72, 23});
    deleteButton = button(QStringLiteral("刪除"), QStringLiteral("Command7"), rowFrame, {92, 22, 72, 23});
    modifyButton = button(QStringLiteral("修改"), QStringLiteral("Command8"), rowFrame, {176, 22, 72, 23});

    // tab strip "功能鍵"
    QWidget *keys =
        oneTabStrip(functionKeysTab, QStringLiteral("功能鍵"), QStringLiteral("SSTab1"), central, {619, 73});
    functionKeysTab->setFixedSize(619, 73);
    const int top = 8;
    int x = 4;
    auto next = [&](const QString &caption, const QString &name) {
        QPushButton *b = button(caption, name, keys, {x, top, 60, 27});
        x += 62;
        return b;
    };
    startEditingButton = next(QStringLiteral("編輯開始"), QStringLiteral("Command12"));
    pointButton = next(QStringLiteral("點"), QStringLiteral("Command19"));
    speedButton = next(QStringLiteral("速度"), QStringLiteral("Command1"));
    homeButton = next(QStringLiteral("回原點"), QStringLiteral("Command4"));
    delayButton = next(QStringLiteral("延遲"), QStringLiteral("Command2"));
    loopButton = next(QStringLiteral("迴圈"), QStringLiteral("LOP"));
    loopEndButton = next(QStringLiteral("迴圈結束"), QStringLiteral("LOOPEND"));
    labelButton = next(QStringLiteral("標籤"), QStringLiteral("標籤"));
    jumpButton = next(QStringLiteral("跳至標籤"), QStringLiteral("跳至標籤"));
    repeatBox = new QCheckBox(QStringLiteral("循環"), keys);
    repeatBox->setObjectName(QStringLiteral("Check2"));
    repeatBox->setGeometry(x + 4, top + 2, 56, 24);

    // tab strip "座標點"
    QWidget *points = oneTabStrip(pointsTab, QStringLiteral("座標點"), QStringLiteral("SSTab2"), central, {616, 273});
    stepList = new StepListView(points);
    stepList->setAccessibleName(QStringLiteral("座標點"));
    auto *pointsLayout = new QVBoxLayout(points);
    pointsLayout->setContentsMargins(9, 8, 9, 8);
    pointsLayout->addWidget(stepList);

    // frames "OUTPUT" and "INPUT": outputs in two rows of four, inputs in two rows of eight
    outputFrame = frame(QStringLiteral("OUTPUT"), QStringLiteral("outputFrame"), central, {209, 87});
    checkBoxGrid(outputFrame, outputBoxes.data(), 8, 4, 10, 22, 49, QStringLiteral("Check4"), QStringLiteral("輸出"));
    inputFrame = frame(QStringLiteral("INPUT"), QStringLiteral("inputFrame"), central, {362, 84});
    checkBoxGrid(inputFrame, inputBoxes.data(), 16, 8, 8, 20, 44, QStringLiteral("Check1"), QStringLiteral("輸入"));

    // The form's arrangement: the two small frames over each other beside the
    // acceleration, the function keys, the step list, and the two I/O frames below.
    auto *upper = new QGridLayout;
    upper->setHorizontalSpacing(23);
    upper->setVerticalSpacing(7);
    upper->addWidget(functionFrame, 0, 0);
    upper->addWidget(rowFrame, 1, 0);
    upper->addWidget(accelerationFrame, 0, 1, 2, 1, Qt::AlignTop);
    upper->setColumnStretch(2, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addSpacing(6);
    bottom->addWidget(outputFrame);
    bottom->addSpacing(40);
    bottom->addWidget(inputFrame);
    bottom->addStretch(1);
    auto *form = new QVBoxLayout(central);
    form->setContentsMargins(24, 0, 10, 8);
    form->setSpacing(7);
    form->addLayout(upper);
    form->addWidget(functionKeysTab, 0, Qt::AlignLeft);
    form->addWidget(pointsTab, 1);
    form->addLayout(bottom);

    // status bar with two panels
    auto *status = new QStatusBar(window);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(true);
    status->setFixedHeight(kStatusHeight);
    statusLink = new QLabel(status);
    statusLink->setObjectName(QStringLiteral("StatusPanel1"));
    // The panels' texts change at run time: a screen reader reads them as their names,
    // so what each panel is goes into its description.
    statusLink->setAccessibleDescription(QStringLiteral("連線狀態"));
    statusLink->setMinimumWidth(220);
    statusLink->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusPort = new QLabel(status);
    statusPort->setObjectName(QStringLiteral("StatusPanel2"));
    statusPort->setAccessibleDescription(QStringLiteral("通訊埠"));
    statusPort->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusFile = new QLabel(status);
    statusFile->setObjectName(QStringLiteral("StatusPanelFile"));
    statusFile->setAccessibleDescription(QStringLiteral("程式檔"));
    statusFile->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusMessage = new StatusMessagePanel(status);
    statusMessage->setObjectName(QStringLiteral("StatusPanelMessage"));
    statusMessage->setAccessibleDescription(QStringLiteral("狀態訊息"));
    statusMessage->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    status->addWidget(statusLink, 1);
    status->addWidget(statusPort, 1);
    status->addWidget(statusFile, 2);
    // What the next step will do, or how the last upload ended. A panel of its own: a
    // temporary status-bar message would hide the other panels while it shows. The
    // window routes the status tips here for the same reason.
    status->addWidget(statusMessage, 3);
    window->setStatusBar(status);

    // menus
    QMenuBar *bar = window->menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    fileMenu = bar->addMenu(QStringLiteral("檔案(&F)"));
    fileMenu->setObjectName(QStringLiteral("檔案"));
    newAction = fileMenu->addAction(QStringLiteral("建立新檔(&N)"));
    newAction->setObjectName(QStringLiteral("建立新檔"));
    newAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    openAction = fileMenu->addAction(QStringLiteral("開啟舊檔(&O)"));
    openAction->setObjectName(QStringLiteral("開啟舊檔"));
    openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    saveAction = fileMenu->addAction(QStringLiteral("存檔(&S)"));
    saveAction->setObjectName(QStringLiteral("存檔"));
    saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    saveAsAction = fileMenu->addAction(QStringLiteral("另存新檔(&A)"));
    saveAsAction->setObjectName(QStringLiteral("另存新檔"));
    fileMenu->addSeparator();
    recentMenu = fileMenu->addMenu(QStringLiteral("最近開啟的檔案(&R)"));
    recentMenu->setObjectName(QStringLiteral("最近開啟的檔案"));
    editMenu = bar->addMenu(QStringLiteral("編輯(&D)"));
    editMenu->setObjectName(QStringLiteral("編輯"));
    undoAction = editMenu->addAction(QStringLiteral("復原(&U)"));
    undoAction->setObjectName(QStringLiteral("復原"));
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction = editMenu->addAction(QStringLiteral("重做(&R)"));
    redoAction->setObjectName(QStringLiteral("重做"));
    redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    settingsMenu = bar->addMenu(QStringLiteral("設定(&S)"));
    settingsMenu->setObjectName(QStringLiteral("設定"));
    comPortMenu = settingsMenu->addMenu(QStringLiteral("COM_PORT"));
    comPortMenu->setObjectName(QStringLiteral("COM_PORT"));
    for (int n = 1; n <= 4; ++n) {
        QAction *a = comPortMenu->addAction(QStringLiteral("COM") + QString::number(n));
        a->setObjectName(QStringLiteral("COM") + QString::number(n));
        comActions[static_cast<size_t>(n) - 1] = a;
    }
    portMappingAction = settingsMenu->addAction(QStringLiteral("通訊埠對應..."));
    portMappingAction->setObjectName(QStringLiteral("通訊埠對應"));
    viewMenu = bar->addMenu(QStringLiteral("檢視(&V)"));
    viewMenu->setObjectName(QStringLiteral("檢視"));
    trafficLogAction = viewMenu->addAction(QStringLiteral("通訊記錄(&L)"));
    trafficLogAction->setObjectName(QStringLiteral("通訊記錄"));
    pathPreviewAction = viewMenu->addAction(QStringLiteral("路徑預覽(&P)"));
    pathPreviewAction->setObjectName(QStringLiteral("路徑預覽"));
    programCheckAction = viewMenu->addAction(QStringLiteral("程式檢查(&K)"));
    programCheckAction->setObjectName(QStringLiteral("程式檢查"));
    helpMenu = bar->addMenu(QStringLiteral("說明(&H)"));
    helpMenu->setObjectName(QStringLiteral("說明"));
    manualAction = helpMenu->addAction(QStringLiteral("使用說明(&M)"));
    manualAction->setObjectName(QStringLiteral("使用說明"));
    manualAction->setShortcut(QKeySequence(Qt::Key_F1));
    aboutAction = helpMenu->addAction(QStringLiteral("關於(&A)"));
    aboutAction->setObjectName(QStringLiteral("關於"));
    exitAction = bar->addAction(QStringLiteral("結束(&E)"));
    exitAction->setObjectName(QStringLiteral("結束"));

    explainControls();
    window->setMinimumSize(window->minimumSizeHint());
    window->resize(window->minimumSizeHint());
}

void MainWindowUi::explainControls()
{
    // What each control does, in a sentence: shown when the pointer rests on it, and in
    // the status bar for the menu entries.
    const std::pair<QWidget *, const char *> widgets[] = {
        {originButton, "兩軸回到原點 (送出 H)"},
        {locateButton, "兩軸移到所選那一行的 X、Y 座標"},
        {connectButton, "連線到控制器, 並停止它正在執行的程式"},
        {uploadButton, "編譯程式、寫出 TRY.txt、下載到控制器, 再詢問是否儲存與執行"},
        {setAccelerationBox, "勾選時, 上傳的程式使用右邊的加速度"},
        {accelerationText, "上傳的程式使用的加速度 (mm/s²)"},
        {accelerationSlider, "選擇上傳的程式使用的加速度"},
        {internalAcceleration, "控制器回報的加速度"},
        {insertButton, "下一個步驟放在所選那一行之前"},
        {deleteButton, "刪除所選的那一行"},
        {modifyButton, "下一個步驟取代所選的那一行"},
        {startEditingButton, "開始編輯: 步驟按鈕可以使用"},
        {pointButton, "開啟教導視窗, 加入一個點"},
        {speedButton, "加入速度步驟 (mm/s)"},
        {homeButton, "加入回原點步驟"},
        {delayButton, "加入延遲步驟 (1000 為 1 秒)"},
        {loopButton, "加入迴圈開頭, 輸入執行次數"},
        {loopEndButton, "加入迴圈結束"},
        {labelButton, "加入標籤"},
        {jumpButton, "加入跳至標籤的步驟"},
        {repeatBox, "勾選時程式執行完後從頭重複"},
        {stepList, "程式的步驟; 點選一行後可插入、刪除或修改"},
    };
    for (const auto &[widget, tip] : widgets)
        widget->setToolTip(QString::fromUtf8(tip));
    for (int n = 1; n <= 8; ++n)
        outputBoxes[static_cast<size_t>(n) - 1]->setToolTip(QStringLiteral("切換控制器的輸出 %1").arg(n));
    for (int k = 1; k <= 16; ++k)
        inputBoxes[static_cast<size_t>(k) - 1]->setToolTip(QStringLiteral("控制器的輸入 %1").arg(k));
    const std::pair<QAction *, const char *> actions[] = {
        {newAction, "開始一個新程式"},
        {openAction, "開啟程式檔"},
        {saveAction, "把程式寫回它的檔案"},
        {saveAsAction, "把程式存成新的檔案"},
        {undoAction, "取消上一個變更"},
        {redoAction, "重做取消的變更"},
        {portMappingAction, "決定 COM1 到 COM4 連到哪一個裝置"},
        {trafficLogAction, "顯示與控制器之間的每一個位元組"},
        {pathPreviewAction, "在 XY 平面上預覽程式的路徑與時間"},
        {programCheckAction, "列出控制器會拒絕的程式問題"},
        {manualAction, "開啟使用說明"},
        {aboutAction, "版本、授權與 Qt 版本"},
        {exitAction, "停止控制器的程式並結束"},
    };
    for (const auto &[action, tip] : actions) {
        action->setToolTip(QString::fromUtf8(tip));
        action->setStatusTip(QString::fromUtf8(tip));
    }
    for (int n = 1; n <= 4; ++n)
        comActions[static_cast<size_t>(n) - 1]->setStatusTip(QStringLiteral("使用 COM%1 連線").arg(n));
}

void MainWindowUi::setStatusMessage(const QString &text) const
{
    statusMessage->setMessage(text);
}

std::array<QPushButton *, 8> MainWindowUi::stepButtons() const
{
    return {speedButton, delayButton, loopButton, loopEndButton, labelButton, jumpButton, pointButton, homeButton};
}

std::array<QPushButton *, 3> MainWindowUi::rowButtons() const
{
    return {insertButton, deleteButton, modifyButton};
}

} // namespace talvex
