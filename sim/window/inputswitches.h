#pragma once

#include <QGroupBox>

#include <array>

class QPushButton;

namespace talvex::sim {

/// The sixteen input switches ("輸入"): the operator flips them to play the
/// machine's sensors. Two rows of eight, 1..8 above 9..16, as on the station.
class InputSwitches : public QGroupBox
{
    Q_OBJECT

public:
    static constexpr int kInputs = 16;

    explicit InputSwitches(QWidget *parent = nullptr);

    /// Shows the input word (bit k-1 = input k) without emitting toggled().
    void setWord(quint16 word);
    QPushButton *button(int k) const { return m_buttons.at(static_cast<size_t>(k) - 1); }

Q_SIGNALS:
    /// The operator flipped input @p k.
    void toggled(int k, bool on);

private:
    std::array<QPushButton *, kInputs> m_buttons{};
};

} // namespace talvex::sim
