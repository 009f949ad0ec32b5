// SPDX-License-Identifier: GPL-3.0-or-later
#include "appsettings.h"

#include "platform/orderedjsonwriter.h"

#include <QHashFunctions>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>

namespace Vantrell {

namespace {

// Each reader yields nothing when the value is absent, null, of the wrong type
// or an unknown raw value; the caller keeps the field's default.
std::optional<bool> readBool(const QJsonObject &object, const char *key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isBool())
        return std::nullopt;
    return value.toBool();
}

std::optional<double> readDouble(const QJsonObject &object, const char *key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isDouble())
        return std::nullopt;
    return value.toDouble();
}

std::optional<QString> readString(const QJsonObject &object, const char *key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

template<typename E>
std::optional<E> readEnum(const QJsonObject &object, const char *key)
{
    const auto raw = readString(object, key);
    if (!raw)
        return std::nullopt;
    return fromRawValue<E>(*raw);
}

std::optional<DesktopOverlayOrigin> readOrigin(const QJsonObject &object, const char *key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject origin = value.toObject();
    const auto x = readDouble(origin, "x");
    const auto y = readDouble(origin, "y");
    if (!x || !y)
        return std::nullopt;
    return DesktopOverlayOrigin {*x, *y};
}

// A holding is a finite number of 0 or more; an average cost a finite one
// above 0. Anything else is no value.
std::optional<double> readHolding(const QJsonObject &object, const char *key)
{
    const auto value = readDouble(object, key);
    if (!value || !std::isfinite(*value) || *value < 0)
        return std::nullopt;
    return value;
}

std::optional<double> readPositive(const QJsonObject &object, const char *key)
{
    const auto value = readDouble(object, key);
    if (!value || !std::isfinite(*value) || *value <= 0)
        return std::nullopt;
    return value;
}

template<typename T>
void assignIfPresent(T &field, std::optional<T> value)
{
    if (value)
        field = std::move(*value);
}

// The overlay used to be placed by its bottom-left corner in coordinates whose
// y axis points up, with a height that depended on the old size setting.
std::optional<DesktopOverlayOrigin> migrateLegacyOverlayOrigin(const QJsonObject &object)
{
    const auto origin = readOrigin(object, LegacyKeys::desktopOverlayOrigin);
    if (!origin)
        return std::nullopt;
    const auto size = readString(object, LegacyKeys::desktopOverlaySize);
    const double height = (size && *size == QLatin1String("large")) ? 382.0 : 170.0;
    return DesktopOverlayOrigin {origin->x, origin->y + height};
}

} // namespace

std::optional<WatchlistCoin> WatchlistCoin::fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto coinId = readString(object, "coinId");
    if (!coinId)
        return std::nullopt;
    WatchlistCoin coin {*coinId};
    assignIfPresent(coin.alertKind, readEnum<CoinAlertKind>(object, "alertKind"));
    assignIfPresent(coin.notificationThreshold, readDouble(object, "notificationThreshold"));
    coin.holding = readHolding(object, "holding");
    coin.averageCostUSD = readPositive(object, "averageCostUSD");
    return coin;
}

QJsonObject WatchlistCoin::toJson() const
{
    QJsonObject object {
        {QStringLiteral("coinId"), coinId},
        {QStringLiteral("alertKind"), rawValue(alertKind)},
        {QStringLiteral("notificationThreshold"), notificationThreshold},
    };
    if (holding)
        object.insert(QStringLiteral("holding"), *holding);
    if (averageCostUSD)
        object.insert(QStringLiteral("averageCostUSD"), *averageCostUSD);
    return object;
}

size_t qHash(const WatchlistCoin &coin, size_t seed) noexcept
{
    return qHash(coin.coinId, seed);
}

QList<WatchlistCoin> AppSettings::defaultWatchlist()
{
    return {
        WatchlistCoin {QStringLiteral("bitcoin"), CoinAlertKind::change, 2.0},
        WatchlistCoin {QStringLiteral("ethereum"), CoinAlertKind::change, 2.0},
    };
}

