#include "app/qttranslation.h"

#include <QCoreApplication>
#include <QTranslator>

namespace talvex {

QTranslator *installQtTranslation(QCoreApplication &app, const QString &directory)
{
    // Loaded by its file name, not through QLocale: the station is Chinese on a
    // machine set to any language.
    auto *translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_zh_TW"), directory)) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

} // namespace talvex
