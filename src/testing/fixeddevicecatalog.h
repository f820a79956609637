#pragma once

#include "link/serialdevicecatalog.h"

namespace talvex::testing {

/// A machine whose serial devices are the ones a test lists; a test may plug one in
/// by adding it.
class FixedDeviceCatalog : public SerialDeviceCatalog
{
public:
    QList<SerialDevice> list;

    QList<SerialDevice> devices() const override { return list; }
};

} // namespace talvex::testing
