#include "editor/speeddialog.h"

#include "core/textnumber.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace talvex {

SpeedDialog::SpeedDialog(const QString &speedValue, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SpeedDialog"));
    setWindowTitle(QStringLiteral("速度"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(QFont(QStringLiteral("新細明體"), 12));
    setFixedSize(481, 218);

    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("Slider1"));
    m_slider->setAccessibleName(QStringLiteral("速度"));
    m_slider->setGeometry(64, 56, 241, 25);
    m_slider->setRange(0, 500);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(5);

    m_value = new QLabel(QStringLiteral("0"), this);
    m_value->setObjectName(QStringLiteral("Label1"));
    // Read by its text, the speed itself; the description says what the number is.
    m_value->setAccessibleDescription(QStringLiteral("速度值"));
    m_value->setGeometry(328, 56, 49, 25);

    m_unit = new QLabel(QStringLiteral("MM/SEC"), this);
    m_unit->setObjectName(QStringLiteral("Label2"));
    // Wide enough for "MM/SEC" at 12 points in the Ming face.
    m_unit->setGeometry(376, 56, 90, 33);

    m_confirm = new QPushButton(QStringLiteral("確認"), this);
    m_confirm->setObjectName(QStringLiteral("Command1"));
    m_confirm->setGeometry(160, 144, 97, 33);
    m_confirm->setDefault(true);

    // Opening: the slider stands at the last speed, the label shows that text as is.
    m_slider->setValue(std::clamp(wholeNumberOf(speedValue), 0, 500));
    m_value->setText(speedValue);

    // The label follows the slider, by mouse as by keyboard, so it always shows the
    // value that a confirm will place.
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) { m_value->setText(QString::number(value)); });
    connect(m_confirm, &QPushButton::clicked, this, [this] {
        Q_EMIT confirmed(speed());
        accept();
    });
    // The close box and Escape both end in reject().
    connect(this, &QDialog::rejected, this, &SpeedDialog::cancelled);
}

int SpeedDialog::speed() const
{
    return m_slider->value();
}

} // namespace talvex
