#include "editor/statusmessagepanel.h"

namespace talvex {

StatusMessagePanel::StatusMessagePanel(QWidget *parent) : QLabel(parent)
{
    // A long tip is cut at the panel's edge rather than pushing the link and port
    // panels aside; the whole of it is in the panel's tooltip.
    setSizePolicy(QSizePolicy::Ignored, sizePolicy().verticalPolicy());
}

void StatusMessagePanel::setMessage(const QString &text)
{
    m_message = text;
    if (m_tip.isEmpty())
        showText(m_message);
}

void StatusMessagePanel::showTip(const QString &tip)
{
    m_tip = tip;
    showText(m_tip.isEmpty() ? m_message : m_tip);
}

void StatusMessagePanel::showText(const QString &text)
{
    setText(text);
    setAccessibleName(text);
    setToolTip(text);
}

} // namespace talvex
