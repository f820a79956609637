#include "sim/window/inputswitches.h"

#include <QGridLayout>
#include <QPushButton>
#include <QSignalBlocker>

namespace talvex::sim {

InputSwitches::InputSwitches(QWidget *parent) : QGroupBox(QStringLiteral("輸入"), parent)
{
    auto *grid = new QGridLayout(this);
    grid->setSpacing(3);
    for (int k = 1; k <= kInputs; ++k) {
        auto *button = new QPushButton(QString::number(k), this);
        button->setCheckable(true);
        button->setFixedSize(34, 28);
        button->setToolTip(QStringLiteral("輸入 %1: 按一下切換開/關").arg(k));
        button->setStyleSheet(
            QStringLiteral("QPushButton { background: #e6e6e0; border: 1px solid #999; border-radius: 3px; }"
                           "QPushButton:checked { background: #3cb043; color: white; font-weight: bold;"
                           " border: 1px solid #236b27; }"));
        grid->addWidget(button, (k - 1) / 8, (k - 1) % 8);
        m_buttons[static_cast<size_t>(k) - 1] = button;
        connect(button, &QPushButton::toggled, this, [this, k](bool on) { Q_EMIT toggled(k, on); });
    }
}

void InputSwitches::setWord(quint16 word)
{
    for (int k = 1; k <= kInputs; ++k) {
        QPushButton *b = button(k);
        const bool on = (word >> (k - 1)) & 1U;
        if (b->isChecked() != on) {
            const QSignalBlocker block(b);
            b->setChecked(on);
        }
    }
}

} // namespace talvex::sim
