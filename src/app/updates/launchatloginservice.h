// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Vantrell {

// Starts Vantrell when the user logs in, through an XDG autostart entry
// ($XDG_CONFIG_HOME/autostart/<application id>.desktop). Registering writes the
// entry atomically; unregistering removes it. Failures are logged
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
    // The content of the autostart entry for `executable`.
    static QByteArray desktopEntry(const QString &executable);

private:
    QString m_autostartDirectory;
    QString m_executable;
};

} // namespace Vantrell
