#include "compiler/compiler.h"

#include <QDir>
#include <QStandardPaths>

namespace talvex {

ListingPlaces listingPlaces()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return {QStringLiteral("C:\\TRY.txt"),
            documents.isEmpty() ? QString() : QDir::toNativeSeparators(documents + QStringLiteral("/TALVEX/TRY.txt"))};
}

} // namespace talvex
