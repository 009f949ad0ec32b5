// SPDX-License-Identifier: GPL-3.0-or-later
#include "trayiconfile.h"

#include "platform/atomicfile.h"
#include "platform/logging.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Vantrell {

TrayIconFile::TrayIconFile(const QString &directory, const QString &baseName)
    : m_directory(directory)
    , m_baseName(baseName)
{ }

TrayIconFile::~TrayIconFile()
{
    for (const char *suffix : {"-a.png", "-b.png"})
        QFile::remove(m_directory + QLatin1Char('/') + m_baseName + QLatin1String(suffix));
}

QString TrayIconFile::write(const QImage &image)
{
    if (image.isNull())
        return {};
    if (!m_currentPath.isEmpty() && image == m_currentImage && QFileInfo::exists(m_currentPath))
        return m_currentPath;

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};

    const bool useB = m_currentPath.endsWith(QLatin1String("-a.png"));
    const QString path
        = m_directory + QLatin1Char('/') + m_baseName + (useB ? QLatin1String("-b.png") : QLatin1String("-a.png"));
    QString error;
    if (!writeFileAtomically(path, png, Durability::Atomic, &error)) {
        qCWarning(lcTray) << "Cannot write the tray icon file" << path << error;
        return {};
    }
    m_currentPath = path;
    m_currentImage = image;
    return path;
}

QString TrayIconFile::defaultDirectory()
{
    const QString runtime = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + QStringLiteral("/vantrell");
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/vantrell/tray");
}

} // namespace Vantrell
