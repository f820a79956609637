#pragma once

#include <QString>

#include <array>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QSlider;
class QTabWidget;
class QWidget;

namespace talvex {

class StatusMessagePanel;
class StepListView;

/// The main window's controls, built in code at the fixed positions of the form. Each
/// control keeps the form's name as its object name (some of them Chinese), which
/// accessibility clients and tests look it up by. Owned by MainWindow through a
/// pointer, like a generated form.
struct MainWindowUi
{
    void setupUi(QMainWindow *window);

    // frame "功能"
    QGroupBox *functionFrame = nullptr;
    QPushButton *originButton = nullptr;  // 原點
    QPushButton *locateButton = nullptr;  // 定位
    QPushButton *connectButton = nullptr; // 連線鍵
    QPushButton *uploadButton = nullptr;  // 上傳

    // frame "加速度"
    QGroupBox *accelerationFrame = nullptr;
    QCheckBox *setAccelerationBox = nullptr; // 修改加速度
    QLineEdit *accelerationText = nullptr;
    QSlider *accelerationSlider = nullptr;
    QLabel *internalAccelerationLabel = nullptr; // 內部加速度
    QLineEdit *internalAcceleration = nullptr;

    // frame "修改"
    QGroupBox *rowFrame = nullptr;
    QPushButton *insertButton = nullptr; // 插入
    QPushButton *deleteButton = nullptr; // 刪除
    QPushButton *modifyButton = nullptr; // 修改

    // tab strip "功能鍵"
    QTabWidget *functionKeysTab = nullptr;
    QPushButton *startEditingButton = nullptr; // 編輯開始
    QPushButton *pointButton = nullptr;        // 點
    QPushButton *speedButton = nullptr;        // 速度
    QPushButton *homeButton = nullptr;         // 回原點
    QPushButton *delayButton = nullptr;        // 延遲
    QPushButton *loopButton = nullptr;         // 迴圈
    QPushButton *loopEndButton = nullptr;      // 迴圈結束
    QPushButton *labelButton = nullptr;        // 標籤
    QPushButton *jumpButton = nullptr;         // 跳至標籤
    QCheckBox *repeatBox = nullptr;            // 循環

    // tab strip "座標點"
    QTabWidget *pointsTab = nullptr;
    StepListView *stepList = nullptr;

    // frames "OUTPUT" and "INPUT"; index k-1 holds box k
    QGroupBox *outputFrame = nullptr;
    std::array<QCheckBox *, 8> outputBoxes{};
    QGroupBox *inputFrame = nullptr;
    std::array<QCheckBox *, 16> inputBoxes{};

    // status bar panels
    QLabel *statusLink = nullptr;
    QLabel *statusPort = nullptr;
    /// The program's file name, with "*" while it holds unsaved work.
    QLabel *statusFile = nullptr;
    /// What the next placed step will do, or how the last upload ended; the status
    /// tips of the menu entries show there too.
    StatusMessagePanel *statusMessage = nullptr;

    // menus
    QMenu *fileMenu = nullptr;
    QAction *newAction = nullptr;
    QAction *openAction = nullptr;
    QAction *saveAction = nullptr; // 存檔
    QAction *saveAsAction = nullptr;
    QMenu *recentMenu = nullptr; // 最近開啟的檔案
    QMenu *editMenu = nullptr;
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;
    QMenu *settingsMenu = nullptr;
    QMenu *comPortMenu = nullptr;
    std::array<QAction *, 4> comActions{};
    QAction *portMappingAction = nullptr; // 通訊埠對應...
    QMenu *viewMenu = nullptr;
    QAction *trafficLogAction = nullptr;   // 通訊記錄
    QAction *pathPreviewAction = nullptr;  // 路徑預覽
    QAction *programCheckAction = nullptr; // 程式檢查
    QMenu *helpMenu = nullptr;
    QAction *manualAction = nullptr; // 使用說明
    QAction *aboutAction = nullptr;  // 關於
    QAction *exitAction = nullptr;

    /// Shows @p text in the message panel, which a screen reader reads by its text.
    void setStatusMessage(const QString &text) const;

    /// Gives every control a tooltip saying what it does.
    void explainControls();

    /// The eight step buttons, in the order of the step-button group.
    std::array<QPushButton *, 8> stepButtons() const;
    std::array<QPushButton *, 3> rowButtons() const;
};

} // namespace talvex