bool AppSettings::operator==(const AppSettings &other) const
{
    if (watchlistCoins.size() != other.watchlistCoins.size())
        return false;
    for (qsizetype i = 0; i < watchlistCoins.size(); ++i) {
        if (!watchlistCoins[i].isIdenticalTo(other.watchlistCoins[i]))
            return false;
    }
    return launchAtLogin == other.launchAtLogin && language == other.language && baseCurrency == other.baseCurrency
        && priceColorEnabled == other.priceColorEnabled && colorScheme == other.colorScheme
        && customUpColorHex == other.customUpColorHex && customDownColorHex == other.customDownColorHex
        && priceChangeNotificationEnabled == other.priceChangeNotificationEnabled
        && pollingInterval == other.pollingInterval && showMenuBarBackground == other.showMenuBarBackground
        && menuBarContent == other.menuBarContent && desktopOverlayEnabled == other.desktopOverlayEnabled
        && desktopOverlayBackgroundOpacity == other.desktopOverlayBackgroundOpacity
        && desktopOverlayTextSize == other.desktopOverlayTextSize
        && desktopOverlayTopLeft == other.desktopOverlayTopLeft && displayedCoinId == other.displayedCoinId
        && show24hCharts == other.show24hCharts && desktopOverlayShowsCharts == other.desktopOverlayShowsCharts
        && hideBalances == other.hideBalances;
}

std::optional<AppSettings> AppSettings::fromJson(const QJsonValue &json)
{
    if (!json.isObject())
        return std::nullopt;
    const QJsonObject object = json.toObject();

    AppSettings s;
    assignIfPresent(s.launchAtLogin, readBool(object, "launchAtLogin"));
    assignIfPresent(s.language, readEnum<AppLanguage>(object, "language"));
    assignIfPresent(s.baseCurrency, readEnum<BaseCurrency>(object, "baseCurrency"));
    assignIfPresent(s.priceColorEnabled, readBool(object, "priceColorEnabled"));
    assignIfPresent(s.colorScheme, readEnum<PriceColorScheme>(object, "colorScheme"));
    assignIfPresent(s.customUpColorHex, readString(object, "customUpColorHex"));
    assignIfPresent(s.customDownColorHex, readString(object, "customDownColorHex"));
    assignIfPresent(s.priceChangeNotificationEnabled, readBool(object, "priceChangeNotificationEnabled"));
    assignIfPresent(s.pollingInterval, readDouble(object, "pollingInterval"));
    assignIfPresent(s.showMenuBarBackground, readBool(object, "showMenuBarBackground"));
    assignIfPresent(s.menuBarContent, readEnum<MenuBarContent>(object, "menuBarContent"));
    assignIfPresent(s.desktopOverlayEnabled, readBool(object, "desktopOverlayEnabled"));
    assignIfPresent(s.desktopOverlayBackgroundOpacity, readDouble(object, "desktopOverlayBackgroundOpacity"));
    assignIfPresent(s.desktopOverlayTextSize, readEnum<DesktopOverlayTextSize>(object, "desktopOverlayTextSize"));
    s.desktopOverlayTopLeft = readOrigin(object, "desktopOverlayTopLeft");
    assignIfPresent(s.displayedCoinId, readString(object, "displayedCoinId"));
    assignIfPresent(s.show24hCharts, readBool(object, "show24hCharts"));
    assignIfPresent(s.desktopOverlayShowsCharts, readBool(object, "desktopOverlayShowsCharts"));
    assignIfPresent(s.hideBalances, readBool(object, "hideBalances"));

    if (s.desktopOverlayBackgroundOpacity <= 0)
        s.desktopOverlayBackgroundOpacity = 0.0;
    else if (s.desktopOverlayBackgroundOpacity > 1)
        s.desktopOverlayBackgroundOpacity = 1.0;

    if (!s.desktopOverlayTopLeft)
        s.desktopOverlayTopLeft = migrateLegacyOverlayOrigin(object);

    const auto watchlist = object.constFind(QLatin1String("addedCoins"));
    if (watchlist != object.constEnd()) {
        s.watchlistCoins.clear();
        if (watchlist->isArray()) {
            // Element by element: one unreadable entry does not cost the others.
            const QJsonArray entries = watchlist->toArray();
            for (const QJsonValue &entry : entries) {
                if (auto coin = WatchlistCoin::fromJson(entry))
                    s.watchlistCoins.append(std::move(*coin));
            }
        }
    }
    return s;
}

