#pragma once

#include <QLabel>

namespace talvex {

/// The status bar's message panel: what the next placed step will do, or how the
/// last upload ended. While the pointer rests on a menu entry with a status tip, the
/// tip stands in its place; a plain temporary status-bar message would hide the link
/// and port panels instead, and wipe the message for good.
///
/// Its text changes, so a screen reader reads the text as the panel's name.
class StatusMessagePanel : public QLabel
{
    Q_OBJECT

public:
    explicit StatusMessagePanel(QWidget *parent = nullptr);

    void setMessage(const QString &text);
    /// The message, also while a tip stands in its place.
    QString message() const { return m_message; }
    /// Shows @p tip until the next one; the empty tip brings the message back.
    void showTip(const QString &tip);
    QString tip() const { return m_tip; }

private:
    void showText(const QString &text);

    QString m_message;
    QString m_tip;
};

} // namespace talvex
