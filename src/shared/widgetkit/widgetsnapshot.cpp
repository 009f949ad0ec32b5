// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetsnapshot.h"

#include "holdingstext.h"
#include "i18n/localizationmanager.h"
#include "market/coinmetadata.h"
#include "market/holdings.h"
#include "platform/atomicfile.h"
#include "platform/paths.h"
#include "priceformatter.h"
#include "settings/appsettings.h"
#include "settings/pricecolors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

namespace Vantrell {

namespace {

// One value per 15 minutes over 24 hours, and the open slot.
constexpr qsizetype maxHistoryValues = 97;

QString timeText(const QDateTime &time)
{
    // Qt::ISODate writes whole seconds, with "Z" for UTC.
    return time.toUTC().toString(Qt::ISODate);
}

std::optional<QDateTime> parseTime(const QString &text)
{
    // Only the exact form we write: "2025-01-31T12:00:00Z". Qt's parser would
    // also take fractions, offsets and dates without a time.
    if (text.size() != 20 || !text.endsWith(QLatin1Char('Z')))
        return std::nullopt;
    const QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    if (!time.isValid() || timeText(time) != text)
        return std::nullopt;
    return time.toUTC();
}

std::optional<QString> stringMember(const QJsonObject &object, QLatin1String key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<double> finiteNumber(const QJsonValue &value)
{
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        return std::nullopt;
    return value.toDouble();
}

const QLatin1String kPanelKeys[] = {
    QLatin1String("text"),
    QLatin1String("change"),
    QLatin1String("color"),
    QLatin1String("colorOnLight"),
    QLatin1String("colorOnDark"),
    QLatin1String("toolTip"),
    QLatin1String("staleText"),
    QLatin1String("staleToolTip"),
};

QString *panelField(WidgetSnapshot::PanelText &panel, int index)
{
    QString *fields[] = {&panel.text, &panel.change, &panel.colorHex, &panel.colorOnLightHex, &panel.colorOnDarkHex,
        &panel.toolTip, &panel.staleText, &panel.staleToolTip};
    return fields[index];
}

QJsonObject encodePanel(WidgetSnapshot::PanelText panel)
{
    QJsonObject object;
    for (int i = 0; i < int(std::size(kPanelKeys)); ++i)
        object.insert(kPanelKeys[i], *panelField(panel, i));
    return object;
}

std::optional<WidgetSnapshot::PanelText> decodePanel(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    WidgetSnapshot::PanelText panel;
    for (int i = 0; i < int(std::size(kPanelKeys)); ++i) {
        const std::optional<QString> text = stringMember(object, kPanelKeys[i]);
        if (!text)
            return std::nullopt;
        *panelField(panel, i) = *text;
    }
    return panel;
}

WidgetSnapshot::PanelText makePanelText(
    const Coin &coin, double price, std::optional<double> change, const AppSettings &settings, const QDateTime &now)
{
    WidgetSnapshot::PanelText panel;
    panel.text = coin.symbol + QLatin1Char(' ') + formatPrice(price);
    // The price is gone and a mark says why, as the widgets mark an old time.
    panel.staleText = QStringLiteral("\u26A0\uFE0E ") + coin.symbol + QStringLiteral(" \u2014");
    const QString name = coin.name.isEmpty() ? coin.symbol : coin.name;
    QString priceLine = formatPrice(price, settings.baseCurrency, true);
    if (change) {
        const QString number = formatChangePercent(*change);
        if (!number.isEmpty()) {
            const bool rise = isRise(*change + 0.0);
            panel.change = (rise ? QStringLiteral("\u25B2 ") : QStringLiteral("\u25BC ")) + number;
            priceLine += QLatin1Char(' ') + panel.change;
        }
    }
    const PriceColor color = colorForChange(settings, panel.change.isEmpty() ? std::nullopt : change);
    if (!color.isNeutral()) {
        const QColor c = color.resolved(QColor());
        panel.colorHex = hexString(c);
        panel.colorOnLightHex = hexString(colorOnPanel(c, false));
        panel.colorOnDarkHex = hexString(colorOnPanel(c, true));
    }
    const QDateTime pricedAt = coin.lastUpdated.value_or(now).toLocalTime();
    const QString time = shortTime(pricedAt.time(), settings.language);
    panel.toolTip = name + QLatin1Char('\n') + priceLine + QLatin1Char('\n') + time;
    // In words, as the tray's tooltip says it: a screen reader reads no sign.
    panel.staleToolTip = name + QLatin1Char('\n') + QStringLiteral("\u26A0\uFE0E ")
        + localizedString(QStringLiteral("tray.tooltip.stale"), {time});
    return panel;
}

// Read leniently, as the panel texts are: a defective series is left out and
// the price stays. A series ends at the quote's price.
PriceHistory24h decodeHistory(const QJsonValue &value, double price)
{
    const QJsonArray values = value.toArray();
    if (!value.isArray() || values.size() < 2 || values.size() > maxHistoryValues)
        return {};
    PriceHistory24h history;
    history.values.reserve(values.size());
    for (const QJsonValue &entry : values) {
        if (entry.isNull()) {
            history.values.append(std::numeric_limits<double>::quiet_NaN());
            continue;
        }
        const double number = entry.toDouble(-1);
        if (!entry.isDouble() || !std::isfinite(number) || number <= 0)
            return {};
        history.values.append(number);
    }
    if (history.values.constLast() != price)
        return {};
    return history;
}

QJsonArray encodeHistory(const PriceHistory24h &history)
{
    QJsonArray values;
    for (const double value : history.values)
        values.append(std::isfinite(value) ? QJsonValue(value) : QJsonValue(QJsonValue::Null));
    return values;
}

std::optional<WidgetSnapshot::Quote> decodeQuote(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    WidgetSnapshot::Quote quote;
    const std::optional<double> price = finiteNumber(object.value(QLatin1String("price")));
    if (!price)
        return std::nullopt;
    quote.price = *price;
    const QJsonValue change = object.value(QLatin1String("change24hPercent"));
    if (!change.isUndefined() && !change.isNull()) {
        quote.change24hPercent = finiteNumber(change);
        if (!quote.change24hPercent)
            return std::nullopt;
    }
    quote.panel = decodePanel(object.value(QLatin1String("panel")));
    quote.history24h = decodeHistory(object.value(QLatin1String("history24h")), quote.price);
    return quote;
}

std::optional<WidgetSnapshot::Holdings> decodeHoldings(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const std::optional<double> total = finiteNumber(object.value(QLatin1String("totalValue")));
    if (!total || *total < 0)
        return std::nullopt;
    return WidgetSnapshot::Holdings {*total, finiteNumber(object.value(QLatin1String("change24hPercent")))};
}

} // namespace

std::optional<QByteArray> WidgetSnapshot::encode() const
{
    QJsonArray watchlistArray;
    for (const QString &id : watchlist)
        watchlistArray.append(id);

    QJsonObject quotesObject;
    for (auto it = quotes.cbegin(); it != quotes.cend(); ++it) {
        if (!std::isfinite(it->price) || (it->change24hPercent && !std::isfinite(*it->change24hPercent)))
            return std::nullopt;
        QJsonObject quote {{QLatin1String("price"), it->price}};
        if (it->change24hPercent)
            quote.insert(QLatin1String("change24hPercent"), *it->change24hPercent);
        if (it->panel)
            quote.insert(QLatin1String("panel"), encodePanel(*it->panel));
        if (!it->history24h.isEmpty())
            quote.insert(QLatin1String("history24h"), encodeHistory(it->history24h));
        quotesObject.insert(it.key(), quote);
    }

    QJsonObject object {
        {QLatin1String("writtenAt"), timeText(writtenAt)},
        {QLatin1String("language"), rawValue(language)},
        {QLatin1String("currency"), rawValue(currency)},
        {QLatin1String("colorByChange"), colorByChange},
        {QLatin1String("upColorHex"), upColorHex},
        {QLatin1String("downColorHex"), downColorHex},
        {QLatin1String("displayedCoinId"), displayedCoinId},
        {QLatin1String("watchlist"), watchlistArray},
        {QLatin1String("quotes"), quotesObject},
        {QLatin1String("panelCoinId"), panelCoinId},
        {QLatin1String("panelStaleAt"), double(writtenAt.toSecsSinceEpoch() + panelFreshSeconds)},
    };
    if (holdings) {
        if (!std::isfinite(holdings->totalValue)
            || (holdings->change24hPercent && !std::isfinite(*holdings->change24hPercent)))
            return std::nullopt;
        QJsonObject totals {{QLatin1String("totalValue"), holdings->totalValue}};
        if (holdings->change24hPercent)
            totals.insert(QLatin1String("change24hPercent"), *holdings->change24hPercent);
        object.insert(QLatin1String("holdings"), totals);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<WidgetSnapshot> WidgetSnapshot::decode(const QByteArray &data)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();

    WidgetSnapshot snapshot;
    const std::optional<QString> writtenAt = stringMember(object, QLatin1String("writtenAt"));
    const std::optional<QString> language = stringMember(object, QLatin1String("language"));
    const std::optional<QString> currency = stringMember(object, QLatin1String("currency"));
    const std::optional<QString> upColorHex = stringMember(object, QLatin1String("upColorHex"));
    const std::optional<QString> downColorHex = stringMember(object, QLatin1String("downColorHex"));
    const std::optional<QString> displayedCoinId = stringMember(object, QLatin1String("displayedCoinId"));
    const QJsonValue colorByChange = object.value(QLatin1String("colorByChange"));
    const QJsonValue watchlist = object.value(QLatin1String("watchlist"));
    const QJsonValue quotes = object.value(QLatin1String("quotes"));
    if (!writtenAt || !language || !currency || !upColorHex || !downColorHex || !displayedCoinId
        || !colorByChange.isBool() || !watchlist.isArray() || !quotes.isObject())
        return std::nullopt;

    const std::optional<QDateTime> time = parseTime(*writtenAt);
    const std::optional<AppLanguage> languageValue = fromRawValue<AppLanguage>(*language);
    const std::optional<BaseCurrency> currencyValue = fromRawValue<BaseCurrency>(*currency);
    if (!time || !languageValue || !currencyValue)
        return std::nullopt;
    snapshot.writtenAt = *time;
    snapshot.language = *languageValue;
    snapshot.currency = *currencyValue;
    snapshot.colorByChange = colorByChange.toBool();
    snapshot.upColorHex = *upColorHex;
    snapshot.downColorHex = *downColorHex;
    snapshot.displayedCoinId = *displayedCoinId;
    snapshot.panelCoinId = stringMember(object, QLatin1String("panelCoinId")).value_or(QString());

    const QJsonArray ids = watchlist.toArray();
    snapshot.watchlist.reserve(ids.size());
    for (const QJsonValue &id : ids) {
        if (!id.isString())
            return std::nullopt;
        snapshot.watchlist.append(id.toString());
    }

    const QJsonObject quoteObjects = quotes.toObject();
    snapshot.quotes.reserve(quoteObjects.size());
    for (auto it = quoteObjects.constBegin(); it != quoteObjects.constEnd(); ++it) {
        const std::optional<Quote> quote = decodeQuote(it.value());
        if (!quote)
            return std::nullopt;
        snapshot.quotes.insert(it.key(), *quote);
    }
    snapshot.holdings = decodeHoldings(object.value(QLatin1String("holdings")));
    return snapshot;
}

ChangeColorHexes changeColorHexes(const AppSettings &settings)
{
    switch (settings.colorScheme) {
    case PriceColorScheme::greenUpRedDown:
        break;
    case PriceColorScheme::redUpGreenDown:
        return {QStringLiteral("#F6465D"), QStringLiteral("#2CBD84")};
    case PriceColorScheme::custom:
        return {settings.customUpColorHex, settings.customDownColorHex};
    }
    return {QStringLiteral("#2CBD84"), QStringLiteral("#F6465D")};
}

WidgetSnapshot makeSnapshot(const QList<Coin> &coins, const AppSettings &settings, const QDateTime &now)
{
    WidgetSnapshot snapshot;
    snapshot.writtenAt = now;
    snapshot.language = settings.language;
    snapshot.currency = settings.baseCurrency;
    snapshot.colorByChange = settings.priceColorEnabled;
    snapshot.displayedCoinId = settings.displayedCoinId;
    const ChangeColorHexes colors = changeColorHexes(settings);
    snapshot.upColorHex = colors.up;
    snapshot.downColorHex = colors.down;
    snapshot.watchlist.reserve(settings.watchlistCoins.size());
    for (const WatchlistCoin &entry : settings.watchlistCoins)
        snapshot.watchlist.append(entry.coinId);

    snapshot.quotes.reserve(coins.size());
    for (const Coin &coin : coins) {
        // A number JSON cannot hold would make the whole file unreadable.
        if (coin.status != CoinStatus::active || !coin.currentPrice || !std::isfinite(*coin.currentPrice))
            continue;
        std::optional<double> change = coin.priceChange24hPercent;
        if (change && !std::isfinite(*change))
            change.reset();
        snapshot.quotes.insert(coin.id,
            {*coin.currentPrice, change, makePanelText(coin, *coin.currentPrice, change, settings, now),
                settings.show24hCharts ? coin.history24h : PriceHistory24h()});
    }
    // Costs are not carried, so the rate that converts them does not matter.
    const HoldingsTotals totals = holdingsTotals(settings.watchlistCoins, coins, 1.0);
    if (!settings.hideBalances && totals.pricedCoins > 0)
        snapshot.holdings = WidgetSnapshot::Holdings {totals.totalValue, totals.change24hPercent};
    // The panel front ends' tooltip stands for the tray's and has its
    // holdings line, with "••••" for the amount while balances are hidden.
    const QString holdingsLine = holdingsToolTipLine(totals, settings.baseCurrency, settings.hideBalances);
    if (!holdingsLine.isEmpty()) {
        for (WidgetSnapshot::Quote &quote : snapshot.quotes) {
            if (quote.panel)
                quote.panel->toolTip += QLatin1Char('\n') + holdingsLine;
        }
    }
    return snapshot;
}

WidgetSnapshotStore WidgetSnapshotStore::forBundle(const Bundle &bundle)
{
    return {Paths::sharedContainerDirectory(bundle)};
}

std::optional<QString> WidgetSnapshotStore::filePath() const
{
    if (!directory)
        return std::nullopt;
    return QDir(*directory).filePath(fileName);
}

bool WidgetSnapshotStore::write(const WidgetSnapshot &snapshot, QString *errorString) const
{
    const std::optional<QString> path = filePath();
    if (!path)
        return true;
    const std::optional<QByteArray> data = snapshot.encode();
    if (!data) {
        if (errorString)
            *errorString = QStringLiteral("a price is not a finite number");
        return false;
    }
    // A cache that the next price update rebuilds: atomic, not durable.
    return writeFileAtomically(*path, *data, Durability::Atomic, errorString);
}

std::optional<WidgetSnapshot> WidgetSnapshotStore::load() const
{
    const std::optional<QString> path = filePath();
    if (!path)
        return std::nullopt;
    // Only a regular file: a FIFO put in its place would block the reader.
    if (!QFileInfo(*path).isFile())
        return std::nullopt;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Read one byte past the limit so that a larger file shows itself, even
    // one that grows while we read or reports no size (a pipe).
    const QByteArray data = file.read(maxFileBytes + 1);
    if (data.size() > maxFileBytes)
        return std::nullopt;
    return WidgetSnapshot::decode(data);
}

} // namespace Vantrell