std::optional<AppSettings> AppSettings::decode(const QByteArray &data, QString *errorString)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError) {
        if (errorString)
            *errorString
                = QStringLiteral("The data couldn't be read because it isn't in the correct format (%1 at offset %2).")
                      .arg(error.errorString())
                      .arg(error.offset);
        return std::nullopt;
    }
    if (!document.isObject()) {
        if (errorString)
            *errorString = QStringLiteral(
                "The data couldn't be read because it isn't in the correct format (expected a JSON object).");
        return std::nullopt;
    }
    return fromJson(document.object());
}

QJsonObject AppSettings::toJson() const
{
    const auto document = QJsonDocument::fromJson(encode().value_or(QByteArray()));
    return document.object();
}

std::optional<QByteArray> AppSettings::encode(QString *errorString) const
{
    OrderedJsonWriter w;
    w.beginObject();
    w.key(QStringLiteral("launchAtLogin"));
    w.value(launchAtLogin);
    w.key(QStringLiteral("language"));
    w.value(rawValue(language));
    w.key(QStringLiteral("baseCurrency"));
    w.value(rawValue(baseCurrency));
    w.key(QStringLiteral("priceColorEnabled"));
    w.value(priceColorEnabled);
    w.key(QStringLiteral("colorScheme"));
    w.value(rawValue(colorScheme));
    w.key(QStringLiteral("customUpColorHex"));
    w.value(customUpColorHex);
    w.key(QStringLiteral("customDownColorHex"));
    w.value(customDownColorHex);
    w.key(QStringLiteral("priceChangeNotificationEnabled"));
    w.value(priceChangeNotificationEnabled);
    w.key(QStringLiteral("pollingInterval"));
    w.value(pollingInterval);
    w.key(QStringLiteral("showMenuBarBackground"));
    w.value(showMenuBarBackground);
    w.key(QStringLiteral("menuBarContent"));
    w.value(rawValue(menuBarContent));
    w.key(QStringLiteral("displayedCoinId"));
    w.value(displayedCoinId);
    w.key(QStringLiteral("desktopOverlayEnabled"));
    w.value(desktopOverlayEnabled);
    w.key(QStringLiteral("desktopOverlayBackgroundOpacity"));
    w.value(desktopOverlayBackgroundOpacity);
    w.key(QStringLiteral("desktopOverlayTextSize"));
    w.value(rawValue(desktopOverlayTextSize));
    if (desktopOverlayTopLeft) {
        w.key(QStringLiteral("desktopOverlayTopLeft"));
        w.beginObject();
        w.key(QStringLiteral("x"));
        w.value(desktopOverlayTopLeft->x);
        w.key(QStringLiteral("y"));
        w.value(desktopOverlayTopLeft->y);
        w.endObject();
    }
    w.key(QStringLiteral("show24hCharts"));
    w.value(show24hCharts);
    w.key(QStringLiteral("desktopOverlayShowsCharts"));
    w.value(desktopOverlayShowsCharts);
    w.key(QStringLiteral("addedCoins"));
    w.beginArray();
    for (const WatchlistCoin &coin : watchlistCoins) {
        w.beginObject();
        w.key(QStringLiteral("coinId"));
        w.value(coin.coinId);
        w.key(QStringLiteral("alertKind"));
        w.value(rawValue(coin.alertKind));
        w.key(QStringLiteral("notificationThreshold"));
        w.value(coin.notificationThreshold);
        // Written only when given, so that a record without holdings reads
        // the same in builds that know nothing of them.
        if (coin.holding) {
            w.key(QStringLiteral("holding"));
            w.value(*coin.holding);
        }
        if (coin.averageCostUSD) {
            w.key(QStringLiteral("averageCostUSD"));
            w.value(*coin.averageCostUSD);
        }
        w.endObject();
    }
    w.endArray();
    if (hideBalances) {
        w.key(QStringLiteral("hideBalances"));
        w.value(true);
    }
    w.endObject();

    if (!w.ok()) {
        if (errorString)
            *errorString = w.failure();
        return std::nullopt;
    }
    return w.result();
}

} // namespace Vantrell
