#pragma once

#include <QGroupBox>

class QComboBox;
class QLabel;
class QPushButton;

namespace talvex::sim {

/// "手動移動": moves the axes by hand, a step at a time (held down, it repeats).
/// The buttons work only while the station has freed the axes with "HOFF", which is
/// when the station's teach input follows the position.
class JogPanel : public QGroupBox
{
    Q_OBJECT

public:
    explicit JogPanel(QWidget *parent = nullptr);

    void setHandFree(bool free);
    double stepMm() const;
    QPushButton *button(char axis, int direction) const;

Q_SIGNALS:
    void jogRequested(char axis, double delta);

private:
    QPushButton *makeButton(const QString &text, char axis, int direction);

    QPushButton *m_xMinus = nullptr;
    QPushButton *m_xPlus = nullptr;
    QPushButton *m_yMinus = nullptr;
    QPushButton *m_yPlus = nullptr;
    QComboBox *m_step = nullptr;
    QLabel *m_mode = nullptr;
    bool m_free = true;
};

} // namespace talvex::sim
