// SPDX-License-Identifier: GPL-3.0-or-later
#include "marketbook.h"

#include "fakemarketlogging.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

namespace Vantrell::FakeMarketData {

namespace {

constexpr qint64 dayMs = 24 * 3600 * 1000;
constexpr qint64 staleAfterMs = 3600 * 1000;

QByteArray quoted(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const bool plain = std::none_of(utf8.cbegin(), utf8.cend(),
        [](char c) { return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20; });
    if (plain)
        return '"' + utf8 + '"';
    QByteArray out;
    out.reserve(utf8.size() + 8);
    out += '"';
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            out += "\\u00";
            out += QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

QByteArray rawJson(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::String:
        return quoted(value.toString());
    case QJsonValue::Double: {
        constexpr qint64 notIntegral = std::numeric_limits<qint64>::min();
        const qint64 integer = value.toInteger(notIntegral);
        if (integer != notIntegral)
            return QByteArray::number(integer);
        return shortestDecimal(value.toDouble());
    }
    case QJsonValue::Bool:
        return value.toBool() ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
    case QJsonValue::Array:
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    case QJsonValue::Object:
        return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    default:
        return QByteArrayLiteral("null");
    }
}

std::optional<double> readDecimal(const QJsonValue &value)
{
    if (value.isDouble())
        return value.toDouble();
    const QByteArray text = value.toString().toLatin1();
    double result = 0;
    const auto [end, error] = std::from_chars(text.constData(), text.constData() + text.size(), result);
    if (text.isEmpty() || error != std::errc {} || end != text.constData() + text.size() || !std::isfinite(result))
        return std::nullopt;
    return result;
}

int decimalsOf(const QByteArray &recorded)
{
    const qsizetype dot = recorded.indexOf('.');
    if (dot < 0)
        return 0;
    int digits = 0;
    for (qsizetype i = dot + 1; i < recorded.size() && recorded.at(i) >= '0' && recorded.at(i) <= '9'; ++i)
        ++digits;
    return digits;
}

// Enough decimals for six significant digits, so that cheap coins visibly move too.
int significantDecimals(double value)
{
    if (!(value > 0))
        return 2;
    return std::clamp(5 - static_cast<int>(std::floor(std::log10(value))), 0, 12);
}

QByteArray fixed(double value, int decimals)
{
    return QByteArray::number(value, 'f', decimals);
}

double phaseOf(const QByteArray &key)
{
    quint64 hash = 14695981039346656037ULL;
    for (const char c : key) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return static_cast<double>(hash >> 11) * 0x1.0p-53;
}

struct Layout
{
    const char *nameKey;
    QList<const char *> order;
    QList<std::pair<const char *, FieldRole>> roles;
    const char *quoteSuffix;
};

const Layout &layoutOf(Exchange exchange)
{
    static const Layout binance {"symbol",
        {"symbol", "priceChange", "priceChangePercent", "weightedAvgPrice", "prevClosePrice", "lastPrice", "lastQty",
            "bidPrice", "bidQty", "askPrice", "askQty", "openPrice", "highPrice", "lowPrice", "volume", "quoteVolume",
            "openTime", "closeTime", "firstId", "lastId", "count"},
        {{"lastPrice", FieldRole::Price}, {"openPrice", FieldRole::OpenPrice},
            {"priceChangePercent", FieldRole::ChangePercent}, {"priceChange", FieldRole::PriceChange},
            {"openTime", FieldRole::OpenTime}, {"closeTime", FieldRole::CloseTime}},
        "USDT"};
    static const Layout okx {"instId",
        {"instType", "instId", "last", "lastSz", "askPx", "askSz", "bidPx", "bidSz", "open24h", "high24h", "low24h",
            "volCcy24h", "vol24h", "ts", "sodUtc0", "sodUtc8"},
        {{"last", FieldRole::Price}, {"open24h", FieldRole::OpenPrice}, {"ts", FieldRole::TimestampText}}, "-USDT"};
    static const Layout bybit {"symbol",
        {"symbol", "bid1Price", "bid1Size", "ask1Price", "ask1Size", "lastPrice", "prevPrice24h", "price24hPcnt",
            "highPrice24h", "lowPrice24h", "turnover24h", "volume24h", "usdIndexPrice"},
        {{"lastPrice", FieldRole::Price}, {"prevPrice24h", FieldRole::OpenPrice},
            {"price24hPcnt", FieldRole::ChangeFraction}},
        "USDT"};
    switch (exchange) {
    case Exchange::Binance:
        return binance;
    case Exchange::Okx:
        return okx;
    case Exchange::Bybit:
        break;
    }
    return bybit;
}

QJsonDocument readResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QJsonParseError error;
    QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        qCWarning(lcFakeMarket) << "Unreadable market data" << path << error.errorString();
    return document;
}

const QJsonArray &binanceRecording()
{
    static const QJsonArray tickers = readResource(QStringLiteral(":/fakemarket/binance-ticker-24hr.json")).array();
    return tickers;
}

// The OKX and Bybit answers are generated from the Binance recording, in each
// exchange's envelope; tickers are read from the envelope or a bare list.
QList<QJsonObject> capturedTickers(Exchange exchange)
{
    QJsonArray list;
    switch (exchange) {
    case Exchange::Binance:
        list = binanceRecording();
        break;
    case Exchange::Okx:
        list = readResource(QStringLiteral(":/fakemarket/okx-tickers-spot.json"))
                   .object()
                   .value(QLatin1String("data"))
                   .toArray();
        break;
    case Exchange::Bybit:
        list = readResource(QStringLiteral(":/fakemarket/bybit-tickers-spot.json"))
                   .object()
                   .value(QLatin1String("result"))
                   .toObject()
                   .value(QLatin1String("list"))
                   .toArray();
        break;
    }
    QList<QJsonObject> result;
    result.reserve(list.size());
    for (const QJsonValue &value : std::as_const(list)) {
        if (value.isObject())
            result.append(value.toObject());
    }
    if (result.isEmpty())
        qCWarning(lcFakeMarket) << "No recorded tickers for exchange" << static_cast<int>(exchange);
    return result;
}

QList<Instrument> loadInstruments(Exchange exchange)
{
    const QList<QJsonObject> objects = capturedTickers(exchange);
    // Binance still lists halted pairs whose window closed days before the
    // recording; they stay stale, as do the delisted ones with no trades.
    qint64 newestClose = 0;
    for (const QJsonObject &object : objects)
        newestClose = std::max(newestClose, object.value(QLatin1String("closeTime")).toInteger());
    QList<Instrument> instruments;
    instruments.reserve(objects.size());
    for (const QJsonObject &object : objects) {
        Instrument instrument = instrumentFromJson(exchange, object);
        if (instrument.name.isEmpty())
            continue;
        if (exchange == Exchange::Binance
            && object.value(QLatin1String("closeTime")).toInteger() < newestClose - staleAfterMs)
            instrument.active = false;
        instruments.append(std::move(instrument));
    }
    return instruments;
}

QJsonObject objectOf(std::initializer_list<std::pair<const char *, QJsonValue>> fields)
{
    QJsonObject object;
    for (const auto &[key, value] : fields)
        object.insert(QLatin1String(key), value);
    return object;
}

QJsonObject syntheticTicker(Exchange exchange, const QString &coin, double price)
{
    const QString p = QString::fromLatin1(shortestDecimal(price));
    const QString zero = QStringLiteral("0");
    switch (exchange) {
    case Exchange::Binance:
        return objectOf({{"symbol", QString(coin + QLatin1String("USDT"))}, {"priceChange", zero},
            {"priceChangePercent", QStringLiteral("0.000")}, {"weightedAvgPrice", p}, {"prevClosePrice", p},
            {"lastPrice", p}, {"lastQty", zero}, {"bidPrice", p}, {"bidQty", zero}, {"askPrice", p}, {"askQty", zero},
            {"openPrice", p}, {"highPrice", p}, {"lowPrice", p}, {"volume", zero}, {"quoteVolume", zero},
            {"openTime", 0}, {"closeTime", 0}, {"firstId", 1}, {"lastId", 1}, {"count", 1}});
    case Exchange::Okx:
        return objectOf({{"instType", QStringLiteral("SPOT")}, {"instId", QString(coin + QLatin1String("-USDT"))},
            {"last", p}, {"lastSz", zero}, {"askPx", p}, {"askSz", zero}, {"bidPx", p}, {"bidSz", zero}, {"open24h", p},
            {"high24h", p}, {"low24h", p}, {"volCcy24h", zero}, {"vol24h", zero}, {"ts", zero}, {"sodUtc0", p},
            {"sodUtc8", p}});
    case Exchange::Bybit:
        break;
    }
    return objectOf(
        {{"symbol", QString(coin + QLatin1String("USDT"))}, {"bid1Price", p}, {"bid1Size", zero}, {"ask1Price", p},
            {"ask1Size", zero}, {"lastPrice", p}, {"prevPrice24h", p}, {"price24hPcnt", QStringLiteral("0")},
            {"highPrice24h", p}, {"lowPrice24h", p}, {"turnover24h", zero}, {"volume24h", zero}, {"usdIndexPrice", p}});
}

} // namespace

