// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Vantrell {
struct AutostartEntry;
}

namespace Vantrell {

// Starts Vantrell when the user logs in, through an XDG autostart entry
// ($XDG_CONFIG_HOME/autostart/<application id>.desktop). Registering writes the
// entry atomically; unregistering removes it. Only entries Vantrell wrote (they
// carry "X-Vantrell-Managed=true", or are exactly what earlier releases wrote)
// are ever replaced or removed: one the user made through the desktop's own
// autostart settings has the same name and stays as it is. Failures are logged
// ("Failed to update login item: …") and otherwise ignored: the setting stays
// as the user set it.
class LaunchAtLoginService final
{
public:
    // Registers or unregisters this program with the user's session.
    static void setEnabled(bool enabled);

    // The same with an explicit autostart directory and command, for tests and packagers.
    LaunchAtLoginService(QString autostartDirectory, QString executable);
    void apply(bool enabled) const;

    QString entryPath() const;

    enum class Owner { none, vantrell, user };
    // Who wrote the entry at entryPath(), if there is one.
    Owner entryOwner() const;
    // The content of the autostart entry for `executable`.
    static QByteArray desktopEntry(const QString &executable);

private:
    AutostartEntry entry() const;

    QString m_autostartDirectory;
    QString m_executable;
};

} // namespace Vantrell
