#include "compiler/compiler.h"

#include <QDir>

namespace talvex {

ListingPlaces listingPlaces()
{
    return {QDir::current().filePath(QStringLiteral("TRY.txt")), QString()};
}

} // namespace talvex
