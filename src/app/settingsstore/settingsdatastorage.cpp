// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsdatastorage.h"

#include "platform/atomicfile.h"
#include "platform/logging.h"
#include "platform/paths.h"

#include <QFile>
#include <QRegularExpression>

namespace Vantrell {

FileSettingsDataStorage::FileSettingsDataStorage()
    : FileSettingsDataStorage(Paths::settingsDirectory())
{ }

FileSettingsDataStorage::FileSettingsDataStorage(const QString &directory)
    : m_directory(directory)
{ }

QString FileSettingsDataStorage::filePath(const QString &key) const
{
    static const QRegularExpression safeKey(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]{0,127}$"));
    if (!safeKey.match(key).hasMatch())
        return {};
    return m_directory + QLatin1Char('/') + key + QStringLiteral(".json");
}

std::optional<QByteArray> FileSettingsDataStorage::data(const QString &key) const
{
    const QString path = filePath(key);
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcSettings, "Cannot read %s: %s", qUtf8Printable(path), qUtf8Printable(file.errorString()));
        return std::nullopt;
    }
    return file.readAll();
}

void FileSettingsDataStorage::set(const QByteArray &value, const QString &key)
{
    const QString path = filePath(key);
    if (path.isEmpty()) {
        qCCritical(lcSettings, "Refusing to store the key \"%s\": not a valid file name", qUtf8Printable(key));
        return;
    }
    QString error;
    if (!writeFileAtomically(path, value, Durability::Durable, &error))
        qCCritical(lcSettings, "Failed to write %s: %s", qUtf8Printable(path), qUtf8Printable(error));
    else if (!error.isEmpty())
        qCWarning(lcSettings, "Wrote %s, but %s", qUtf8Printable(path), qUtf8Printable(error));
}

} // namespace Vantrell
