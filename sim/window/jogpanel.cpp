#include "sim/window/jogpanel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace talvex::sim {

namespace {

constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatIntervalMs = 60;

} // namespace

JogPanel::JogPanel(QWidget *parent) : QGroupBox(QStringLiteral("手動移動"), parent)
{
    m_step = new QComboBox(this);
    for (const double step : {0.1, 1.0, 10.0, 50.0})
        m_step->addItem(QStringLiteral("%1 mm").arg(step), step);
    m_step->setCurrentIndex(2);
    m_step->setToolTip(QStringLiteral("每按一下移動的距離"));

    m_yPlus = makeButton(QStringLiteral("Y+ ▲"), 'y', 1);
    m_xMinus = makeButton(QStringLiteral("◀ X−"), 'x', -1);
    m_xPlus = makeButton(QStringLiteral("X+ ▶"), 'x', 1);
    m_yMinus = makeButton(QStringLiteral("Y− ▼"), 'y', -1);
    m_mode = new QLabel(this);
    m_mode->setAccessibleDescription(QStringLiteral("手動移動狀態"));
    m_mode->setWordWrap(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_yPlus, 0, 1);
    grid->addWidget(m_xMinus, 1, 0);
    grid->addWidget(m_step, 1, 1);
    grid->addWidget(m_xPlus, 1, 2);
    grid->addWidget(m_yMinus, 2, 1);
    grid->addWidget(m_mode, 3, 0, 1, 3);
    setHandFree(false);
}

QPushButton *JogPanel::makeButton(const QString &text, char axis, int direction)
{
    auto *button = new QPushButton(text, this);
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(kRepeatDelayMs);
    button->setAutoRepeatInterval(kRepeatIntervalMs);
    connect(button, &QPushButton::clicked, this,
            [this, axis, direction] { Q_EMIT jogRequested(axis, direction * stepMm()); });
    return button;
}

QPushButton *JogPanel::button(char axis, int direction) const
{
    if (axis == 'x')
        return direction < 0 ? m_xMinus : m_xPlus;
    return direction < 0 ? m_yMinus : m_yPlus;
}

double JogPanel::stepMm() const
{
    return m_step->currentData().toDouble();
}

void JogPanel::setHandFree(bool free)
{
    if (free == m_free)
        return;
    m_free = free;
    for (QPushButton *b : {m_xMinus, m_xPlus, m_yMinus, m_yPlus})
        b->setEnabled(free);
    m_mode->setText(free ? QStringLiteral("HOFF: 軸已鬆開\n可用上方按鈕以手移動")
                         : QStringLiteral("HON: 軸鎖定中\n站台送出 HOFF (教導輸入) 後才能用手移動"));
    m_mode->setStyleSheet(free ? QStringLiteral("color: #1a7f1a;") : QStringLiteral("color: #777;"));
}

} // namespace talvex::sim
