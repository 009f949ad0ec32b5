// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Header-only: link vantrellapp, which holds the interfaces.
#include "settingsstore/settingsdatastorage.h"
#include "settingsstore/settingsstore.h"

#include <QHash>

namespace Vantrell::Test {

// Keeps the settings record in memory and counts saves.
class MemorySettingsStore final : public SettingsStore
{
public:
    explicit MemorySettingsStore(std::optional<AppSettings> stored = std::nullopt)
        : stored(std::move(stored))
    { }
    std::optional<AppSettings> load() const override { return stored; }
    void save(const AppSettings &settings) override
    {
        stored = settings;
        ++saves;
    }

    std::optional<AppSettings> stored;
    int saves = 0;
};

// Keeps blobs per key in memory and counts writes.
class MemorySettingsDataStorage final : public SettingsDataStorage
{
public:
    std::optional<QByteArray> data(const QString &key) const override
    {
        const auto it = blobs.constFind(key);
        return it == blobs.constEnd() ? std::nullopt : std::optional<QByteArray>(*it);
    }
    void set(const QByteArray &value, const QString &key) override
    {
        blobs.insert(key, value);
        ++writes;
    }

    QHash<QString, QByteArray> blobs;
    int writes = 0;
};

} // namespace Vantrell::Test
