// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinlogopainter.h"

#include "widgetkit/coinlogocache.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace Vantrell {

CoinLogoPainter::CoinLogoPainter(
    Bundle bundle, CoinLogoStore *logoStore, RemoteImageLoader *remoteImages, QObject *parent)
    : QObject(parent)
    , m_bundled(std::move(bundle))
    , m_store(logoStore)
    , m_remote(remoteImages)
{
    if (m_store)
        connect(m_store, &CoinLogoStore::cachedIDsChanged, this, &CoinLogoPainter::changed);
    if (m_remote)
        connect(m_remote, &RemoteImageLoader::imageLoaded, this, &CoinLogoPainter::changed);
}

CoinLogoPainter::Content CoinLogoPainter::content(const CoinLogoSource &source, int pixelSide)
{
    if (!source.assetName.isEmpty()) {
        QImage bundled = m_bundled.image(source.assetName, pixelSide);
        // A name without its image (a bundle built without it) falls through
        // to the other sources rather than drawing nothing.
        if (!bundled.isNull())
            return {Kind::bundled, std::move(bundled)};
    }
    if (m_store) {
        QImage cached = m_store->image(source.coinID);
        if (!cached.isNull())
            return {Kind::cached, std::move(cached)};
    }
    QImage remote = remoteImage(source);
    if (!remote.isNull())
        return {Kind::remote, std::move(remote)};
    return {};
}

QImage CoinLogoPainter::remoteImage(const CoinLogoSource &source)
{
    if (!m_remote)
        return {};
    const std::optional<QUrl> url = validatedLogoURL(source.urlString);
    if (!url)
        return {};
    return m_remote->image(*url);
}

void CoinLogoPainter::paint(QPainter &painter, const QRectF &rect, const CoinLogoSource &source, const QColor &accent)
{
    if (rect.isEmpty())
        return;
    const QRectF device = painter.deviceTransform().mapRect(rect);
    const int pixelSide = std::max(1, int(std::ceil(std::max(device.width(), device.height()))));
    const Content shown = content(source, pixelSide);
    if (shown.kind == Kind::placeholder)
        paintCoinLogoPlaceholder(painter, rect, source.symbol, accent);
    else
        paintCircularLogo(painter, rect, shown.image);
}

} // namespace Vantrell
