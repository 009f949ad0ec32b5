// SPDX-License-Identifier: GPL-3.0-or-later
#include "bundle.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

namespace Vantrell {

namespace {
QJsonObject readInfo(const QString &root)
{
    QFile file(root + QStringLiteral("/Info.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto doc = QJsonDocument::fromJson(file.readAll());
    return doc.isObject() ? doc.object() : QJsonObject {};
}

bool isFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}
} // namespace

Bundle::Bundle(const QString &rootPath)
    : m_root(rootPath)
    , m_info(readInfo(rootPath))
{ }

Bundle Bundle::embedded()
{
    return Bundle(QStringLiteral(":/vantrell"));
}

QVariant Bundle::infoValue(const QString &key) const
{
    const auto it = m_info.constFind(key);
    return it == m_info.constEnd() ? QVariant() : it->toVariant();
}

QString Bundle::bundleIdentifier() const
{
    return m_info.value(QLatin1String("bundleIdentifier")).toString();
}

QString Bundle::shortVersion() const
{
    return m_info.value(QLatin1String("CFBundleShortVersionString")).toString();
}

QString Bundle::updateFeedURL() const
{
    return m_info.value(QLatin1String("updateFeedURL")).toString();
}

std::optional<QString> Bundle::resourcePath(const QString &name, const QString &extension) const
{
    if (m_root.isEmpty() || name.isEmpty() || name.contains(QLatin1Char('/')))
        return std::nullopt;
    const QString path = m_root + QLatin1Char('/') + name + QLatin1Char('.') + extension;
    if (!isFile(path))
        return std::nullopt;
    return path;
}

std::optional<QString> Bundle::imagePath(const QString &name) const
{
    if (m_root.isEmpty() || name.isEmpty() || name.contains(QLatin1Char('/')))
        return std::nullopt;
    for (const auto *extension : {".svg", ".png"}) {
        const QString path = m_root + QStringLiteral("/images/") + name + QLatin1String(extension);
        if (isFile(path))
            return path;
    }
    return std::nullopt;
}

std::optional<QString> Bundle::translationPath(const QString &languageCode) const
{
    if (m_root.isEmpty() || languageCode.isEmpty() || languageCode.contains(QLatin1Char('/')))
        return std::nullopt;
    const QString path = m_root + QStringLiteral("/i18n/vantrell_") + languageCode + QStringLiteral(".qm");
    if (!isFile(path))
        return std::nullopt;
    return path;
}

} // namespace Vantrell
