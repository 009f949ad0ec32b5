// SPDX-License-Identifier: GPL-3.0-or-later
#include "launchatloginservice.h"

#include "platform/autostartentry.h"
#include "platform/logging.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QFile>

namespace Vantrell {

namespace {
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
    return autostartDesktopEntry(QStringLiteral("Vantrell"), QStringLiteral("Cryptocurrency prices in the panel"),
        executable, QByteArray(kManagedLine));
}

AutostartEntry LaunchAtLoginService::entry() const
{
    return AutostartEntry {entryPath(), QByteArray(kManagedLine), isUnmarkedEntryOfOurs};
}

LaunchAtLoginService::Owner LaunchAtLoginService::entryOwner() const
{
    switch (entry().owner()) {
    case AutostartEntry::Owner::none:
        return Owner::none;
    case AutostartEntry::Owner::ours:
        return Owner::vantrell;
    case AutostartEntry::Owner::user:
        break;
    }
    return Owner::user;
}

void LaunchAtLoginService::apply(bool enabled) const
{
    if (enabled && m_executable.isEmpty() && entryOwner() != Owner::user) {
        qCCritical(lcLaunchAtLogin, "Failed to update login item: %s", "the program's own path is unknown");
        return;
    }
    QString error;
    switch (entry().apply(enabled, desktopEntry(m_executable), &error)) {
    case AutostartEntry::Outcome::done:
        break;
    case AutostartEntry::Outcome::leftToUser:
        // The desktop's own autostart settings write the same file name; what the user made there is theirs.
        qCInfo(lcLaunchAtLogin, "Leaving the autostart entry %s alone: it was not written by Vantrell",
            qUtf8Printable(entryPath()));
        break;
    case AutostartEntry::Outcome::failed:
        qCCritical(lcLaunchAtLogin, "Failed to update login item: %s", qUtf8Printable(error));
        break;
    }
}

} // namespace Vantrell
