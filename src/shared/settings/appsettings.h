// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settingsenums.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

namespace Vantrell {

// Top-left corner of the desktop overlay, in screen coordinates.
struct DesktopOverlayOrigin
{
    double x = 0;
    double y = 0;

    bool operator==(const DesktopOverlayOrigin &) const = default;
};

// One watchlist entry. Identity is the coin id alone: two entries for the same
// coin are equal whatever their alert settings.
struct WatchlistCoin
{
    QString coinId;
    CoinAlertKind alertKind = CoinAlertKind::change;
    double notificationThreshold = 2.0;
    // How many coins the user holds (0 or more) and what one cost on average,
    // in USD (more than 0); none when not given.
    std::optional<double> holding;
    std::optional<double> averageCostUSD;

    QString id() const { return coinId; }
    bool operator==(const WatchlistCoin &other) const { return coinId == other.coinId; }
    // Field-by-field comparison, for callers that care about the alert too.
    bool isIdenticalTo(const WatchlistCoin &other) const
    {
        return coinId == other.coinId && alertKind == other.alertKind
            && notificationThreshold == other.notificationThreshold && holding == other.holding
            && averageCostUSD == other.averageCostUSD;
    }

    static std::optional<WatchlistCoin> fromJson(const QJsonValue &value);
    QJsonObject toJson() const;
};

size_t qHash(const WatchlistCoin &coin, size_t seed = 0) noexcept;

// Everything the user can choose, persisted as one JSON object. Decoding is
// tolerant: each field falls back to its default when its key is missing,
// null, of the wrong type or holds an unknown value.
struct AppSettings
{
    bool launchAtLogin = false;
    AppLanguage language = AppLanguage::system;
    BaseCurrency baseCurrency = BaseCurrency::usd;
    bool priceColorEnabled = true;
    PriceColorScheme colorScheme = PriceColorScheme::greenUpRedDown;
    QString customUpColorHex = QStringLiteral("#2CBD84");
    QString customDownColorHex = QStringLiteral("#F6465D");
    bool priceChangeNotificationEnabled = true;
    double pollingInterval = 10.0;
    bool showMenuBarBackground = false;
    MenuBarContent menuBarContent = MenuBarContent::price;
    bool desktopOverlayEnabled = false;
    double desktopOverlayBackgroundOpacity = 1.0;
    DesktopOverlayTextSize desktopOverlayTextSize = DesktopOverlayTextSize::normal;
    std::optional<DesktopOverlayOrigin> desktopOverlayTopLeft;
    // The 24-hour sparklines and chart; the overlay draws them only when it is asked to as well.
    bool show24hCharts = true;
    bool desktopOverlayShowsCharts = false;
    QString displayedCoinId = QStringLiteral("bitcoin");
    QList<WatchlistCoin> watchlistCoins = defaultWatchlist();
    // Amounts of holdings are drawn as "••••" wherever they appear.
    bool hideBalances = false;

    static QList<WatchlistCoin> defaultWatchlist();

    // Field-by-field equality (watchlist entries compared in full).
    bool operator==(const AppSettings &other) const;

    // Decodes a JSON object. Fails only when `json` is not a JSON object.
    static std::optional<AppSettings> fromJson(const QJsonValue &json);
    // Decodes a stored document; on failure `errorString` describes the problem.
    static std::optional<AppSettings> decode(const QByteArray &data, QString *errorString = nullptr);

    QJsonObject toJson() const;
    // Encodes as an indented JSON document with the keys in their fixed order.
    // Fails (with a description) when a number cannot be written as JSON.
    std::optional<QByteArray> encode(QString *errorString = nullptr) const;
};

// Keys of an older layout, read when decoding and never written.
namespace LegacyKeys {
inline constexpr const char *desktopOverlaySize = "desktopOverlaySize";
inline constexpr const char *desktopOverlayOrigin = "desktopOverlayOrigin";
} // namespace LegacyKeys

} // namespace Vantrell
