// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "httpclient.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace Vantrell {

class Bundle;

// One 15-minute candle: when it opened (UTC seconds) and its close in USDT
// (or US dollars, taken one for one).
struct Candle
{
    qint64 openTime = 0;
    double close = 0;
    bool operator==(const Candle &) const = default;
};

// A coin's last 24 hours in USDT: the closes of the 15-minute slots from
// `start` on, oldest first, the last one the slot still open. A slot without
// a usable candle is NaN (a gap, drawn as one). At most `slots` values.
struct PriceSeries
{
    static constexpr qint64 slotSeconds = 15 * 60;
    // 24 hours of closed slots and the open one.
    static constexpr int slots = 24 * 4 + 1;

    qint64 start = 0; // UTC seconds, a multiple of slotSeconds
    QList<double> closes;

    bool isEmpty() const;
    bool operator==(const PriceSeries &other) const;
};

// The first slot of the window that ends with the slot open at `now`.
qint64 windowStart(const QDateTime &now);

// `series` moved to the window of `now` with `candles` written into their
// slots: a later candle of a slot replaces the stored close. Candles outside
// the window, off the 15-minute grid, or with a close of 0 or less or not a
// finite number are ignored: they neither add a close nor erase one. Pure.
PriceSeries mergeCandles(const PriceSeries &series, const QList<Candle> &candles, const QDateTime &now);

// How many of the newest candles a request must ask for so that `series`
// covers the window of `now` again: the whole window when it is empty, else
// the slots since its newest close and that slot itself (its close moved).
int candlesNeeded(const PriceSeries &series, const QDateTime &now);

// The series as the display shows it at `now`: one value per slot of the
// window, in the display currency (`usdToTargetRate` per USDT), the last one
// `livePrice`, so that the line ends where the price stands. Empty when the
// series holds no close in the window or there is no live price.
QList<double> displayedHistory(
    const PriceSeries &series, double usdToTargetRate, std::optional<double> livePrice, const QDateTime &now);

// One exchange's candle endpoint. Binance, OKX and Bybit quote against USDT,
// Coinbase Exchange and Kraken against US dollars, taken one for one as the
// price requests take them.
struct HistorySource
{
    enum class Exchange { binance, okx, bybit, coinbase, kraken };
    Exchange exchange;
    QString baseURL; // Binance: the API root with "/api/v3"; else the host root
    // The exchange name the price requests use, for back-off.
    QString name() const;
    // The request for the newest `count` 15-minute candles of `symbol` at
    // `now`, the pair named as the price requests name it; none when the
    // symbol makes no such pair (the source is then skipped for the coin).
    std::optional<HttpRequest> request(const QString &symbol, int count, const QDateTime &now) const;
    // Reads a 2xx body strictly: one malformed row, or an error the exchange
    // reports in the body, fails the whole answer. A candle whose close is 0
    // or less is left out, as a price of 0 is left out of a ticker answer:
    // its slot stays a gap.
    Result<QList<Candle>> parse(const QByteArray &body) const;
};

// Screens the status (as the price requests do) and parses a 2xx body.
Result<QList<Candle>> screenAndParseCandles(const HistorySource &source, const HttpResponse &response);

// Binance main, Binance market data, OKX, Bybit, Coinbase Exchange, Kraken:
// the order of the price requests.
QList<HistorySource> defaultHistorySources();

// The series of every coin by symbol, kept as "price-history.json" in the
// shared container so that a restart does not fetch the day again.
struct PriceHistoryStore
{
    static constexpr const char *fileName = "price-history.json";
    QString filePath; // empty: nothing is kept

    // The store in the bundle's shared container.
    static PriceHistoryStore forBundle(const Bundle &bundle);

    // The stored series; empty when the file is missing, and when it is
    // damaged (logged: the next fetch rebuilds it).
    QHash<QString, PriceSeries> load() const;
    bool save(const QHash<QString, PriceSeries> &series, QString *errorString = nullptr) const;

    static QByteArray encode(const QHash<QString, PriceSeries> &series);
    static std::optional<QHash<QString, PriceSeries>> decode(const QByteArray &data);
};

} // namespace Vantrell
