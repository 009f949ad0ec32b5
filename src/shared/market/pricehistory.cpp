// SPDX-License-Identifier: GPL-3.0-or-later
#include "pricehistory.h"

#include "decimal.h"
#include "platform/atomicfile.h"
#include "platform/logging.h"
#include "platform/paths.h"
#include "tickerprovider.h"
#include "tickerproviders.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <cmath>
#include <limits>

namespace Vantrell {

namespace {

constexpr double gap = std::numeric_limits<double>::quiet_NaN();
constexpr auto requestTimeout = std::chrono::milliseconds(5000);
// 97 candles are under 20 KB on every exchange; anything far larger is not an answer to this request.
constexpr qint64 maxCandleBody = 256 * 1024;
constexpr qint64 maxStoreFile = 4 * 1024 * 1024;
constexpr int storeVersion = 1;

bool sameClose(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

MarketError malformed(const QString &detail)
{
    return MarketError::make(MarketError::Code::decodingFailed, detail);
}

// A whole number ≥ 0 (a time), as a JSON number or a decimal string.
std::optional<qint64> readWholeNumber(const QJsonValue &value)
{
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (!std::isfinite(number) || number < 0 || number != std::floor(number) || number > 9e15)
            return std::nullopt;
        return qint64(number);
    }
    if (!value.isString())
        return std::nullopt;
    bool ok = false;
    const qint64 number = value.toString().toLongLong(&ok);
    return ok && number >= 0 ? std::optional(number) : std::nullopt;
}

// How an exchange writes its rows: the open time first, the close fifth.
struct RowForm
{
    qint64 timeUnitsPerSecond = 1000;
    // The close a JSON number rather than a decimal string.
    bool numericClose = false;
};

Result<QList<Candle>> readRows(const QJsonArray &rows, RowForm form = {})
{
    QList<Candle> candles;
    candles.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonArray row = rows.at(i).toArray();
        if (!rows.at(i).isArray() || row.size() < 5)
            return malformed(QStringLiteral("row %1 is not a candle").arg(i));
        const std::optional<qint64> openTime = readWholeNumber(row.at(0));
        if (!openTime)
            return malformed(QStringLiteral("row %1 has no open time").arg(i));
        std::optional<double> close;
        if (form.numericClose && row.at(4).isDouble())
            close = row.at(4).toDouble();
        else if (!form.numericClose && row.at(4).isString())
            close = readDecimal(row.at(4).toString().toStdString());
        if (!close || !std::isfinite(*close))
            return malformed(QStringLiteral("row %1 has no close").arg(i));
        // No price, as in a ticker answer: the slot stays as it is, the rest of the answer counts.
        if (!(*close > 0))
            continue;
        candles.append({*openTime / form.timeUnitsPerSecond, *close});
    }
    return candles;
}

QString isoTime(qint64 secondsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::UTC).toString(Qt::ISODate);
}

QJsonDocument parseDocument(const QByteArray &body, QString *problem)
{
    QJsonParseError error {};
    QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        *problem = error.errorString();
    return document;
}

} // namespace

bool PriceSeries::isEmpty() const
{
    return std::none_of(closes.cbegin(), closes.cend(), [](double close) { return !std::isnan(close); });
}

bool PriceSeries::operator==(const PriceSeries &other) const
{
    if (start != other.start || closes.size() != other.closes.size())
        return false;
    for (qsizetype i = 0; i < closes.size(); ++i) {
        if (!sameClose(closes.at(i), other.closes.at(i)))
            return false;
    }
    return true;
}

qint64 windowStart(const QDateTime &now)
{
    const qint64 seconds = now.toSecsSinceEpoch();
    const qint64 openSlot = seconds - (seconds % PriceSeries::slotSeconds);
    return openSlot - (PriceSeries::slots - 1) * PriceSeries::slotSeconds;
}

