// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

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

} // namespace Vantrell
