// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "market/httpclient.h"
#include "widgetkit/coinlogocache.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <chrono>

namespace Vantrell {

// Keeps downloaded logo copies for exactly the coins on the watchlist: sync()
// downloads what is missing and deletes what is no longer wanted, and views
// read the copies through image(). Coins whose logo ships in the bundle are
// never downloaded. Only https addresses on the allowed logo hosts are
// fetched. Main thread only.
class CoinLogoStore final : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::seconds downloadTimeout {15};

    // `client` must outlive the store. Starts with the ids whose files the
    // cache lists; nothing is downloaded before the first sync().
    CoinLogoStore(CoinLogoCache cache, HTTPClient &client, QObject *parent = nullptr);
    // Cancels the running downloads.
    ~CoinLogoStore() override;

    // Ids that have a logo file. cachedIDsChanged() follows every change.
    const QSet<QString> &cachedIDs() const { return m_cachedIDs; }
    const CoinLogoCache &cache() const { return m_cache; }
    bool isDownloading(const QString &id) const { return m_inFlight.contains(id); }

    // `coins`: the catalog records of the watchlist, in watchlist order. Files
    // and running downloads of every other coin are dropped, then each coin's
    // logo is ensured. An empty list prunes everything.
    void sync(const QList<CoinMetadata> &coins);

    // Starts a download for `coin` unless there is no cache directory, the
    // bundle has its logo, a copy exists, one is being downloaded, or its
    // address is refused. A failed download is not retried until the next call.
    void ensureLogo(const CoinMetadata &coin);

    // The logo copy of `id`, decoded at most once per run; a null image when
    // the id has no copy or its file is unreadable.
    QImage image(const QString &id);

Q_SIGNALS:
    void cachedIDsChanged();

private:
    struct Download
    {
        quint64 serial = 0;
        CancelHandle handle;
    };

    void finishDownload(const QString &id, quint64 serial, const Result<HttpResponse> &result);
    void forget(const QString &id);

    CoinLogoCache m_cache;
    HTTPClient &m_client;
    QSet<QString> m_cachedIDs;
    QHash<QString, Download> m_inFlight;
    QHash<QString, QImage> m_images;
    // Copies that did not decode: not read again on every repaint, and
    // replaced by a fresh download at the next sync.
    QSet<QString> m_unreadable;
    quint64 m_nextSerial = 0;
};

} // namespace Vantrell