PriceSeries mergeCandles(const PriceSeries &series, const QList<Candle> &candles, const QDateTime &now)
{
    PriceSeries merged;
    merged.start = windowStart(now);
    merged.closes = QList<double>(PriceSeries::slots, gap);
    const auto slotOf = [&merged](qint64 time) -> std::optional<qsizetype> {
        if (time < merged.start || (time - merged.start) % PriceSeries::slotSeconds != 0)
            return std::nullopt;
        const qint64 slot = (time - merged.start) / PriceSeries::slotSeconds;
        return slot < PriceSeries::slots ? std::optional<qsizetype>(slot) : std::nullopt;
    };
    for (qsizetype i = 0; i < series.closes.size(); ++i) {
        if (const auto slot = slotOf(series.start + i * PriceSeries::slotSeconds))
            merged.closes[*slot] = series.closes.at(i);
    }
    for (const Candle &candle : candles) {
        const auto slot = slotOf(candle.openTime);
        if (slot && std::isfinite(candle.close) && candle.close > 0)
            merged.closes[*slot] = candle.close;
    }
    return merged;
}

int candlesNeeded(const PriceSeries &series, const QDateTime &now)
{
    const PriceSeries current = mergeCandles(series, {}, now);
    for (qsizetype i = current.closes.size() - 1; i >= 0; --i) {
        if (!std::isnan(current.closes.at(i)))
            return int(current.closes.size() - i);
    }
    return PriceSeries::slots;
}

QList<double> displayedHistory(
    const PriceSeries &series, double usdToTargetRate, std::optional<double> livePrice, const QDateTime &now)
{
    if (!livePrice || !std::isfinite(*livePrice) || !std::isfinite(usdToTargetRate) || usdToTargetRate <= 0)
        return {};
    const PriceSeries current = mergeCandles(series, {}, now);
    if (current.isEmpty())
        return {};
    QList<double> values;
    values.reserve(current.closes.size());
    for (const double close : current.closes)
        values.append(close * usdToTargetRate);
    values.last() = *livePrice;
    return values;
}

QString HistorySource::name() const
{
    switch (exchange) {
    case Exchange::binance:
        return QStringLiteral("binance");
    case Exchange::okx:
        return QStringLiteral("okx");
    case Exchange::bybit:
        return QStringLiteral("bybit");
    case Exchange::coinbase:
        return QStringLiteral("coinbase");
    case Exchange::kraken:
        return QStringLiteral("kraken");
    }
    return {};
}

std::optional<HttpRequest> HistorySource::request(const QString &symbol, int count, const QDateTime &now) const
{
    // Symbols are the catalog's upper-case letters and digits; anything else is not asked for.
    const bool plain = !symbol.isEmpty() && std::all_of(symbol.cbegin(), symbol.cend(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
    });
    if (!plain || count < 1)
        return std::nullopt;
    const int limit = std::min(count, PriceSeries::slots);
    // The open time of the first candle wanted.
    const qint64 first = windowStart(now) + qint64(PriceSeries::slots - limit) * PriceSeries::slotSeconds;
    QString path;
    switch (exchange) {
    case Exchange::binance:
        path = QStringLiteral("%1/klines?symbol=%2USDT&interval=15m&limit=%3").arg(baseURL, symbol).arg(limit);
        break;
    case Exchange::okx:
        path = QStringLiteral("%1/api/v5/market/candles?instId=%2-USDT&bar=15m&limit=%3")
                   .arg(baseURL, symbol)
                   .arg(limit);
        break;
    case Exchange::bybit:
        path = QStringLiteral("%1/v5/market/kline?category=spot&symbol=%2USDT&interval=15&limit=%3")
                   .arg(baseURL, symbol)
                   .arg(limit);
        break;
    case Exchange::coinbase:
        // No limit parameter (300 candles unasked): the time range says how many.
        path = QStringLiteral("%1/products/%2-USD/candles?granularity=900&start=%3&end=%4")
                   .arg(baseURL, symbol, isoTime(first), isoTime(now.toSecsSinceEpoch()));
        break;
    case Exchange::kraken:
        // Kraken answers the candles after `since`; a second earlier takes in the first one wanted.
        path = QStringLiteral("%1/0/public/OHLC?pair=%2USD&interval=15&since=%3")
                   .arg(baseURL, KrakenTickerProvider::krakenAsset(symbol))
                   .arg(first - 1);
        break;
    }
    QUrl url(path, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty())
        return std::nullopt;
    HttpRequest request;
    request.url = std::move(url);
    request.inactivityTimeout = requestTimeout;
    request.maxBodySize = maxCandleBody;
    return request;
}

