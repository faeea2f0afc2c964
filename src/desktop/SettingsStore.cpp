#include "desktop/SettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include "platform/ProductName.h"
#include "platform/DebugTrace.h"

namespace kx520 {

namespace {

constexpr const char* kLanguageKey = "LANGUAGE";
constexpr const char* kUpdateServiceKey = "UpdateService";

}  // namespace

SettingsStore::SettingsStore(QString folder) {
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' +
                 QLatin1String(kProductName);
    }
    m_path = folder + QStringLiteral("/settings.ini");
}

std::optional<int> SettingsStore::LanguageId() const {
    const QSettings settings(m_path, QSettings::IniFormat);
    bool ok = false;
    const int id = settings.value(QLatin1String(kLanguageKey)).toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return id;
}

QString SettingsStore::UpdateService() const {
    const QSettings settings(m_path, QSettings::IniFormat);
    return settings.value(QLatin1String(kUpdateServiceKey)).toString().trimmed();
}

bool SettingsStore::SaveLanguageId(int id) {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(QLatin1String(kLanguageKey), id);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        return false;
    }
    DebugTrace("写成功！");
    return true;
}

}  // namespace kx520
