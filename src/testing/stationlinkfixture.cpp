#include "testing/stationlinkfixture.h"

#include <QDir>

namespace talvex::testing {

StationLinkFixture::StationLinkFixture() : m_previousDirectory(QDir::currentPath())
{
    QDir::setCurrent(dir.path());
    answerLikeAController();
}

StationLinkFixture::~StationLinkFixture()
{
    QDir::setCurrent(m_previousDirectory);
}

void StationLinkFixture::answerLikeAController()
{
    port.replyDelayMs = 20;
    port.responder = [](const QByteArray &line) -> QByteArray {
        if (line == "?VM")
            return "TALVEX 2.1\r";
        if (line == "?INP")
            return "5\r";
        if (line == "?VA")
            return "2000\r";
        return {};
    };
}

} // namespace talvex::testing
