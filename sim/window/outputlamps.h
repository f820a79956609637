#pragma once

#include <QGroupBox>

namespace talvex::sim {

/// The eight output lamps ("輸出"): lit while the output is on. Two rows of four,
/// 1..4 above 5..8, as on the station.
class OutputLamps : public QGroupBox
{
    Q_OBJECT

public:
    static constexpr int kOutputs = 8;

    explicit OutputLamps(QWidget *parent = nullptr);

    void setWord(quint8 word);
    quint8 word() const { return m_word; }
    QSize sizeHint() const override { return {4 * kPitch + 24, 2 * kPitch + 34}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    static constexpr int kPitch = 44;
    quint8 m_word = 0;
};

} // namespace talvex::sim