QByteArray shortestDecimal(double value)
{
    if (!std::isfinite(value))
        return QByteArrayLiteral("0");
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc {})
        return QByteArray::number(value, 'f', 8);
    return QByteArray(buffer, result.ptr - buffer);
}

double driftFactor(qint64 second, double phase)
{
    constexpr double tau = 2 * std::numbers::pi;
    const double t = static_cast<double>(second);
    return 1.0 + 0.004 * std::sin(tau * (t / 600.0 + phase)) + 0.0015 * std::sin(tau * (t / 47.0 + 3 * phase));
}

Instrument instrumentFromJson(Exchange exchange, const QJsonObject &object)
{
    const Layout &layout = layoutOf(exchange);
    Instrument instrument;
    instrument.name = object.value(QLatin1String(layout.nameKey)).toString().toUtf8();
    if (instrument.name.isEmpty())
        return instrument;
    const QByteArray suffix(layout.quoteSuffix);
    if (instrument.name.size() > suffix.size() && instrument.name.endsWith(suffix))
        instrument.coin = QString::fromUtf8(instrument.name.chopped(suffix.size()));

    QStringList keys;
    for (const char *key : layout.order) {
        if (object.contains(QLatin1String(key)))
            keys.append(QString::fromLatin1(key));
    }
    for (const QString &key : object.keys()) {
        if (!keys.contains(key))
            keys.append(key);
    }
    instrument.fields.reserve(keys.size());
    for (const QString &key : std::as_const(keys)) {
        Field field;
        field.keyToken = quoted(key) + ':';
        field.recorded = rawJson(object.value(key));
        field.decimals = decimalsOf(field.recorded);
        for (const auto &[roleKey, role] : layout.roles) {
            if (key == QLatin1String(roleKey))
                field.role = role;
        }
        instrument.fields.append(std::move(field));
    }

    const auto value = [&](FieldRole role) -> std::optional<double> {
        for (const auto &[roleKey, r] : layout.roles) {
            if (r == role)
                return readDecimal(object.value(QLatin1String(roleKey)));
        }
        return std::nullopt;
    };
    const std::optional<double> price = value(FieldRole::Price);
    instrument.price = price.value_or(0);
    instrument.open = std::max(0.0, value(FieldRole::OpenPrice).value_or(0));
    switch (exchange) {
    case Exchange::Binance:
        instrument.change = value(FieldRole::ChangePercent).value_or(0);
        break;
    case Exchange::Bybit:
        instrument.change = value(FieldRole::ChangeFraction).value_or(0) * 100;
        break;
    case Exchange::Okx:
        instrument.change = instrument.open > 0 ? (instrument.price / instrument.open - 1) * 100 : 0;
        break;
    }
    instrument.active = instrument.price > 0
        && (exchange != Exchange::Binance || object.value(QLatin1String("count")).toInteger() > 0);
    instrument.driftPhase = phaseOf(instrument.coin.isEmpty() ? instrument.name : instrument.coin.toUtf8());
    return instrument;
}

