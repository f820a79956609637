#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;

namespace talvex {

/// The speed dialog: a slider of 0..500 mm/s preset from the last speed chosen. It
/// places nothing itself; the main window acts on confirmed() and closed().
class SpeedDialog : public QDialog
{
    Q_OBJECT

public:
    /// Presets the slider from @p speedValue and shows that text in the value label.
    explicit SpeedDialog(const QString &speedValue, QWidget *parent = nullptr);

    int speed() const;
    QSlider *slider() const { return m_slider; }
    QLabel *valueLabel() const { return m_value; }
    QPushButton *confirmButton() const { return m_confirm; }

Q_SIGNALS:
    /// "確認" was pressed; the dialog closes itself right after.
    void confirmed(int speed);
    /// Closed without confirming (close box or Escape): nothing is to be placed.
    void cancelled();

private:
    QSlider *m_slider = nullptr;
    QLabel *m_value = nullptr;
    QLabel *m_unit = nullptr;
    QPushButton *m_confirm = nullptr;
};

} // namespace talvex
