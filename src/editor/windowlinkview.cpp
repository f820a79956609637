#include "editor/windowlinkview.h"

#include "editor/mainwindowui.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace talvex {

WindowLinkView::WindowLinkView(const MainWindowUi &ui, QTimer &statusTimer) : m_ui(ui), m_timer(statusTimer) {}

void WindowLinkView::setLinkStatus(const QString &text)
{
    m_ui.statusLink->setText(text);
}

void WindowLinkView::setMotionButtonsEnabled(bool enabled)
{
    m_ui.locateButton->setEnabled(enabled);
    m_ui.originButton->setEnabled(enabled);
}

void WindowLinkView::setStatusTimerRunning(bool running)
{
    if (running)
        m_timer.start();
    else
        m_timer.stop();
}

bool WindowLinkView::statusTimerRunning() const
{
    return m_timer.isActive();
}

bool WindowLinkView::outputChecked(int n) const
{
    return m_ui.outputBoxes[static_cast<size_t>(n) - 1]->isChecked();
}

void WindowLinkView::setInputChecked(int k, bool checked)
{
    m_ui.inputBoxes[static_cast<size_t>(k) - 1]->setChecked(checked);
}

void WindowLinkView::setAccelerationReadout(const QString &text)
{
    m_ui.internalAcceleration->setText(text);
}

} // namespace talvex
