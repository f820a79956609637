#pragma once

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace talvex {

/// The teach dialog's controls at the form's positions (twips / 15).
struct TeachDialogUi
{
    void setupUi(QWidget *dialog);

    QLabel *xReadoutLabel = nullptr;       // " X軸座標 :"
    QLineEdit *xReadout = nullptr;         // object name Text1_1
    QLabel *yReadoutLabel = nullptr;       // " Y軸座標 :"
    QLineEdit *yReadout = nullptr;         // object name Text1_3
    QLabel *xTargetLabel = nullptr;        // " X軸距離 :"
    QLineEdit *xTarget = nullptr;          // object name Text1_0
    QLabel *yTargetLabel = nullptr;        // " Y軸距離 :"
    QLineEdit *yTarget = nullptr;          // object name Text1_2
    QRadioButton *numericOption = nullptr; // "數值輸入"
    QRadioButton *teachOption = nullptr;   // "教導輸入"
    QPushButton *locateButton = nullptr;   // "定位"
    QGroupBox *inputFrame = nullptr;
    std::array<QCheckBox *, 16> inputBoxes{};
    QGroupBox *outputFrame = nullptr;
    std::array<QCheckBox *, 8> outputBoxes{};
    QPushButton *confirmButton = nullptr; // "確認"
    QPushButton *cancelButton = nullptr;  // "取消"
    QLabel *statusLink = nullptr;         // StatusBar1 panel 1
};

} // namespace talvex