QList<Instrument> recordedInstruments(Exchange exchange)
{
    // Parsed once per process; every book starts from a copy.
    static const QList<Instrument> binance = loadInstruments(Exchange::Binance);
    static const QList<Instrument> okx = loadInstruments(Exchange::Okx);
    static const QList<Instrument> bybit = loadInstruments(Exchange::Bybit);
    switch (exchange) {
    case Exchange::Binance:
        return binance;
    case Exchange::Okx:
        return okx;
    case Exchange::Bybit:
        break;
    }
    return bybit;
}

TickerBook::TickerBook(Exchange exchange, QList<Instrument> instruments)
    : m_exchange(exchange)
    , m_instruments(std::move(instruments))
{
    for (qsizetype i = 0; i < m_instruments.size(); ++i) {
        m_byName.insert(m_instruments.at(i).name, i);
        if (!m_instruments.at(i).coin.isEmpty())
            m_byCoin.insert(m_instruments.at(i).coin, i);
    }
}

bool TickerBook::isListed(const QString &coin) const
{
    return (!m_allowed || m_allowed->contains(coin)) && !m_removed.contains(coin);
}

std::optional<double> TickerBook::currentPrice(const QString &coin, qint64 nowMs) const
{
    const auto at = m_byCoin.constFind(coin);
    if (at == m_byCoin.cend() || !isListed(coin))
        return std::nullopt;
    const Instrument &instrument = m_instruments.at(*at);
    if (instrument.exact)
        return instrument.exact->priceUsd > 0 ? std::optional(instrument.exact->priceUsd) : std::nullopt;
    if (!instrument.active)
        return std::nullopt;
    const qint64 second = nowMs >= 0 ? nowMs / 1000 : (nowMs - 999) / 1000;
    return m_drift ? instrument.price * driftFactor(second, instrument.driftPhase) : instrument.price;
}

