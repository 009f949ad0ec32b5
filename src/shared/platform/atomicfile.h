// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <functional>

namespace Vantrell {

enum class Durability {
    // Atomic replacement only: enough for files that can be rebuilt (caches).
    Atomic,
    // Atomic replacement, then fsync of the file and its directory, so that a
    // power cut cannot bring back an older file: for the user's own data.
    Durable,
};

// Replaces `path` with `data` atomically: the data goes to a temporary file in
// the same directory which is then renamed over the old file. On failure the
// old file is untouched, no temporary file is left behind, false is returned
// and `errorString` (when given) says why. Creates missing parent directories.
bool writeFileAtomically(
    const QString &path, const QByteArray &data, Durability durability, QString *errorString = nullptr);

// Whether `name` is what a replacement of the file `owned` leaves when the
// process dies between linking the new data under its temporary name and the
// rename: exactly "<owned>.XXXXXX", six ASCII letters or digits.
bool isInterruptedReplacementOf(QStringView name, QStringView owned);

// Removes from `directory` the temporary names interrupted replacements left
// there: each a regular file "<file>.XXXXXX" for a file name `owns` accepts,
// last modified before `startedAt`, so that a write now under way (ours or
// another process's) is never touched. Nothing else is removed. Returns how
// many were removed.
int removeInterruptedReplacements(
    const QString &directory, const std::function<bool(QStringView)> &owns, const QDateTime &startedAt);

} // namespace Vantrell
