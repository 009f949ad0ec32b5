// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "settings/settingsenums.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Vantrell {

class Bundle;
struct AppSettings;
struct Coin;

// What the running application hands to the widgets: its display settings,
// the watchlist order and the latest prices, as one small file in the shared
// container. The application only writes it; the widgets only read it.
struct WidgetSnapshot
{
    // What a panel front end (the desktop's own applet or extension) shows for
    // a coin, decided here so that the front ends hold no formatter: they pick
    // the quote and show these texts as they are.
    struct PanelText
    {
        QString text; // "BTC 43,714": symbol and price as the tray title has it
        QString change; // "▲ +2.31%"; empty without a change
        // The change's colour when prices are coloured, else empty (the
        // panel's own text colour); as is, and with the contrast text needs on
        // a light and on a dark panel.
        QString colorHex;
        QString colorOnLightHex;
        QString colorOnDarkHex;
        QString toolTip; // name, price with currency, change, time of the price, holdings line
        QString staleText; // "⚠︎ BTC —", for when the snapshot is older than panelFreshSeconds
        QString staleToolTip; // name and "⚠︎ Prices are stale, last update 12:05 PM"

        bool operator==(const PanelText &) const = default;
    };

    struct Quote
    {
        double price = 0; // in `currency`
        std::optional<double> change24hPercent;
        std::optional<PanelText> panel;
        // "history24h": the last 24 hours in `currency`, one value per 15
        // minutes, oldest first, ending at `price`; null in the file for a
        // slot without a price. Absent when there is none or charts are off.
        PriceHistory24h history24h;

        bool operator==(const Quote &) const = default;
    };

    // The user's holdings, for the watchlist widget's header: their value and
    // its 24-hour change, in `currency`.
    struct Holdings
    {
        double totalValue = 0;
        std::optional<double> change24hPercent;

        bool operator==(const Holdings &) const = default;
    };

    QDateTime writtenAt;
    AppLanguage language = AppLanguage::system;
    BaseCurrency currency = BaseCurrency::usd;
    bool colorByChange = true;
    QString upColorHex;
    QString downColorHex;
    QString displayedCoinId;
    QStringList watchlist;
    QHash<QString, Quote> quotes;
    // The coin the tray item shows (the displayed coin, else the first of the
    // list), empty when it shows the logo; the panel front ends' default.
    QString panelCoinId;
    // None when nothing held has a price, and while balances are hidden: the
    // file then holds no amount of the user's.
    std::optional<Holdings> holdings;

    // Panel front ends show a quote's stale text once the snapshot is this
    // old: the program stopped writing it, and the widgets fetch their own.
    static constexpr qint64 panelFreshSeconds = 900;

    bool operator==(const WidgetSnapshot &) const = default;

    // Compact JSON; the time in whole seconds of UTC ("2025-01-31T12:00:00Z"),
    // a quote without a change has no "change24hPercent" key, a quote's panel
    // texts are its "panel" object, and "panelStaleAt" is the moment (seconds
    // since the epoch) from which the panel shows stale texts, and "holdings"
    // (with "totalValue" and perhaps "change24hPercent") only when there are
    // holdings to show. None when a
    // number cannot be written (NaN or an infinity).
    std::optional<QByteArray> encode() const;

    // Strict: every key present with its type, the language and currency by
    // their raw values, the time exactly in the written form, each quote with
    // a finite "price" and at most a finite or null change. Any defect gives
    // none; keys of no meaning here are ignored. The panel's parts are read
    // leniently (the widgets do not need them): a defective one is left out.
    static std::optional<WidgetSnapshot> decode(const QByteArray &data);
};

// The rise and fall colours of the settings' scheme as "#RRGGBB" texts; a
// custom scheme's texts are copied unchanged, even when they do not parse.
struct ChangeColorHexes
{
    QString up;
    QString down;
};
ChangeColorHexes changeColorHexes(const AppSettings &settings);

// The snapshot of the application's state at `now`: settings as shown, the
// watchlist's ids in order, and a quote for every active coin with a price
// (a later coin of the same id replaces an earlier one), each with its panel
// texts, the coin the tray shows and, unless balances are hidden, the totals
// of the holdings that have a price.
WidgetSnapshot makeSnapshot(const QList<Coin> &coins, const AppSettings &settings, const QDateTime &now);

// The file "widget-snapshot.json" in the shared container.
struct WidgetSnapshotStore
{
    // Files larger than this are not read: no snapshot comes near it.
    static constexpr qint64 maxFileBytes = 1024 * 1024;

    // Without a directory nothing is written or read.
    std::optional<QString> directory;
    // The widget host keeps the panel's own prices beside it in the same form.
    QString fileName = QStringLiteral("widget-snapshot.json");

    static WidgetSnapshotStore forBundle(const Bundle &bundle);

    std::optional<QString> filePath() const;

    // Replaces the file atomically, creating the directory when needed, so a
    // reader sees the old file or the new one, never a mix. Without a
    // directory it writes nothing and succeeds. On failure the old file stays
    // and `errorString` says why.
    bool write(const WidgetSnapshot &snapshot, QString *errorString = nullptr) const;

    // The stored snapshot; none without a directory, a readable file or a
    // file that decodes. Logs nothing.
    std::optional<WidgetSnapshot> load() const;

    bool operator==(const WidgetSnapshotStore &) const = default;
};

} // namespace Vantrell