bool TickerBook::isListed(const Instrument &instrument) const
{
    return instrument.coin.isEmpty() || isListed(instrument.coin);
}

const QByteArray &TickerBook::serialized(Instrument &instrument, qint64 nowMs)
{
    const qint64 second = nowMs >= 0 ? nowMs / 1000 : (nowMs - 999) / 1000;
    if (instrument.cachedTick == second && instrument.cachedGeneration == m_generation)
        return instrument.cached;

    const bool exact = instrument.exact.has_value();
    const bool live = instrument.active || exact;
    const bool moving = exact || (instrument.active && m_drift);
    const LiveQuote quote = this->live(instrument, second);
    const double price = quote.price;
    const double open = quote.open;
    double change = instrument.change;
    if (exact)
        change = instrument.exact->change24hPercent;
    else if (moving && open > 0)
        change = (price / open - 1) * 100;
    const auto number = [&](double v, int decimals) { return exact ? shortestDecimal(v) : fixed(v, decimals); };
    // Timestamps at whole seconds keep an answer the same for the whole second it is cached.
    const qint64 stamp = second * 1000;

    QByteArray &out = instrument.cached;
    out.clear();
    out.reserve(instrument.fields.size() * 32);
    out += '{';
    bool first = true;
    for (const Field &field : std::as_const(instrument.fields)) {
        if (!first)
            out += ',';
        first = false;
        out += field.keyToken;
        QByteArray text;
        switch (field.role) {
        case FieldRole::Fixed:
            break;
        case FieldRole::Price:
            if (exact && !instrument.exact->priceText.isNull())
                text = instrument.exact->priceText;
            else if (moving)
                text = number(price, std::max(field.decimals, significantDecimals(price)));
            break;
        case FieldRole::OpenPrice:
            if (exact)
                text = shortestDecimal(open);
            break;
        case FieldRole::ChangePercent:
            if (moving)
                text = number(change, std::max(field.decimals, 2));
            break;
        case FieldRole::ChangeFraction:
            if (moving)
                text = number(change / 100, std::max(field.decimals, 4));
            break;
        case FieldRole::PriceChange:
            if (moving)
                text = number(open > 0 ? price - open : 0, std::max(field.decimals, significantDecimals(price)));
            break;
        case FieldRole::OpenTime:
            if (live)
                text = QByteArray::number(stamp - dayMs);
            break;
        case FieldRole::CloseTime:
        case FieldRole::TimestampText:
            if (live)
                text = QByteArray::number(stamp);
            break;
        }
        if (text.isNull()) {
            out += field.recorded;
        } else if (field.recorded.startsWith('"')) {
            out += '"';
            out += text;
            out += '"';
        } else {
            out += text;
        }
    }
    out += '}';
    instrument.cachedTick = second;
    instrument.cachedGeneration = m_generation;
    return out;
}

LiveQuote TickerBook::live(const Instrument &instrument, qint64 second) const
{
    LiveQuote quote {instrument.price, instrument.open, {}};
    if (instrument.exact) {
        const double change = instrument.exact->change24hPercent;
        quote.price = instrument.exact->priceUsd;
        quote.open = 1 + change / 100 > 0 ? quote.price / (1 + change / 100) : 0;
        quote.priceText = instrument.exact->priceText;
    } else if (instrument.active && m_drift) {
        quote.price = instrument.price * driftFactor(second, instrument.driftPhase);
    }
    return quote;
}

