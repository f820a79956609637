#include "testing/mainwindowfixture.h"

#include "editor/mainwindow.h"
#include "editor/uploadjob.h"

#include <QDir>

namespace talvex::testing {

MainWindowFixture::MainWindowFixture() : m_previousDirectory(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
    m_window = std::make_unique<MainWindow>(m_op, m_port, m_clock);
    // On Windows the listing goes to C:\ by default; a test keeps it in its own folder.
    m_window->uploadJob().setListingPlaces({QDir::current().filePath(QStringLiteral("TRY.txt")), QString()});
}

MainWindowFixture::~MainWindowFixture()
{
    m_window.reset();
    QDir::setCurrent(m_previousDirectory);
}

} // namespace talvex::testing
