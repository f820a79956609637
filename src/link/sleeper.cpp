#include "link/sleeper.h"

#include "link/serialdevicecatalog.h"
#include "link/serialport.h"

#include <QThread>

namespace talvex {

Sleeper::~Sleeper() = default;
SerialPort::~SerialPort() = default;
SerialDeviceCatalog::~SerialDeviceCatalog() = default;

ThreadSleeper::ThreadSleeper()
{
    m_clock.start();
}

void ThreadSleeper::sleep(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

qint64 ThreadSleeper::now() const
{
    return m_clock.elapsed();
}

} // namespace talvex