std::optional<LiveQuote> TickerBook::liveQuote(const QString &coin, qint64 nowMs)
{
    const auto it = m_byCoin.constFind(coin);
    if (it == m_byCoin.cend())
        return std::nullopt;
    const Instrument &instrument = m_instruments.at(*it);
    if (!isListed(instrument) || !(instrument.active || instrument.exact))
        return std::nullopt;
    const qint64 second = nowMs >= 0 ? nowMs / 1000 : (nowMs - 999) / 1000;
    return live(instrument, second);
}

QStringList TickerBook::liveCoins() const
{
    QStringList coins;
    for (const Instrument &instrument : m_instruments) {
        if (!instrument.coin.isEmpty() && isListed(instrument) && (instrument.active || instrument.exact))
            coins.append(instrument.coin);
    }
    return coins;
}

void TickerBook::padTo(qsizetype count)
{
    const qsizetype original = m_instruments.size();
    for (qsizetype i = 0; original > 0 && m_instruments.size() < count; ++i) {
        Instrument copy = m_instruments.at(i % original);
        // "BTC-USDT" becomes "BTC-USDT7": a pair no client asks for, of the same size.
        const QByteArray name = copy.name + QByteArray::number(i / original + 7);
        for (Field &field : copy.fields) {
            if (field.recorded == '"' + copy.name + '"')
                field.recorded = '"' + name + '"';
        }
        copy.name = name;
        copy.coin.clear();
        copy.exact.reset();
        copy.cachedTick = -1;
        m_byName.insert(copy.name, m_instruments.size());
        m_instruments.append(std::move(copy));
    }
    changed();
}

QByteArray TickerBook::allTickers(qint64 nowMs)
{
    const qint64 second = nowMs >= 0 ? nowMs / 1000 : (nowMs - 999) / 1000;
    if (m_allCacheTick == second && m_allCacheGeneration == m_generation)
        return m_allCache;

    QByteArray list;
    list.reserve(m_allCache.size() + 4096);
    bool first = true;
    for (Instrument &instrument : m_instruments) {
        if (!isListed(instrument))
            continue;
        if (!first)
            list += ',';
        first = false;
        list += serialized(instrument, nowMs);
    }
    switch (m_exchange) {
    case Exchange::Binance:
        m_allCache = '[' + list + ']';
        break;
    case Exchange::Okx:
        m_allCache = R"({"code":"0","msg":"","data":[)" + list + "]}";
        break;
    case Exchange::Bybit:
        m_allCache = R"({"retCode":0,"retMsg":"OK","result":{"category":"spot","list":[)" + list
            + R"(]},"retExtInfo":{},"time":)" + QByteArray::number(second * 1000) + '}';
        break;
    }
    m_allCacheTick = second;
    m_allCacheGeneration = m_generation;
    return m_allCache;
}

std::optional<QByteArray> TickerBook::ticker(const QByteArray &name, qint64 nowMs)
{
    const auto it = m_byName.constFind(name);
    if (it == m_byName.cend())
        return std::nullopt;
    Instrument &instrument = m_instruments[*it];
    if (!isListed(instrument))
        return std::nullopt;
    return serialized(instrument, nowMs);
}

void TickerBook::changed()
{
    ++m_generation;
}

void TickerBook::setDriftEnabled(bool enabled)
{
    m_drift = enabled;
    changed();
}

void TickerBook::setListed(const QSet<QString> &coins)
{
    m_allowed = coins;
    m_removed.clear();
    changed();
}

void TickerBook::delist(const QSet<QString> &coins)
{
    m_removed.unite(coins);
    changed();
}

void TickerBook::resetListings()
{
    m_allowed.reset();
    m_removed.clear();
    changed();
}

void TickerBook::setExactQuote(const QString &coin, ExactQuote quote)
{
    qsizetype index = m_byCoin.value(coin, -1);
    if (index < 0) {
        Instrument instrument = instrumentFromJson(m_exchange, syntheticTicker(m_exchange, coin, quote.priceUsd));
        index = m_instruments.size();
        m_byName.insert(instrument.name, index);
        m_byCoin.insert(coin, index);
        m_instruments.append(std::move(instrument));
    }
    m_instruments[index].exact = quote;
    changed();
}

void TickerBook::clearExactQuotes()
{
    for (Instrument &instrument : m_instruments)
        instrument.exact.reset();
    changed();
}

// Rates ------------------------------------------------------------------------------------------

