// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Vantrell {

// A key-value store of byte buffers: where the settings live.
class SettingsDataStorage
{
public:
    virtual ~SettingsDataStorage() = default;

    // The stored blob for `key`, or none when nothing is stored.
    virtual std::optional<QByteArray> data(const QString &key) const = 0;
    // Stores `value` under `key`. A failure is logged and leaves the previous
    // value in place; it is never reported to the caller.
    virtual void set(const QByteArray &value, const QString &key) = 0;
};

// One file per key, `<directory>/<key>.json`, each replaced atomically and
// durably. The default directory is $XDG_CONFIG_HOME/vantrell.
class FileSettingsDataStorage final : public SettingsDataStorage
{
public:
    FileSettingsDataStorage();
    explicit FileSettingsDataStorage(const QString &directory);

    QString directory() const { return m_directory; }
    // The file a key is stored in; empty for a key that cannot name a file.
    QString filePath(const QString &key) const;

    std::optional<QByteArray> data(const QString &key) const override;
    void set(const QByteArray &value, const QString &key) override;

private:
    QString m_directory;
};

} // namespace Vantrell
