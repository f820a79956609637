#pragma once

#include "testing/memoryserialport.h"
#include "testing/scriptedoperator.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace talvex {
class MainWindow;
}

namespace talvex::testing {

/// The station's main window on the test doubles (scripted operator, in-memory serial
/// port, virtual time), in a fresh temporary directory made the working directory: the
/// window reads DATA.TXT there and an upload writes TRY.txt there. The window is built
/// but not shown; when the fixture ends the window goes, then the previous working
/// directory comes back and the temporary one is removed.
class MainWindowFixture
{
public:
    MainWindowFixture();
    ~MainWindowFixture();
    MainWindowFixture(const MainWindowFixture &) = delete;
    MainWindowFixture &operator=(const MainWindowFixture &) = delete;

    MainWindow &window() { return *m_window; }
    ScriptedOperator &op() { return m_op; }
    MemorySerialPort &port() { return m_port; }
    VirtualSleeper &clock() { return m_clock; }
    /// The path of @p name in the temporary directory.
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previousDirectory;
    ScriptedOperator m_op;
    VirtualSleeper m_clock;
    MemorySerialPort m_port{m_clock};
    std::unique_ptr<MainWindow> m_window;
};

} // namespace talvex::testing
