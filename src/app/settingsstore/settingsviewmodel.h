// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/appsettings.h"
#include "settings/pricecolors.h"
#include "settingstab.h"

#include <QObject>

#include <functional>

namespace Vantrell {

class SettingsStore;

// Owns the live settings record of the application. Every assignment is
// stored and saved, then published (settingsChanged) when it changed
// something, so that a listener reading settings() sees the new record.
// Synchronous; main thread only.
class SettingsViewModel final : public QObject
{
    Q_OBJECT

public:
    // Loads the stored record at once; nothing is saved until the first change.
    explicit SettingsViewModel(SettingsStore &store, QObject *parent = nullptr);

    const AppSettings &settings() const { return m_settings; }
    // Stores and saves `settings`, also when it equals the current record;
    // publishes it only when it differs.
    void setSettings(const AppSettings &settings);
    // Changes fields of the record: one assignment, one publication, one save.
    void update(const std::function<void(AppSettings &)> &change);

    // The settings window's tab: not part of the record and never saved.
    SettingsTab settingsWindowTab() const { return m_settingsWindowTab; }
    // Publishes settingsWindowTabChanged when the tab changes.
    void setSettingsWindowTab(SettingsTab tab);

    QColor upColor() const { return Vantrell::upColor(m_settings); }
    QColor downColor() const { return Vantrell::downColor(m_settings); }
    PriceColor color(std::optional<double> change) const { return colorForChange(m_settings, change); }

Q_SIGNALS:
    void settingsChanged(const Vantrell::AppSettings &newSettings);
    void settingsWindowTabChanged(Vantrell::SettingsTab tab);

private:
    SettingsStore &m_store;
    AppSettings m_settings;
    SettingsTab m_settingsWindowTab = SettingsTab::general;
};

} // namespace Vantrell
