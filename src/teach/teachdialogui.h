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

/// The teach dialog's controls at the form's positions (twips / 15). Names are the
/// form's control names.
struct TeachDialogUi
{
    void setupUi(QWidget *dialog);

    QLabel *xReadoutLabel = nullptr; // " X軸座標 :"
    QLineEdit *xReadout = nullptr;   // Text1(1)
    QLabel *yReadoutLabel = nullptr; // " Y軸座標 :"
    QLineEdit *yReadout = nullptr;   // Text1(3)
    QLabel *xTargetLabel = nullptr;  // " X軸距離 :"
    QLineEdit *xTarget = nullptr;    // Text1(0)
    QLabel *yTargetLabel = nullptr;  // " Y軸距離 :"
    QLineEdit *yTarget = nullptr;    // Text1(2)
    QRadioButton *numericOption = nullptr; // Option2(0) "數值輸入"
    QRadioButton *teachOption = nullptr;   // Option2(1) "教導輸入"
    QPushButton *locateButton = nullptr;   // Command2 "定位"
    QGroupBox *inputFrame = nullptr;
    std::array<QCheckBox *, 16> Check1{};
    QGroupBox *outputFrame = nullptr;
    std::array<QCheckBox *, 8> Check4{};
    QPushButton *confirmButton = nullptr; // Command3(0) "確認"
    QPushButton *cancelButton = nullptr;  // Command3(1) "取消"
    QLabel *statusLink = nullptr;         // StatusBar1 panel 1
};

} // namespace talvex
