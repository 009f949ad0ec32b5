// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinlogostore.h"

#include "platform/logging.h"

#include <QPointer>

namespace Vantrell {

CoinLogoStore::CoinLogoStore(CoinLogoCache cache, HTTPClient &client, QObject *parent)
    : QObject(parent)
    , m_cache(std::move(cache))
    , m_client(client)
    , m_cachedIDs(m_cache.listCachedIDs())
{ }

CoinLogoStore::~CoinLogoStore()
{
    for (const Download &download : std::as_const(m_inFlight)) {
        if (download.handle)
            download.handle->cancel();
    }
}

void CoinLogoStore::sync(const QList<CoinMetadata> &coins)
{
    QSet<QString> keep;
    keep.reserve(coins.size());
    for (const CoinMetadata &coin : coins)
        keep.insert(coin.id);

    // A copy that did not decode is pruned like an unwanted one, so that the
    // coin is downloaded again below instead of showing the remote image forever.
    QList<QString> pruned;
    for (const QString &id : std::as_const(m_cachedIDs)) {
        if (!keep.contains(id) || m_unreadable.contains(id))
            pruned.append(id);
    }
    for (const QString &id : std::as_const(pruned)) {
        m_cache.removeLogo(id);
        forget(id);
    }
    if (!pruned.isEmpty()) {
        for (const QString &id : std::as_const(pruned))
            m_cachedIDs.remove(id);
        Q_EMIT cachedIDsChanged();
    }

    for (auto it = m_inFlight.begin(); it != m_inFlight.end();) {
        if (keep.contains(it.key())) {
            ++it;
            continue;
        }
        const CancelHandle handle = it->handle;
        it = m_inFlight.erase(it);
        if (handle)
            handle->cancel();
    }

    for (const CoinMetadata &coin : coins)
        ensureLogo(coin);
}

void CoinLogoStore::ensureLogo(const CoinMetadata &coin)
{
    if (!m_cache.fileURL(coin.id) || !coin.logoAssetName.isEmpty() || m_cachedIDs.contains(coin.id)
        || m_inFlight.contains(coin.id))
        return;
    const std::optional<QUrl> url = validatedLogoURL(coin.logoURL);
    if (!url)
        return;

    HttpRequest request;
    request.url = *url;
    request.inactivityTimeout = downloadTimeout;
    request.maxBodySize = maxLogoBytes;

    const quint64 serial = ++m_nextSerial;
    // Entered before the request starts, so that a completion arriving at
    // once still finds its entry.
    m_inFlight.insert(coin.id, Download {serial, {}});
    const QString id = coin.id;
    CancelHandle handle
        = m_client.get(request, [self = QPointer<CoinLogoStore>(this), id, serial](Result<HttpResponse> result) {
              if (self)
                  self->finishDownload(id, serial, result);
          });
    const auto entry = m_inFlight.find(id);
    if (entry != m_inFlight.end() && entry->serial == serial)
        entry->handle = std::move(handle);
}

void CoinLogoStore::finishDownload(const QString &id, quint64 serial, const Result<HttpResponse> &result)
{
    const auto entry = m_inFlight.constFind(id);
    if (entry == m_inFlight.cend() || entry->serial != serial)
        return;
    m_inFlight.erase(entry);

    if (!result) {
        qCCritical(lcCoinLogos, "Logo download failed: %s", qUtf8Printable(result.error().description()));
        return;
    }
    const HttpResponse &response = *result;
    // Partial (206), not-modified (304) and every other answer carry no whole
    // logo to keep.
    if (response.statusCode != 200 || response.body.isEmpty() || response.body.size() > maxLogoBytes)
        return;
    QImage image = decodeLogoImage(response.body);
    if (image.isNull())
        return;

    QString error;
    if (!m_cache.storeLogo(response.body, id, &error)) {
        qCCritical(lcCoinLogos, "Logo cache write failed: %s", qUtf8Printable(error));
        return;
    }
    forget(id);
    m_images.insert(id, std::move(image));
    m_cachedIDs.insert(id);
    Q_EMIT cachedIDsChanged();
}

QImage CoinLogoStore::image(const QString &id)
{
    if (!m_cachedIDs.contains(id) || m_unreadable.contains(id))
        return {};
    const auto kept = m_images.constFind(id);
    if (kept != m_images.cend())
        return kept.value();
    QImage image = m_cache.loadImage(id);
    if (image.isNull()) {
        m_images.remove(id);
        m_unreadable.insert(id);
        return {};
    }
    m_images.insert(id, image);
    return image;
}

void CoinLogoStore::forget(const QString &id)
{
    m_images.remove(id);
    m_unreadable.remove(id);
}

} // namespace Vantrell
