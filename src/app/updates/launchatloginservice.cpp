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

// Marks the entries this program writes: only those are ever replaced or removed.
constexpr char kManagedLine[] = "X-Vantrell-Managed=true";

// The entry without the mark, as earlier releases wrote it, line for line
// (any Exec line): still ours to remove.
bool isUnmarkedEntryOfOurs(const QByteArray &content)
{
    const QList<QByteArray> lines = content.split('\n');
    const QList<QByteArray> written = LaunchAtLoginService::desktopEntry(QString()).split('\n');
    QList<QByteArray> legacy;
    for (const QByteArray &line : written) {
        if (line != kManagedLine)
            legacy.append(line);
    }
    if (lines.size() != legacy.size())
        return false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i) != legacy.at(i) && !(lines.at(i).startsWith("Exec=") && legacy.at(i).startsWith("Exec=")))
            return false;
    }
    return true;
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
    entry += QByteArray(kManagedLine) + '\n';
    return entry;
}

LaunchAtLoginService::Owner LaunchAtLoginService::entryOwner() const
{
    QFile entry(entryPath());
    if (!entry.exists())
        return Owner::none;
    // An entry that cannot be read is not known to be ours, so it is left alone.
    if (!entry.open(QIODevice::ReadOnly))
        return Owner::user;
    const QByteArray content = entry.read(64 * 1024);
    const bool marked = content.split('\n').contains(QByteArray(kManagedLine));
    return marked || isUnmarkedEntryOfOurs(content) ? Owner::vantrell : Owner::user;
}

void LaunchAtLoginService::apply(bool enabled) const
{
    const QString path = entryPath();
    // The desktop's own autostart settings write the same file name; what the
    // user made there is theirs.
    const Owner owner = entryOwner();
    if (owner == Owner::user) {
        qCInfo(lcLaunchAtLogin, "Leaving the autostart entry %s alone: it was not written by Vantrell",
            qUtf8Printable(path));
        return;
    }
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
    if (owner == Owner::vantrell && !entry.remove())
        qCCritical(lcLaunchAtLogin, "Failed to update login item: %s", qUtf8Printable(entry.errorString()));
}

} // namespace Vantrell