namespace {

QByteArray significant(double value, int digits)
{
    if (!(value > 0) || !std::isfinite(value))
        return shortestDecimal(value);
    const int decimals = std::clamp(digits - 1 - static_cast<int>(std::floor(std::log10(value))), 0, 15);
    QByteArray text = fixed(value, decimals);
    if (text.contains('.')) {
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.'))
            text.chop(1);
    }
    return text;
}

QByteArray ratesObject(const QList<std::pair<QString, double>> &rates, const QHash<QString, double> &overrides,
    bool lowerCase, bool recordedPrecision)
{
    QByteArray out = "{";
    for (const auto &[code, rate] : rates) {
        if (out.size() > 1)
            out += ',';
        out += quoted(code);
        out += ':';
        const QString upper = code.toUpper();
        if (overrides.contains(upper))
            out += shortestDecimal(overrides.value(upper));
        else
            out += recordedPrecision ? shortestDecimal(rate) : significant(rate, 6);
    }
    for (auto it = overrides.cbegin(); it != overrides.cend(); ++it) {
        const QString code = lowerCase ? it.key().toLower() : it.key();
        const bool present = std::any_of(rates.cbegin(), rates.cend(), [&](const auto &r) { return r.first == code; });
        if (!present) {
            out += ',' + quoted(code) + ':' + shortestDecimal(it.value());
        }
    }
    out += '}';
    return out;
}

} // namespace

RateTables::RateTables()
{
    // The recording is ExchangeRate-API's answer for RUB; USD rates follow by division.
    const QJsonObject erApi = readResource(QStringLiteral(":/fakemarket/open-er-api-RUB.json")).object();
    const QJsonObject rubRates = erApi.value(QLatin1String("rates")).toObject();
    const double rubPerUsd = rubRates.value(QLatin1String("USD")).toDouble();
    // The answer's other keys as recorded, in the service's order, with the base changed.
    m_erApiHead = "{";
    for (const char *key : {"result", "provider", "documentation", "terms_of_use", "time_last_update_unix",
             "time_last_update_utc", "time_next_update_unix", "time_next_update_utc", "time_eol_unix"}) {
        if (erApi.contains(QLatin1String(key)))
            m_erApiHead += quoted(QString::fromLatin1(key)) + ':' + rawJson(erApi.value(QLatin1String(key))) + ',';
    }
    m_erApiHead += R"("base_code":"USD","rates":)";
    m_erApiRates.append({QStringLiteral("USD"), 1.0});
    if (rubPerUsd > 0) {
        for (auto it = rubRates.constBegin(); it != rubRates.constEnd(); ++it) {
            if (it.key() != QLatin1String("USD"))
                m_erApiRates.append({it.key(), it.value().toDouble() / rubPerUsd});
        }
    }

    QFile currencyApi(QStringLiteral(":/fakemarket/currency-api-usd.min.json"));
    if (currencyApi.open(QIODevice::ReadOnly))
        m_currencyApiRecorded = currencyApi.readAll();
    const QJsonObject dataset = QJsonDocument::fromJson(m_currencyApiRecorded).object();
    m_currencyApiDate = rawJson(dataset.value(QLatin1String("date")));
    const QJsonObject usd = dataset.value(QLatin1String("usd")).toObject();
    for (auto it = usd.constBegin(); it != usd.constEnd(); ++it)
        m_currencyApiRates.append({it.key(), it.value().toDouble()});
}

QByteArray RateTables::erApiLatestUsd()
{
    if (m_erApiCache.isEmpty())
        m_erApiCache = m_erApiHead + ratesObject(m_erApiRates, m_overrides, false, false) + '}';
    return m_erApiCache;
}

QByteArray RateTables::currencyApiUsd()
{
    if (m_overrides.isEmpty())
        return m_currencyApiRecorded;
    if (m_currencyApiCache.isEmpty()) {
        m_currencyApiCache = R"({"date":)" + m_currencyApiDate + R"(,"usd":)"
            + ratesObject(m_currencyApiRates, m_overrides, true, true) + '}';
    }
    return m_currencyApiCache;
}

void RateTables::setUsdRate(const QString &code, double rate)
{
    m_overrides.insert(code.toUpper(), rate);
    m_erApiCache.clear();
    m_currencyApiCache.clear();
}

void RateTables::resetRates()
{
    m_overrides.clear();
    m_erApiCache.clear();
    m_currencyApiCache.clear();
}

} // namespace Vantrell::FakeMarketData
