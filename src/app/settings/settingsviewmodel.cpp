// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsviewmodel.h"

#include "settingsstore.h"

namespace Vantrell {

SettingsViewModel::SettingsViewModel(SettingsStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_settings(store.load().value_or(AppSettings()))
{ }

void SettingsViewModel::setSettings(const AppSettings &settings)
{
    // Subscribers see the new value first and may still read the old one.
    const AppSettings newSettings = settings;
    Q_EMIT settingsChanged(newSettings);
    m_settings = newSettings;
    m_store.save(m_settings);
}

void SettingsViewModel::update(const std::function<void(AppSettings &)> &change)
{
    AppSettings changed = m_settings;
    change(changed);
    setSettings(changed);
}

void SettingsViewModel::setSettingsWindowTab(SettingsTab tab)
{
    m_settingsWindowTab = tab;
    Q_EMIT settingsWindowTabChanged(tab);
}

} // namespace Vantrell
