// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinlogocache.h"

#include "market/coincatalog.h"
#include "platform/atomicfile.h"
#include "platform/bundle.h"
#include "platform/paths.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace Vantrell {

namespace {
const QLatin1String kFileSuffix(".img");
constexpr qsizetype kMaxIDLength = 128;
// A logo decodes to at most a few hundred KiB; this refuses images whose
// header promises a huge canvas before any memory is spent on it.
constexpr int kAllocationLimitMiB = 64;

bool isVectorFormat(const QByteArray &format)
{
    return format == "svg" || format == "svgz";
}
} // namespace

bool isAllowedLogoURL(const QUrl &url)
{
    if (!url.isValid() || url.scheme() != QLatin1String("https"))
        return false;
    // Credentials or an unusual port have no place in an image address; they
    // also make a look-alike easier to slip past a reader of the catalog.
    if (!url.userInfo().isEmpty() || (url.port() != -1 && url.port() != 443))
        return false;
    const QString host = url.host();
    return !host.isEmpty() && CoinCatalog::allowedLogoHosts().contains(host);
}

std::optional<QUrl> validatedLogoURL(const std::optional<QString> &urlString)
{
    if (!urlString || urlString->isEmpty())
        return std::nullopt;
    // QUrl lowers the scheme's case; the address must say "https" as it is.
    if (!urlString->startsWith(QLatin1String("https:")))
        return std::nullopt;
    const QUrl url(*urlString, QUrl::StrictMode);
    if (!isAllowedLogoURL(url))
        return std::nullopt;
    return url;
}

QImage decodeLogoImage(const QByteArray &data, int maxSide)
{
    if (data.isEmpty() || maxSide <= 0)
        return {};
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(kAllocationLimitMiB);
    reader.setAutoTransform(true);
    const QSize natural = reader.size();
    const bool vector = isVectorFormat(reader.format());
    if (vector) {
        // Rendered at the largest size it is drawn at, not at its nominal one.
        const QSize base = natural.isValid() && !natural.isEmpty() ? natural : QSize(maxSide, maxSide);
        reader.setScaledSize(base.scaled(maxSide, maxSide, Qt::KeepAspectRatio));
    }
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (!vector && (image.width() > maxSide || image.height() > maxSide))
        image = image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

CoinLogoCache CoinLogoCache::inSharedContainer(const Bundle &bundle)
{
    const std::optional<QString> container = Paths::sharedContainerDirectory(bundle);
    if (!container)
        return {};
    return CoinLogoCache {*container + QStringLiteral("/CoinLogos")};
}

bool CoinLogoCache::isSafeID(const QString &id)
{
    if (id.isEmpty() || id.size() > kMaxIDLength || id.startsWith(QLatin1Char('.')))
        return false;
    return std::all_of(id.cbegin(), id.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'-'
            || u == u'_' || u == u'.';
    });
}

std::optional<QString> CoinLogoCache::fileURL(const QString &id) const
{
    if (!directory || directory->isEmpty() || !isSafeID(id))
        return std::nullopt;
    return *directory + QLatin1Char('/') + id + kFileSuffix;
}

QImage CoinLogoCache::loadImage(const QString &id) const
{
    const std::optional<QString> path = fileURL(id);
    if (!path)
        return {};
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxLogoBytes)
        return {};
    // Read one byte past the limit so that a file that grew meanwhile is refused too.
    const QByteArray data = file.read(maxLogoBytes + 1);
    if (data.size() > maxLogoBytes)
        return {};
    return decodeLogoImage(data);
}

bool CoinLogoCache::storeLogo(const QByteArray &data, const QString &id, QString *errorString) const
{
    const auto fail = [errorString](const QString &reason) {
        if (errorString)
            *errorString = reason;
        return false;
    };
    if (!directory || directory->isEmpty())
        return fail(QStringLiteral("no logo cache directory"));
    const std::optional<QString> path = fileURL(id);
    if (!path)
        return fail(QStringLiteral("unsafe coin id for a file name"));
    if (!QDir().mkpath(*directory))
        return fail(QStringLiteral("cannot create %1").arg(*directory));
    return writeFileAtomically(*path, data, Durability::Atomic, errorString);
}

bool CoinLogoCache::removeLogo(const QString &id) const
{
    const std::optional<QString> path = fileURL(id);
    if (!path)
        return true;
    QFile::remove(*path);
    return !QFileInfo::exists(*path);
}

QSet<QString> CoinLogoCache::listCachedIDs() const
{
    QSet<QString> ids;
    if (!directory || directory->isEmpty())
        return ids;
    const QDir dir(*directory);
    const QStringList names = dir.entryList({QStringLiteral("*.img")}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (!name.endsWith(kFileSuffix))
            continue;
        const QString id = name.chopped(kFileSuffix.size());
        // Names no id could have produced (".img", temporary files) are not logos.
        if (isSafeID(id))
            ids.insert(id);
    }
    return ids;
}

} // namespace Vantrell
