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
    const bool changed = settings != m_settings;
    m_settings = settings;
    m_store.save(m_settings);
    // The member, not a copy: should a listener assign again, the listeners
    // after it still read the newest record.
    if (changed)
        Q_EMIT settingsChanged(m_settings);
}

void SettingsViewModel::update(const std::function<void(AppSettings &)> &change)
{
    AppSettings changed = m_settings;
    change(changed);
    setSettings(changed);
}

void SettingsViewModel::setSettingsWindowTab(SettingsTab tab)
{
    if (tab == m_settingsWindowTab)
        return;
    m_settingsWindowTab = tab;
    Q_EMIT settingsWindowTabChanged(tab);
}

} // namespace Vantrell
