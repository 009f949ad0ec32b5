// SPDX-License-Identifier: GPL-3.0-or-later
#include "paths.h"

#include "bundle.h"

#include <QDir>
#include <QStandardPaths>

namespace Vantrell::Paths {

namespace {
QString writableRoot(QStandardPaths::StandardLocation location)
{
    QString root = QStandardPaths::writableLocation(location);
    if (root.isEmpty())
        root = QDir::homePath();
    return root;
}
} // namespace

QString settingsDirectory()
{
    return writableRoot(QStandardPaths::GenericConfigLocation) + QStringLiteral("/vantrell");
}

QString stateDirectory()
{
    // Qt 6.4 has no standard location for state; the XDG rule is simple.
    QString root = qEnvironmentVariable("XDG_STATE_HOME");
    if (root.isEmpty() || QDir::isRelativePath(root))
        root = QDir::homePath() + QStringLiteral("/.local/state");
    return root + QStringLiteral("/vantrell");
}

QString autostartDirectory()
{
    return writableRoot(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

std::optional<QString> sharedContainerDirectory(const Bundle &bundle)
{
    const QVariant group = bundle.infoValue(QStringLiteral("VantrellAppGroup"));
    if (group.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString name = group.toString();
    // The group names one directory below the cache root, never a path.
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/')))
        return std::nullopt;
    return writableRoot(QStandardPaths::GenericCacheLocation) + QLatin1Char('/') + name;
}

} // namespace Vantrell::Paths
