#include "sim/window/outputlamps.h"

#include <QPainter>
#include <QRadialGradient>

namespace talvex::sim {

OutputLamps::OutputLamps(QWidget *parent) : QGroupBox(QStringLiteral("輸出"), parent)
{
    setMinimumSize(sizeHint());
}

void OutputLamps::setWord(quint8 word)
{
    if (word == m_word)
        return;
    m_word = word;
    update();
}

void OutputLamps::paintEvent(QPaintEvent *event)
{
    QGroupBox::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect inside = contentsRect();
    const int left = inside.left() + (inside.width() - 4 * kPitch) / 2;
    const int top = inside.top() + 22;
    for (int n = 1; n <= kOutputs; ++n) {
        // Two rows of four lamps.
        const int row = (n - 1) / 4;
        const int column = (n - 1) % 4;
        const QPointF centre(left + column * kPitch + kPitch / 2.0, top + row * kPitch + 14);
        const bool on = (m_word >> (n - 1)) & 1U;
        QRadialGradient glow(centre - QPointF(3, 3), 14);
        glow.setColorAt(0, on ? QColor(255, 250, 190) : QColor(200, 200, 195));
        glow.setColorAt(1, on ? QColor(245, 170, 0) : QColor(120, 120, 115));
        painter.setPen(QPen(on ? QColor(170, 100, 0) : QColor(90, 90, 90), 1.5));
        painter.setBrush(glow);
        painter.drawEllipse(centre, 12, 12);
        painter.setPen(on ? Qt::black : Qt::white);
        painter.drawText(QRectF(centre.x() - 12, centre.y() - 12, 24, 24), Qt::AlignCenter, QString::number(n));
    }
}

} // namespace talvex::sim
