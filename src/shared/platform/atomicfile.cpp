// SPDX-License-Identifier: GPL-3.0-or-later
#include "atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace Vantrell {

namespace {
void setError(QString *errorString, const QString &message)
{
    if (errorString)
        *errorString = message;
}

// QSaveFile syncs the file before the rename but not the directory entry.
bool syncDirectory(const QString &directory)
{
    const QByteArray native = QFile::encodeName(directory);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}
} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &data, Durability durability, QString *errorString)
{
    const QFileInfo info(path);
    const QString directory = info.absolutePath();
    if (!QDir().mkpath(directory)) {
        setError(errorString, QStringLiteral("cannot create directory %1").arg(directory));
        return false;
    }

    QSaveFile file(path);
    // Unbuffered, so that a short write (full disk, file-size limit) shows in
    // write()'s result: Qt 6.4 commits a buffered QSaveFile whose final flush
    // wrote only part of the data, leaving a truncated file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        setError(errorString, file.errorString());
        return false;
    }
    if (file.write(data) != data.size()) {
        setError(errorString, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(errorString, file.errorString());
        return false;
    }
    if (durability == Durability::Durable && !syncDirectory(directory)) {
        // The new file is in place; only its durability across a power cut is in doubt.
        setError(errorString, QStringLiteral("cannot sync directory %1").arg(directory));
        return true;
    }
    return true;
}

bool isInterruptedReplacementOf(QStringView name, QStringView owned)
{
    // QSaveFile names its temporary file after the final one with ".XXXXXX"
    // (QTemporaryFile's template) when the new data is linked into the directory.
    constexpr qsizetype kSuffix = 7;
    if (owned.isEmpty() || name.size() != owned.size() + kSuffix || !name.startsWith(owned)
        || name[owned.size()] != QLatin1Char('.'))
        return false;
    for (const QChar c : name.sliced(owned.size() + 1)) {
        if (!(c.unicode() < 128 && c.isLetterOrNumber()))
            return false;
    }
    return true;
}

int removeInterruptedReplacements(
    const QString &directory, const std::function<bool(QStringView)> &owns, const QDateTime &startedAt)
{
    int removed = 0;
    const QFileInfoList entries = QDir(directory).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (entry.isSymLink() || !entry.isFile() || name.size() <= 7)
            continue;
        const QStringView owned = QStringView(name).chopped(7);
        if (!owns(owned) || !isInterruptedReplacementOf(name, owned) || entry.lastModified() >= startedAt)
            continue;
        if (QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}

} // namespace Vantrell