Result<QList<Candle>> HistorySource::parse(const QByteArray &body) const
{
    QString problem;
    const QJsonDocument document = parseDocument(body, &problem);
    if (!problem.isEmpty())
        return malformed(problem);
    switch (exchange) {
    case Exchange::binance:
        if (!document.isArray())
            return malformed(QStringLiteral("not an array"));
        return readRows(document.array());
    case Exchange::okx: {
        const QJsonObject root = document.object();
        if (!document.isObject() || !root.value(QLatin1String("code")).isString())
            return malformed(QStringLiteral("code missing or not a string"));
        const QString code = root.value(QLatin1String("code")).toString();
        if (code == QLatin1String("50011"))
            return MarketError::rateLimited(std::nullopt);
        if (code != QLatin1String("0"))
            return MarketError::make(MarketError::Code::badServerResponse, QStringLiteral("code %1").arg(code));
        if (!root.value(QLatin1String("data")).isArray())
            return malformed(QStringLiteral("data missing or not an array"));
        return readRows(root.value(QLatin1String("data")).toArray());
    }
    case Exchange::bybit: {
        const QJsonObject root = document.object();
        if (!document.isObject() || !root.value(QLatin1String("retCode")).isDouble())
            return malformed(QStringLiteral("retCode missing or not a number"));
        const int code = root.value(QLatin1String("retCode")).toInt(-1);
        if (code == 10006)
            return MarketError::rateLimited(std::nullopt);
        if (code != 0)
            return MarketError::make(MarketError::Code::badServerResponse, QStringLiteral("retCode %1").arg(code));
        const QJsonValue list = root.value(QLatin1String("result")).toObject().value(QLatin1String("list"));
        if (!list.isArray())
            return malformed(QStringLiteral("result.list missing or not an array"));
        return readRows(list.toArray());
    }
    case Exchange::coinbase:
        if (!document.isArray())
            return malformed(QStringLiteral("not an array"));
        return readRows(document.array(), {1, true});
    case Exchange::kraken: {
        const QJsonObject root = document.object();
        if (!document.isObject() || !root.value(QLatin1String("error")).isArray())
            return malformed(QStringLiteral("error missing or not an array"));
        const QJsonArray errors = root.value(QLatin1String("error")).toArray();
        if (!errors.isEmpty()) {
            if (!errors.first().isString())
                return malformed(QStringLiteral("error entry not a string"));
            return KrakenTickerProvider::errorOf(errors.first().toString());
        }
        // The one pair asked for, under Kraken's name for it, beside "last".
        const QJsonObject result = root.value(QLatin1String("result")).toObject();
        std::optional<QJsonArray> rows;
        for (auto it = result.constBegin(); it != result.constEnd(); ++it) {
            if (it.key() == QLatin1String("last"))
                continue;
            if (rows || !it.value().isArray())
                return malformed(QStringLiteral("result is not one pair's candles"));
            rows = it.value().toArray();
        }
        if (!rows)
            return malformed(QStringLiteral("result holds no pair"));
        return readRows(*rows, {1, false});
    }
    }
    return malformed(QStringLiteral("unknown exchange"));
}

Result<QList<Candle>> screenAndParseCandles(const HistorySource &source, const HttpResponse &response)
{
    const int status = response.statusCode;
    if (status >= 200 && status <= 299)
        return source.parse(response.body);
    switch (status) {
    case 403:
    case 418:
    case 429:
        return MarketError::rateLimited(retryAfterSeconds(response));
    default:
        return MarketError::make(MarketError::Code::badServerResponse, QStringLiteral("status %1").arg(status));
    }
}

