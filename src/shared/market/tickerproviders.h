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

// OKX's spot tickers: one request for all instruments ("BTC-USDT", …).
class OKXTickerProvider final : public TickerProvider
{
public:
    OKXTickerProvider();
    ~OKXTickerProvider() override;

    QString name() const override;
    std::optional<HttpRequest> request(const QStringList &symbols) const override;
    std::optional<HttpRequest> fallbackRequest() const override;
    // Code "50011" is a rate limit (checked before anything else), any other
    // code but "0" a bad server response. The change is computed from open24h.
    Result<QuoteMap> parse(const QByteArray &body, const QSet<QString> &requested) override;

private:
    std::unique_ptr<TickerDecoder> m_decoder;
};

// Bybit's spot tickers: one request for all pairs ("BTCUSDT", …).
class BybitTickerProvider final : public TickerProvider
{
public:
    BybitTickerProvider();
    ~BybitTickerProvider() override;

    QString name() const override;
    std::optional<HttpRequest> request(const QStringList &symbols) const override;
    std::optional<HttpRequest> fallbackRequest() const override;
    // A retCode other than 0 is a bad server response; price24hPcnt is a
    // fraction and becomes a percentage.
    Result<QuoteMap> parse(const QByteArray &body, const QSet<QString> &requested) override;

private:
    std::unique_ptr<TickerDecoder> m_decoder;
};

} // namespace Vantrell
