#include "app/usersettings.h"

#include <QFileInfo>

#include <cstdio>

namespace talvex {

QString whyUserSettingsUnreadable()
{
    for (const QString &file : userSettingsFiles()) {
        const QFileInfo info(file);
        if (info.exists() && !info.isFile()) {
            return QStringLiteral("設定檔 %1 不是一般檔案 (而是資料夾、具名管道或裝置), 無法讀取。"
                                  "本次執行使用預設設定, 變更不會被保存。")
                .arg(file);
        }
    }
    return {};
}

UserSettings::UserSettings() : m_problem(whyUserSettingsUnreadable())
{
    if (m_problem.isEmpty()) {
        m_settings = std::make_unique<QSettings>();
        return;
    }
    std::fprintf(stderr, "talvex-station: %s\n", qPrintable(m_problem));
    // Settings of the run's own: choices made meanwhile work until the station ends.
    m_standIn.open();
    m_settings = std::make_unique<QSettings>(m_standIn.fileName(), QSettings::IniFormat);
}

} // namespace talvex
