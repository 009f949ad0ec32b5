// SPDX-License-Identifier: GPL-3.0-or-later
#include "launchatloginservice.h"

#include "platform/atomicfile.h"
#include "platform/logging.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QFile>

namespace Vantrell {

namespace {
// Quoting of an Exec argument per the desktop entry format: reserved
// characters force quotes, and inside quotes `"`, `` ` ``, `$` and `\` are escaped.
QString quotedExecArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (!needsQuotes)
        return argument;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    // The desktop file format itself escapes backslashes in string values.
    return quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
}

QString currentExecutable()
{
    // An AppImage runs from a temporary mount; its file is what the session must start.
    const QByteArray appImage = qgetenv("APPIMAGE");
    if (!appImage.isEmpty())
        return QFile::decodeName(appImage);
    return QCoreApplication::applicationFilePath();
}
} // namespace

void LaunchAtLoginService::setEnabled(bool enabled)
{
    LaunchAtLoginService(Paths::autostartDirectory(), currentExecutable()).apply(enabled);
}

LaunchAtLoginService::LaunchAtLoginService(QString autostartDirectory, QString executable)
    : m_autostartDirectory(std::move(autostartDirectory))
    , m_executable(std::move(executable))
{ }

QString LaunchAtLoginService::entryPath() const
{
    return m_autostartDirectory + QLatin1Char('/') + QStringLiteral(VANTRELL_APP_ID) + QStringLiteral(".desktop");
}

QByteArray LaunchAtLoginService::desktopEntry(const QString &executable)
{
    QByteArray entry;
    entry += "[Desktop Entry]\n";
    entry += "Type=Application\n";
    entry += "Name=Vantrell\n";
    entry += "Comment=Cryptocurrency prices in the panel\n";
    entry += "Exec=" + quotedExecArgument(executable).toUtf8() + "\n";
    entry += "Icon=" VANTRELL_APP_ID "\n";
    entry += "Terminal=false\n";
    entry += "X-GNOME-Autostart-enabled=true\n";
    return entry;
}

void LaunchAtLoginService::apply(bool enabled) const
{
    const QString path = entryPath();
    if (enabled) {
        if (m_executable.isEmpty()) {
            qCCritical(lcLaunchAtLogin, "Failed to update login item: %s", "the program's own path is unknown");
            return;
        }
        QString error;
        if (!writeFileAtomically(path, desktopEntry(m_executable), Durability::Durable, &error))
            qCCritical(lcLaunchAtLogin, "Failed to update login item: %s", qUtf8Printable(error));
        return;
    }
    QFile entry(path);
    if (entry.exists() && !entry.remove())
        qCCritical(lcLaunchAtLogin, "Failed to update login item: %s", qUtf8Printable(entry.errorString()));
}

} // namespace Vantrell
