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
// published (settingsChanged, emitted while settings() still returns the
// previous record) and then saved, synchronously. Main thread only.
class SettingsViewModel final : public QObject
{
    Q_OBJECT

public:
    // Loads the stored record at once; nothing is saved until the first change.
    explicit SettingsViewModel(SettingsStore &store, QObject *parent = nullptr);

    const AppSettings &settings() const { return m_settings; }
    // Publishes and saves `settings`, also when it equals the current record.
    void setSettings(const AppSettings &settings);
    // Changes fields of the record: one assignment, one publication, one save.
    void update(const std::function<void(AppSettings &)> &change);

    SettingsTab settingsWindowTab() const { return m_settingsWindowTab; }
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
