// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace Vantrell {

// An XDG autostart entry a program of ours manages. The program writes it
// with a mark line and only ever replaces or removes an entry that carries
// the mark (or that `isUnmarkedEntryOfOurs` recognises): the desktop's own
// autostart settings write files of the same name, and what the user made
// there stays as it is.
struct AutostartEntry
{
    enum class Owner { none, ours, user };
    enum class Outcome { done, leftToUser, failed };

    QString path;
    QByteArray markLine; // "X-Vantrell-Managed=true"
    std::function<bool(const QByteArray &content)> isUnmarkedEntryOfOurs;

    // Who wrote the file at `path`, if there is one. An entry that cannot be
    // read is not known to be ours.
    Owner owner() const;

    // Writes `content` atomically (enabled) or removes the entry (disabled),
    // unless the user owns it. On failure `errorString` says why.
    Outcome apply(bool enabled, const QByteArray &content, QString *errorString = nullptr) const;
};

// The content of an autostart entry that starts `executable`, with `markLine`
// as its last line.
QByteArray autostartDesktopEntry(
    const QString &name, const QString &comment, const QString &executable, const QByteArray &markLine);

// One argument of an Exec line, quoted as the desktop entry format requires.
QString quotedExecArgument(const QString &argument);

} // namespace Vantrell
