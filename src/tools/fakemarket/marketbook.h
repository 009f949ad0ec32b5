// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace Vantrell::FakeMarketData {

enum class Exchange { Binance, Okx, Bybit };

// An exact price for a coin, shown without drift.
struct ExactQuote
{
    double priceUsd = 0;
    double change24hPercent = 0;
    // When not null, written as the last price instead of priceUsd, verbatim
    // ("", "NaN", "1e400"): the garbage a broken exchange might send.
    QByteArray priceText;

    bool operator==(const ExactQuote &) const = default;
};

enum class FieldRole : quint8 {
    Fixed,
    Price,
    OpenPrice,
    ChangePercent,
    ChangeFraction,
    PriceChange,
    OpenTime,
    CloseTime,
    TimestampText
};

// One key of a ticker object: the key token ("\"lastPrice\":") and the value as recorded.
struct Field
{
    QByteArray keyToken;
    QByteArray recorded;
    FieldRole role = FieldRole::Fixed;
    // Digits after the decimal point of the recorded value, kept when the value moves.
    int decimals = 8;
};

// One ticker of one exchange.
struct Instrument
{
    QByteArray name; // as the exchange writes it: "BTCUSDT", "BTC-USDT"
    QString coin; // the base of a USDT pair ("BTC"); empty for other quote currencies
    QList<Field> fields;
    double price = 0; // recorded last price
    double open = 0; // recorded price 24 hours earlier; 0 when unknown
    double change = 0; // recorded 24-hour change in percent
    // Binance keeps delisted and halted pairs with an old closeTime: they never move.
    bool active = true;
    double driftPhase = 0;
    std::optional<ExactQuote> exact;

    QByteArray cached;
    qint64 cachedTick = -1;
    quint64 cachedGeneration = 0;
};

// A coin's price as a book shows it at one second.
struct LiveQuote
{
    double price = 0;
    // The price 24 hours earlier; 0 when unknown.
    double open = 0;
    // The last price as written, when a test set it verbatim; else null.
    QByteArray priceText;
};

// The tickers of one exchange and the answers built from them. Prices move by a
// small deterministic drift that depends only on the second of the clock, and
// answers are cached per second, so repeated requests cost a copy.
class TickerBook final
{
public:
    TickerBook(Exchange exchange, QList<Instrument> instruments);

    Exchange exchange() const { return m_exchange; }

    // The whole answer of the exchange's all-tickers endpoint at `nowMs`.
    QByteArray allTickers(qint64 nowMs);
    // The JSON object of one listed ticker by its exchange name, or nothing when
    // the exchange does not list it.
    std::optional<QByteArray> ticker(const QByteArray &name, qint64 nowMs);
    // The live price of a coin's USDT pair, for exchanges whose answers the
    // fake writes in their own shape from this book; none when not listed or
    // no longer trading.
    std::optional<LiveQuote> liveQuote(const QString &coin, qint64 nowMs);
    // The coins of the listed, trading USDT pairs, in book order.
    QStringList liveCoins() const;
    // Adds made-up instruments of another quote currency until the book holds
    // `count`, so that the whole book is as large as the real one.
    void padTo(qsizetype count);

    void setDriftEnabled(bool enabled);
    // Only these coins' USDT pairs stay listed; pairs in other quote currencies stay.
    void setListed(const QSet<QString> &coins);
    void delist(const QSet<QString> &coins);
    void resetListings();
    bool isListed(const QString &coin) const;
    // The price of the coin's listed USDT pair at `nowMs`, as its ticker gives it.
    std::optional<double> currentPrice(const QString &coin, qint64 nowMs) const;
    // Adds a USDT pair when the exchange has none for the coin.
    void setExactQuote(const QString &coin, ExactQuote quote);
    void clearExactQuotes();

private:
    bool isListed(const Instrument &instrument) const;
    LiveQuote live(const Instrument &instrument, qint64 second) const;
    const QByteArray &serialized(Instrument &instrument, qint64 nowMs);
    void changed();

    Exchange m_exchange;
    QList<Instrument> m_instruments;
    QHash<QByteArray, qsizetype> m_byName;
    QHash<QString, qsizetype> m_byCoin;
    std::optional<QSet<QString>> m_allowed;
    QSet<QString> m_removed;
    bool m_drift = true;
    quint64 m_generation = 1;
    QByteArray m_allCache;
    qint64 m_allCacheTick = -1;
    quint64 m_allCacheGeneration = 0;
};

// The USD rate tables of the two rate services.
class RateTables final
{
public:
    RateTables();

    QByteArray erApiLatestUsd();
    QByteArray currencyApiUsd();

    // Sets the rate of a currency (units per US dollar) in every table.
    void setUsdRate(const QString &code, double rate);
    void resetRates();

private:
    QByteArray m_erApiHead;
    QList<std::pair<QString, double>> m_erApiRates; // upper case, "USD" first
    QList<std::pair<QString, double>> m_currencyApiRates; // lower case
    QByteArray m_currencyApiDate;
    QByteArray m_currencyApiRecorded;
    QHash<QString, double> m_overrides; // upper case
    QByteArray m_erApiCache;
    QByteArray m_currencyApiCache;
};

// Builds an instrument from one recorded ticker object of `exchange`.
Instrument instrumentFromJson(Exchange exchange, const QJsonObject &object);

// The tickers of each exchange as recorded (Binance) or generated from that recording.
QList<Instrument> recordedInstruments(Exchange exchange);

// The price factor of the drift at `second` for an instrument of that phase; stays within ±0.6 %.
double driftFactor(qint64 second, double phase);

// Shortest text that reads back as `value`, without exponent.
QByteArray shortestDecimal(double value);

} // namespace Vantrell::FakeMarketData
