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

class StepListView;

/// The main window's controls, built in code at the fixed positions of the form (the
/// names are the form's control names, some of them Chinese, which a Designer form
/// could not carry as member names). Owned by MainWindow through a pointer, like a
/// generated form.
struct MainWindowUi
{
    void setupUi(QMainWindow *window);

    // frame "功能"
    QGroupBox *functionFrame = nullptr;
    QPushButton *originButton = nullptr;  // 原點
    QPushButton *locateButton = nullptr;  // 定位
    QPushButton *connectButton = nullptr; // 連線鍵
    QPushButton *Command3 = nullptr;      // 上傳

    // frame "加速度"
    QGroupBox *accelerationFrame = nullptr;
    QCheckBox *Check3 = nullptr; // 修改加速度
    QLineEdit *Text1 = nullptr;
    QSlider *Slider1 = nullptr;
    QLabel *Label2 = nullptr; // 內部加速度
    QLineEdit *Text2 = nullptr;

    // frame "修改"
    QGroupBox *rowFrame = nullptr;
    QPushButton *Command6 = nullptr; // 插入
    QPushButton *Command7 = nullptr; // 刪除
    QPushButton *Command8 = nullptr; // 修改

    // tab strip "功能鍵"
    QTabWidget *functionKeysTab = nullptr;
    QPushButton *Command12 = nullptr;     // 編輯開始
    QPushButton *Command19 = nullptr;     // 點
    QPushButton *Command1 = nullptr;      // 速度
    QPushButton *Command4 = nullptr;      // 回原點
    QPushButton *Command2 = nullptr;      // 延遲
    QPushButton *LOP = nullptr;           // 迴圈
    QPushButton *LOOPEND = nullptr;       // 迴圈結束
    QPushButton *labelButton = nullptr;   // 標籤
    QPushButton *jumpButton = nullptr;    // 跳至標籤
    QCheckBox *Check2 = nullptr;          // 循環

    // tab strip "座標點"
    QTabWidget *pointsTab = nullptr;
    StepListView *ListView1 = nullptr;

    // frames "OUTPUT" and "INPUT"; index k-1 holds box k
    QGroupBox *outputFrame = nullptr;
    std::array<QCheckBox *, 8> Check4{};
    QGroupBox *inputFrame = nullptr;
    std::array<QCheckBox *, 16> Check1{};

    // status bar panels
    QLabel *statusLink = nullptr;
    QLabel *statusPort = nullptr;

    // menus
    QMenu *fileMenu = nullptr;
    QAction *newAction = nullptr;
    QAction *openAction = nullptr;
    QAction *saveAsAction = nullptr;
    QMenu *settingsMenu = nullptr;
    QMenu *comPortMenu = nullptr;
    std::array<QAction *, 4> comActions{};
    QAction *exitAction = nullptr;

    /// The eight step buttons, in the order of the step-button group.
    std::array<QPushButton *, 8> stepButtons() const;
    std::array<QPushButton *, 3> rowButtons() const;
};

} // namespace talvex
