// SPDX-License-Identifier: GPL-3.0-or-later
#include "autostartentry.h"

#include "atomicfile.h"

#include <QFile>

namespace Vantrell {

QString quotedExecArgument(const QString &argument)
{
    // Reserved characters force quotes, and inside quotes `"`, `` ` ``, `$` and `\` are escaped.
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

QByteArray autostartDesktopEntry(
    const QString &name, const QString &comment, const QString &executable, const QByteArray &markLine)
{
    QByteArray entry;
    entry += "[Desktop Entry]\n";
    entry += "Type=Application\n";
    entry += "Name=" + name.toUtf8() + "\n";
    entry += "Comment=" + comment.toUtf8() + "\n";
    entry += "Exec=" + quotedExecArgument(executable).toUtf8() + "\n";
    entry += "Icon=" VANTRELL_APP_ID "\n";
    entry += "Terminal=false\n";
    entry += "X-GNOME-Autostart-enabled=true\n";
    entry += markLine + '\n';
    return entry;
}

AutostartEntry::Owner AutostartEntry::owner() const
{
    QFile entry(path);
    if (!entry.exists())
        return Owner::none;
    if (!entry.open(QIODevice::ReadOnly))
        return Owner::user;
    const QByteArray content = entry.read(64 * 1024);
    const bool marked = content.split('\n').contains(markLine);
    return marked || (isUnmarkedEntryOfOurs && isUnmarkedEntryOfOurs(content)) ? Owner::ours : Owner::user;
}

AutostartEntry::Outcome AutostartEntry::apply(bool enabled, const QByteArray &content, QString *errorString) const
{
    const Owner current = owner();
    if (current == Owner::user)
        return Outcome::leftToUser;
    if (enabled)
        return writeFileAtomically(path, content, Durability::Durable, errorString) ? Outcome::done : Outcome::failed;
    QFile entry(path);
    if (current == Owner::ours && !entry.remove()) {
        if (errorString)
            *errorString = entry.errorString();
        return Outcome::failed;
    }
    return Outcome::done;
}

} // namespace Vantrell
