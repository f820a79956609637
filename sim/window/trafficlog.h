#pragma once

#include <QPlainTextEdit>

namespace talvex::sim {

/// "通訊記錄": every line that crosses the serial line, both ways, with the time it
/// crossed, and the controller's own notes. Received lines are marked "←", sent
/// ones "→"; ESC and other control bytes are shown by name.
class TrafficLog : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int kMaxLines = 3000;

    explicit TrafficLog(QWidget *parent = nullptr);

    void addReceived(const QByteArray &line);
    void addEscape();
    /// Bytes handed to the line; one entry per CR-ended reply.
    void addSent(const QByteArray &bytes);
    void addNote(const QString &text);

    /// How a line is shown: Big5 decoded, control bytes named ("<ESC>").
    static QString printable(const QByteArray &bytes);

private:
    void add(const QString &arrow, const QString &text, const char *colour);
};

} // namespace talvex::sim
