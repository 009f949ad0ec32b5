// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsstore.h"

#include "platform/logging.h"
#include "settingsdatastorage.h"

namespace Vantrell {

UserDefaultsSettingsStore::UserDefaultsSettingsStore(SettingsDataStorage &defaults)
    : m_defaults(defaults)
{ }

std::optional<AppSettings> UserDefaultsSettingsStore::load() const
{
    const auto data = m_defaults.data(QLatin1String(storageKey));
    if (!data)
        return std::nullopt;
    QString error;
    if (auto settings = AppSettings::decode(*data, &error))
        return settings;
    // The unreadable blob stays where it is until the next save replaces it.
    qCCritical(lcSettings, "Failed to decode stored settings: %s", qUtf8Printable(error));
    return AppSettings();
}

void UserDefaultsSettingsStore::save(const AppSettings &settings)
{
    QString error;
    const auto data = settings.encode(&error);
    if (!data) {
        qCCritical(lcSettings, "Failed to encode settings: %s", qUtf8Printable(error));
        return;
    }
    m_defaults.set(*data, QLatin1String(storageKey));
}

} // namespace Vantrell
