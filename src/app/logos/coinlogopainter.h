// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "coinlogostore.h"
#include "market/coinmetadata.h"
#include "remoteimageloader.h"
#include "widgetkit/bundledlogoimages.h"
#include "widgetkit/coinlogopainting.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QPainter;
class QRectF;

namespace Vantrell {

// What a logo view needs to know about a coin.
struct CoinLogoSource
{
    QString coinID;
    QString symbol;
    // The bundled image's name; empty when none ships.
    QString assetName;
    std::optional<QString> urlString;

    static CoinLogoSource of(const CoinMetadata &coin)
    {
        return {coin.id, coin.symbol, coin.logoAssetName, coin.logoURL};
    }
    static CoinLogoSource of(const Coin &coin) { return {coin.id, coin.symbol, coin.logoAssetName, coin.logoURL}; }

    bool operator==(const CoinLogoSource &) const = default;
};

// Chooses and draws a coin's logo for the application's views, in this order:
// the image shipped in the bundle, the logo store's copy, the remote image
// loaded directly, and the placeholder badge while nothing else is at hand.
// A painter without a store stands for views outside the application's own
// windows: they go straight to the remote image. Main thread only.
class CoinLogoPainter final : public QObject
{
    Q_OBJECT

public:
    enum class Kind { bundled, cached, remote, placeholder };
    Q_ENUM(Kind)
    struct Content
    {
        Kind kind = Kind::placeholder;
        // Null for the placeholder.
        QImage image;
    };

    // `logoStore` and `remoteImages` may be null (no store; no remote images)
    // and must otherwise outlive the painter.
    CoinLogoPainter(
        Bundle bundle, CoinLogoStore *logoStore, RemoteImageLoader *remoteImages, QObject *parent = nullptr);

    CoinLogoStore *logoStore() const { return m_store; }

    // What a logo of `pixelSide` device pixels shows now. Asking may start
    // loading the remote image; changed() follows when it arrives.
    Content content(const CoinLogoSource &source, int pixelSide);

    // Draws the logo stretched to `rect`, round; the placeholder in `accent`
    // (the palette's highlight colour in the views).
    void paint(QPainter &painter, const QRectF &rect, const CoinLogoSource &source, const QColor &accent);

Q_SIGNALS:
    // A logo may look different now: the store's copies changed or a remote
    // image arrived.
    void changed();

private:
    QImage remoteImage(const CoinLogoSource &source);

    BundledLogoImages m_bundled;
    QPointer<CoinLogoStore> m_store;
    QPointer<RemoteImageLoader> m_remote;
};

} // namespace Vantrell
