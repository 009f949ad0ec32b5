// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tickerprovider.h"

#include <memory>

namespace Vantrell {

class TickerDecoder;

// Binance's 24-hour ticker endpoint on one of its two REST bases. Both
// instances are named "binance", so the price service treats them as one
// exchange for back-off and unavailability marks.
class BinanceTickerProvider final : public TickerProvider
{
public:
    // The main REST API and the market-data-only host.
    static QString mainBaseURL();
    static QString marketDataBaseURL();

    // `baseURL` is the API root including its "/api/v3" prefix; `now` decides
    // which tickers are still fresh.
    BinanceTickerProvider(QString baseURL, Clock now);
    ~BinanceTickerProvider() override;

    QString baseURL() const { return m_baseURL; }

    QString name() const override;
    // "<base>/ticker/24hr?symbols=["BTCUSDT","ETHUSDT"]" (percent-encoded), in
    // the order given; none for an empty list or an unusable base.
    std::optional<HttpRequest> request(const QStringList &symbols) const override;
    // All pairs of the exchange: "<base>/ticker/24hr" without a query.
    std::optional<HttpRequest> fallbackRequest() const override;
    // Reads the array of 24-hour tickers; "…USDT" pairs whose window closed
    // more than an hour ago are ignored.
    Result<QuoteMap> parse(const QByteArray &body, const QSet<QString> &requested) override;

private:
    QString m_baseURL;
    Clock m_now;
    std::unique_ptr<TickerDecoder> m_decoder;
};

// OKX's spot tickers ("BTC-USDT", …): one request per instrument for a few
// symbols, the whole book for many.
class OKXTickerProvider final : public TickerProvider
{
public:
    // Up to this many symbols are asked one instrument each. OKX allows 20
    // ticker requests per 2 s from one address, and 20 single answers still
    // cost a small fraction of one whole book (about 1,300 instruments).
    static constexpr qsizetype perInstrumentLimit = 20;

    OKXTickerProvider();
    ~OKXTickerProvider() override;

    QString name() const override;
    // The whole spot book: "/api/v5/market/tickers?instType=SPOT".
    std::optional<HttpRequest> request(const QStringList &symbols) const override;
    // "/api/v5/market/ticker?instId=BTC-USDT" per symbol, up to the limit.
    std::vector<TickerRequest> requests(const QStringList &symbols) const override;
    std::optional<HttpRequest> fallbackRequest() const override;
    // Code "50011" is a rate limit (checked before anything else), "51001" (no
    // such instrument) an answer without quotes, any other code but "0" a bad
    // server response. The change is computed from open24h.
    Result<QuoteMap> parse(const QByteArray &body, const QSet<QString> &requested) override;

private:
    std::unique_ptr<TickerDecoder> m_decoder;
};

// Bybit's spot tickers ("BTCUSDT", …): one request per pair for a few
// symbols, the whole book for many.
class BybitTickerProvider final : public TickerProvider
{
public:
    // As for OKX: the whole book (about 600 pairs) costs as much as some 60
    // single answers; 20 keeps a poll's burst small.
    static constexpr qsizetype perInstrumentLimit = 20;

    BybitTickerProvider();
    ~BybitTickerProvider() override;

    QString name() const override;
    // The whole spot book: "/v5/market/tickers?category=spot".
    std::optional<HttpRequest> request(const QStringList &symbols) const override;
    // "…&symbol=BTCUSDT" per symbol, up to the limit.
    std::vector<TickerRequest> requests(const QStringList &symbols) const override;
    std::optional<HttpRequest> fallbackRequest() const override;
    // Bybit's "Not supported symbols" (retCode 10001) is an answer without
    // quotes, any other retCode but 0 a bad server response; price24hPcnt is
    // a fraction and becomes a percentage.
    Result<QuoteMap> parse(const QByteArray &body, const QSet<QString> &requested) override;

private:
    std::unique_ptr<TickerDecoder> m_decoder;
};

// Coinbase Exchange's 24-hour product statistics ("BTC-USD"), one request per
// coin. Prices are in US dollars; the change is (last − open) / open, open
// being the price 24 hours ago.
class CoinbaseTickerProvider final : public TickerProvider
{
public:
    // Coinbase allows 10 public requests a second from one address; the
    // symbols past these are left to the other exchanges.
    static constexpr qsizetype perPollLimit = 10;

    CoinbaseTickerProvider();
    ~CoinbaseTickerProvider() override;

    QString name() const override;
    // "/products/<first symbol>-USD/stats"; none for an empty list.
    std::optional<HttpRequest> request(const QStringList &symbols) const override;
    std::vector<TickerRequest> requests(const QStringList &symbols) const override;
    std::optional<HttpRequest> fallbackRequest() const override;
    // The statistics of the one requested product.
    Result<QuoteMap> parse(const QByteArray &body, const QSet<QString> &requested) override;
    // 404: Coinbase has no such product.
    bool isNotListed(const HttpResponse &response) const override;

private:
    std::unique_ptr<TickerDecoder> m_decoder;
};

// Kraken's public ticker, one request for all symbols in Kraken's own pair
// names ("XBTUSD", "XDGUSD", …). Prices are in US dollars, the last trade
// c[0]. Kraken's "o" is the UTC day's open, not the price 24 hours ago, so
// Kraken gives no change.
class KrakenTickerProvider final : public TickerProvider
{
public:
    KrakenTickerProvider();
    ~KrakenTickerProvider() override;

    // Kraken's name for a coin symbol: "XBT" for BTC, "XDG" for DOGE.
    static QString krakenAsset(const QString &symbol);
    // What one entry of Kraken's "error" list means: "EQuery:Unknown asset
    // pair" a rejected request, its rate-limit errors a rate limit, any other
    // a bad server response.
    static MarketError errorOf(const QString &message);

    QString name() const override;
    // "/0/public/Ticker?pair=XBTUSD,ETHUSD" in the order given.
    std::optional<HttpRequest> request(const QStringList &symbols) const override;
    // Every pair ("/0/public/Ticker"), after Kraken refused a pair it does not list.
    std::optional<HttpRequest> fallbackRequest() const override;
    // Result keys are matched in both of Kraken's forms ("XBTUSD" and
    // "XXBTZUSD"); other keys are ignored. "EQuery:Unknown asset pair" is a
    // rejected request, Kraken's rate-limit errors a rate limit, any other
    // error a bad server response.
    Result<QuoteMap> parse(const QByteArray &body, const QSet<QString> &requested) override;

private:
    std::unique_ptr<TickerDecoder> m_decoder;
};

} // namespace Vantrell
