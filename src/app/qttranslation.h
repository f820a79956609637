#pragma once

#include <QLibraryInfo>
#include <QString>

class QCoreApplication;
class QTranslator;

namespace talvex {

/// Installs Qt's own Traditional Chinese translation (qtbase_zh_TW.qm from
/// @p directory, Qt's translations folder by default) whatever the system's locale, so
/// standard buttons (確定, 取消, 是, 否) and Qt's own file dialog speak the station's
/// language. Returns the translator, owned by @p app; nullptr, quietly, when the file
/// is not there, and the station runs on with Qt's English words.
QTranslator *installQtTranslation(QCoreApplication &app,
                                  const QString &directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

} // namespace talvex
