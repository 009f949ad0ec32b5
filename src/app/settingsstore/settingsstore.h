// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/appsettings.h"

#include <optional>

namespace Vantrell {

class SettingsDataStorage;

// Loads and saves the one settings record.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    // None on first launch; defaults (after logging) when the stored record is unreadable.
    virtual std::optional<AppSettings> load() const = 0;
    // Never fails to the caller: problems are logged and the previous record stays.
    virtual void save(const AppSettings &settings) = 0;
};

// Stores the record as JSON under the key "appSettings".
class UserDefaultsSettingsStore final : public SettingsStore
{
public:
    static constexpr const char *storageKey = "appSettings";

    explicit UserDefaultsSettingsStore(SettingsDataStorage &defaults);

    std::optional<AppSettings> load() const override;
    void save(const AppSettings &settings) override;

private:
    SettingsDataStorage &m_defaults;
};

} // namespace Vantrell
