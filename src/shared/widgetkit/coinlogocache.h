// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSet>
#include <QString>
#include <QUrl>

#include <optional>

namespace Vantrell {

class Bundle;

// Largest logo accepted from the network, and so the largest file the cache
// ever holds.
inline constexpr qint64 maxLogoBytes = 524288;

// Whether a remote logo may be fetched or shown from `url`: scheme "https",
// no user info, no port other than 443, and a host that is exactly one of the
// two allowed coin-image hosts.
bool isAllowedLogoURL(const QUrl &url);

// The address of a remote logo when it passes isAllowedLogoURL; none when the
// text is absent, does not parse strictly, or is refused. Callers make no
// request at all for a refused address.
std::optional<QUrl> validatedLogoURL(const std::optional<QString> &urlString);

// Decodes logo bytes in any format the image plug-ins read (PNG, JPEG, GIF,
// SVG, …), recognised by content. Vector images are rendered and large raster
// images scaled down to fit `maxSide` pixels, since logos are drawn small; a
// null image when the bytes are no image or would need too much memory.
QImage decodeLogoImage(const QByteArray &data, int maxSide = 256);

// The downloaded logo copies in the shared container: one file "<id>.img" per
// coin, holding the bytes as the host sent them. The application writes them;
// the widget plug-in only reads. Without a directory nothing is cached.
struct CoinLogoCache
{
    std::optional<QString> directory;

    // The cache at "<shared container>/CoinLogos" of `bundle`; without a
    // container, a cache without a directory.
    static CoinLogoCache inSharedContainer(const Bundle &bundle);

    // Whether `id` can name a logo file: 1 to 128 ASCII letters, digits, '-',
    // '_' and '.', not starting with '.'. Anything else could leave the
    // directory or hide the file.
    static bool isSafeID(const QString &id);

    // Path of the logo file of `id`; none without a directory or for an unsafe id.
    std::optional<QString> fileURL(const QString &id) const;

    // The decoded logo of `id`; a null image when there is no file, it is
    // larger than any logo the cache writes, or it does not decode.
    QImage loadImage(const QString &id) const;

    // Replaces the logo file of `id` with `data` atomically, creating the
    // directory as needed. False, with the reason in `errorString`, when there
    // is no directory, the id is unsafe or the write fails.
    bool storeLogo(const QByteArray &data, const QString &id, QString *errorString = nullptr) const;

    // Deletes the logo file of `id`; false when a file stays behind.
    bool removeLogo(const QString &id) const;

    // The ids that have a logo file. A missing or unreadable directory gives
    // an empty set.
    QSet<QString> listCachedIDs() const;

    bool operator==(const CoinLogoCache &) const = default;
};

} // namespace Vantrell
