#include "teach/teachdialogui.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QWidget>

namespace talvex {

namespace {

/// The form was laid out in twips, 15 to a pixel.
constexpr int px(int twips)
{
    return twips / 15;
}

QRect twipRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

QLabel *caption(const QString &text, QWidget *parent, const QRect &field)
{
    // The captions end just before their box; at 12 points they need a little more
    // room on the left than the form gave them.
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setGeometry(field.left() - 110, field.top(), 106, field.height());
    return label;
}

QLineEdit *box(const QString &name, const QString &accessibleName, QWidget *parent, const QRect &geometry)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    edit->setGeometry(geometry);
    return edit;
}

template <std::size_t N>
void boxRows(QGroupBox *frame, std::array<QCheckBox *, N> &boxes, int perRow, const QString &arrayName,
             const QString &role)
{
    // Laid out inside the frame, so the first row starts below its caption and line at
    // every scale instead of at a fixed offset the line may cut through.
    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(8, 2, 4, 2);
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(2);
    for (std::size_t i = 0; i < N; ++i) {
        const int k = static_cast<int>(i) + 1;
        auto *check = new QCheckBox(QString::number(k), frame);
        check->setObjectName(arrayName + QLatin1Char('_') + QString::number(k));
        check->setAccessibleDescription(role + QLatin1Char(' ') + QString::number(k));
        const int row = static_cast<int>(i) / perRow;
        const int column = static_cast<int>(i) % perRow;
        grid->addWidget(check, row, column);
        boxes[i] = check;
    }
}

} // namespace

void TeachDialogUi::setupUi(QWidget *dialog)
{
    dialog->setObjectName(QStringLiteral("Form3"));
    // Eleven spaces: the window shows no title text.
    dialog->setWindowTitle(QString(11, QLatin1Char(' ')));
    QFont ming(QStringLiteral("新細明體"));
    ming.setPointSize(12);
    dialog->setFont(ming);
    dialog->setFixedSize(px(7020), px(7785));

    xReadout = box(QStringLiteral("Text1_1"), QStringLiteral("X軸座標"), dialog, twipRect(1800, 720, 1095, 375));
    yReadout = box(QStringLiteral("Text1_3"), QStringLiteral("Y軸座標"), dialog, twipRect(1815, 1170, 1095, 375));
    xReadoutLabel = caption(QStringLiteral(" X軸座標 :"), dialog, xReadout->geometry());
    yReadoutLabel = caption(QStringLiteral(" Y軸座標 :"), dialog, yReadout->geometry());
    xReadoutLabel->setBuddy(xReadout);
    yReadoutLabel->setBuddy(yReadout);
    // Live readings: shown in normal text, which a disabled box would grey out, but
    // neither typed into nor stopped at by Tab.
    for (QLineEdit *readout : {xReadout, yReadout}) {
        readout->setReadOnly(true);
        readout->setFocusPolicy(Qt::NoFocus);
    }

    inputFrame = new QGroupBox(QStringLiteral("INPUT"), dialog);
    inputFrame->setObjectName(QStringLiteral("inputFrame"));
    inputFrame->setAccessibleName(QStringLiteral("INPUT"));
    inputFrame->setGeometry(twipRect(225, 2205, 5430, 1260));
    boxRows(inputFrame, inputBoxes, 8, QStringLiteral("Check1"), QStringLiteral("等待輸入"));

    numericOption = new QRadioButton(QStringLiteral("數值輸入"), dialog);
    numericOption->setObjectName(QStringLiteral("Option2_0"));
    numericOption->setGeometry(twipRect(360, 4200, 1455, 255).adjusted(0, -4, 20, 8));
    teachOption = new QRadioButton(QStringLiteral("教導輸入"), dialog);
    teachOption->setObjectName(QStringLiteral("Option2_1"));
    teachOption->setGeometry(twipRect(360, 4800, 1455, 255).adjusted(0, -4, 20, 8));

    xTarget = box(QStringLiteral("Text1_0"), QStringLiteral("X軸距離"), dialog, twipRect(3870, 4200, 1095, 375));
    yTarget = box(QStringLiteral("Text1_2"), QStringLiteral("Y軸距離"), dialog, twipRect(3870, 4725, 1095, 375));
    xTargetLabel = caption(QStringLiteral(" X軸距離 :"), dialog, xTarget->geometry());
    yTargetLabel = caption(QStringLiteral(" Y軸距離 :"), dialog, yTarget->geometry());
    xTargetLabel->setBuddy(xTarget);
    yTargetLabel->setBuddy(yTarget);

    locateButton = new QPushButton(QStringLiteral("定位"), dialog);
    locateButton->setObjectName(QStringLiteral("Command2"));
    locateButton->setGeometry(twipRect(5355, 4230, 855, 375));
    locateButton->setAutoDefault(false);

    outputFrame = new QGroupBox(QStringLiteral("OUTPUT"), dialog);
    outputFrame->setObjectName(QStringLiteral("outputFrame"));
    outputFrame->setAccessibleName(QStringLiteral("OUTPUT"));
    outputFrame->setGeometry(twipRect(315, 5670, 3135, 1305));
    boxRows(outputFrame, outputBoxes, 4, QStringLiteral("Check4"), QStringLiteral("設定輸出"));

    confirmButton = new QPushButton(QStringLiteral("確認"), dialog);
    confirmButton->setObjectName(QStringLiteral("Command3_0"));
    confirmButton->setGeometry(twipRect(4230, 6255, 855, 375));
    confirmButton->setAutoDefault(false);
    cancelButton = new QPushButton(QStringLiteral("取消"), dialog);
    cancelButton->setObjectName(QStringLiteral("Command3_1"));
    cancelButton->setGeometry(twipRect(5400, 6240, 855, 375));
    cancelButton->setAutoDefault(false);

    auto *status = new QStatusBar(dialog);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    status->setGeometry(twipRect(0, 7275, 7020, 510));
    statusLink = new QLabel(status);
    statusLink->setObjectName(QStringLiteral("StatusPanel1"));
    // Read by its text ("連線中" / "未連線"); the description says what it is.
    statusLink->setAccessibleDescription(QStringLiteral("連線狀態"));
    status->addWidget(statusLink, 1);

    // Tab goes where the operator works first: the distances, the buttons, then the
    // input and output boxes.
    QList<QWidget *> order = {xTarget, yTarget, locateButton, confirmButton, cancelButton, numericOption, teachOption};
    order.append(QList<QWidget *>(inputBoxes.begin(), inputBoxes.end()));
    order.append(QList<QWidget *>(outputBoxes.begin(), outputBoxes.end()));
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

} // namespace talvex