QList<HistorySource> defaultHistorySources()
{
    using E = HistorySource::Exchange;
    return {
        {E::binance, QStringLiteral("https://api.binance.com/api/v3")},
        {E::binance, QStringLiteral("https://data-api.binance.vision/api/v3")},
        {E::okx, QStringLiteral("https://www.okx.com")},
        {E::bybit, QStringLiteral("https://api.bybit.com")},
        {E::coinbase, QStringLiteral("https://api.exchange.coinbase.com")},
        {E::kraken, QStringLiteral("https://api.kraken.com")},
    };
}

PriceHistoryStore PriceHistoryStore::forBundle(const Bundle &bundle)
{
    const std::optional<QString> directory = Paths::sharedContainerDirectory(bundle);
    return {directory ? *directory + QLatin1Char('/') + QLatin1String(fileName) : QString()};
}

QHash<QString, PriceSeries> PriceHistoryStore::load() const
{
    if (filePath.isEmpty())
        return {};
    QFile file(filePath);
    if (!file.exists())
        return {};
    std::optional<QHash<QString, PriceSeries>> series;
    if (file.open(QIODevice::ReadOnly) && file.size() <= maxStoreFile)
        series = decode(file.read(maxStoreFile + 1));
    if (!series) {
        qCWarning(lcMarket, "Price history in %s is damaged; it is fetched again", qUtf8Printable(filePath));
        return {};
    }
    return *series;
}

bool PriceHistoryStore::save(const QHash<QString, PriceSeries> &series, QString *errorString) const
{
    if (filePath.isEmpty())
        return true;
    return writeFileAtomically(filePath, encode(series), Durability::Atomic, errorString);
}

QByteArray PriceHistoryStore::encode(const QHash<QString, PriceSeries> &series)
{
    QJsonObject coins;
    for (auto it = series.cbegin(); it != series.cend(); ++it) {
        QJsonArray closes;
        for (const double close : it->closes)
            closes.append(std::isfinite(close) ? QJsonValue(close) : QJsonValue(QJsonValue::Null));
        coins.insert(
            it.key(), QJsonObject {{QStringLiteral("start"), double(it->start)}, {QStringLiteral("closes"), closes}});
    }
    return QJsonDocument(QJsonObject {{QStringLiteral("version"), storeVersion}, {QStringLiteral("series"), coins}})
        .toJson(QJsonDocument::Compact);
}

std::optional<QHash<QString, PriceSeries>> PriceHistoryStore::decode(const QByteArray &data)
{
    QString problem;
    const QJsonDocument document = parseDocument(data, &problem);
    const QJsonObject root = document.object();
    if (!problem.isEmpty() || !document.isObject() || root.value(QLatin1String("version")).toInt() != storeVersion
        || !root.value(QLatin1String("series")).isObject())
        return std::nullopt;
    QHash<QString, PriceSeries> result;
    const QJsonObject coins = root.value(QLatin1String("series")).toObject();
    for (auto it = coins.constBegin(); it != coins.constEnd(); ++it) {
        const QJsonObject entry = it.value().toObject();
        const std::optional<qint64> start = readWholeNumber(entry.value(QLatin1String("start")));
        const QJsonArray closes = entry.value(QLatin1String("closes")).toArray();
        if (!it.value().isObject() || !start || *start % PriceSeries::slotSeconds != 0
            || !entry.value(QLatin1String("closes")).isArray() || closes.size() > PriceSeries::slots)
            return std::nullopt;
        PriceSeries series {*start, {}};
        for (const QJsonValue &close : closes) {
            if (close.isNull())
                series.closes.append(gap);
            else if (close.isDouble() && std::isfinite(close.toDouble()) && close.toDouble() > 0)
                series.closes.append(close.toDouble());
            else
                return std::nullopt;
        }
        result.insert(it.key(), series);
    }
    return result;
}

} // namespace Vantrell
