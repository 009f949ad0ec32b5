// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "httpclient.h"
#include "platform/clock.h"
#include "tickerquote.h"

#include <QSet>
#include <QStringList>

#include <memory>
#include <vector>

namespace Vantrell {

// One request of a poll and the upper-case symbols it asks for.
struct TickerRequest
{
    HttpRequest http;
    QStringList symbols;

    bool operator==(const TickerRequest &) const = default;
};

// One exchange's spot-ticker endpoint: how to ask for US dollar prices (USDT
// pairs, or USD pairs where the exchange quotes in dollars) and how to read
// the answer. Providers remember nothing between calls; which provider is
// asked, retried or skipped is the price service's decision.
class TickerProvider
{
public:
    virtual ~TickerProvider() = default;

    // Short lower-case exchange name ("binance", "okx", "bybit", "coinbase",
    // "kraken"); the price service keys its back-off and unavailability marks
    // by it.
    virtual QString name() const = 0;
    // The request for these upper-case symbols, or none when none can be built.
    virtual std::optional<HttpRequest> request(const QStringList &symbols) const = 0;
    // The requests of one poll for these symbols, sent in parallel; together
    // they are one answer of the exchange. A symbol in none of them is not
    // asked this poll (an exchange's request limit). By default the one
    // request(); empty when none can be built.
    virtual std::vector<TickerRequest> requests(const QStringList &symbols) const;
    // The request to retry with after the exchange rejected the first (HTTP 400).
    virtual std::optional<HttpRequest> fallbackRequest() const = 0;
    // Reads a 2xx body. Only requested symbols appear in the result. Not const:
    // a provider reuses its decoder's buffers between calls.
    virtual Result<QuoteMap> parse(const QByteArray &body, const QSet<QString> &requested) = 0;
    // Whether an answer outside 2xx only says that the instrument asked for is
    // not listed (an exchange that answers 404 for an unknown product).
    virtual bool isNotListed(const HttpResponse &) const { return false; }
};

// The exchange's own name for a provider name ("okx" → "OKX"), for people;
// the name itself when unknown.
QString exchangeDisplayName(const QString &name);

// Screens an exchange's response (status, "Retry-After") and parses a 2xx body.
Result<QuoteMap> screenAndParse(TickerProvider &provider, const HttpResponse &response, const QSet<QString> &requested);

// Seconds from a "Retry-After" header holding a whole decimal number > 0; else empty.
std::optional<double> retryAfterSeconds(const HttpResponse &response);

// The providers in the order the price service tries them: Binance main,
// Binance market-data, OKX, Bybit, Coinbase Exchange, Kraken.
std::vector<std::unique_ptr<TickerProvider>> defaultTickerProviders(const Clock &now);

} // namespace Vantrell
