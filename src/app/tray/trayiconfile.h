// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

namespace Vantrell {

// The tray icon as a PNG file, for panels that load the icon from a path given
// as IconName. Two files take turns ("<name>-a.png", "<name>-b.png"): each
// replaced atomically, and the path changes with every new image, so that a
// panel that caches icons by path still loads the new one. Both files are
// removed when the object goes.
class TrayIconFile final
{
public:
    // Files `baseName`-a.png and -b.png in `directory` (created on first write).
    TrayIconFile(const QString &directory, const QString &baseName);
    ~TrayIconFile();
    TrayIconFile(const TrayIconFile &) = delete;
    TrayIconFile &operator=(const TrayIconFile &) = delete;

    // Stores `image` (nothing is written when it equals the stored one) and
    // returns the path of the file holding it; empty when it cannot be written.
    QString write(const QImage &image);
    QString currentPath() const { return m_currentPath; }

    // $XDG_RUNTIME_DIR/vantrell (private to the user and gone at logout), or
    // the cache directory's "vantrell/tray" when there is no runtime directory.
    static QString defaultDirectory();

private:
    QString m_directory;
    QString m_baseName;
    QString m_currentPath;
    QImage m_currentImage;
};

} // namespace Vantrell
