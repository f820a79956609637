#pragma once

#include <QObject>
#include <QPointer>
#include <QTextBrowser>

namespace talvex {

class MainWindow;

/// "說明(&H)": the operator's manual in Traditional Chinese, inside the station (F1),
/// and "關於": the version, the licence and the Qt version.
class HelpActions : public QObject
{
    Q_OBJECT

public:
    explicit HelpActions(MainWindow &window);
    ~HelpActions() override;

    QTextBrowser *manual() const { return m_manual; }
    static QString aboutText();

private:
    void showManual();

    MainWindow &m_window;
    QPointer<QTextBrowser> m_manual;
};

} // namespace talvex
