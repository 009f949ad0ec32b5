// SPDX-License-Identifier: GPL-3.0-or-later
#include "priceservice.h"

#include "oneshot.h"
#include "platform/logging.h"

#include <QPointer>
#include <QSet>

#include <algorithm>

namespace Vantrell {

namespace {

const QString usdtSymbol = QStringLiteral("USDT");

QString markKey(const QString &name, const QString &symbol)
{
    return name + QLatin1Char('/') + symbol;
}

} // namespace

struct PriceService::Fetch
{
    std::shared_ptr<OneShot<PriceSnapshot>> shot;
    // Upper-case symbols to ask the exchanges for (without USDT).
    QStringList symbols;
    bool wantsUsdt = false;
    // Provider indices, rotated to start at the preferred one.
    std::vector<int> order;
    std::size_t position = 0;
    // The other exchanges for the fill-in, one index per name.
    std::vector<int> fillInProviders;
    std::size_t fillInPosition = 0;

    QuoteMap quotes;
    // Symbol → name of the exchange that delivered its quote.
    QHash<QString, QString> sources;
    bool quotesReady = false;
    std::optional<double> rate;

    // The exchange being asked: its requests run in parallel and their
    // results are gathered here until the last one is in.
    Stage stage = Stage::primary;
    int providerIndex = -1;
    QStringList candidates;
    bool isFallback = false;
    QString host;
    std::vector<std::optional<Result<QuoteMap>>> parts;
    std::size_t pendingParts = 0;
    std::vector<CancelHandle> tickerRequests;
    quint64 tickerRequestId = 0;

    CancelHandle rateRequest;
    bool done = false;

    void abandonTickerRequests()
    {
        tickerRequestId = 0;
        for (const auto &request : std::exchange(tickerRequests, {})) {
            if (request)
                request->cancel();
        }
    }

    void abandonRequests()
    {
        abandonTickerRequests();
        if (const auto request = std::exchange(rateRequest, nullptr))
            request->cancel();
    }
};

PriceService::PriceService(HTTPClient &client, ExchangeRateServicing &rates,
    std::vector<std::unique_ptr<TickerProvider>> providers, Clock now, QObject *parent)
    : QObject(parent)
    , m_client(client)
    , m_rates(rates)
    , m_providers(std::move(providers))
    , m_now(std::move(now))
{
    m_names.reserve(m_providers.size());
    for (const auto &provider : m_providers) {
        m_names.push_back(provider->name());
        // Every request of a provider goes to one host; a sample request names it.
        const auto sample = provider->request({QStringLiteral("BTC")});
        m_hosts.append(sample ? sample->url.host() : QString());
    }
}

PriceService::~PriceService()
{
    const auto fetches = std::move(m_fetches);
    for (const auto &fetch : fetches) {
        fetch->done = true;
        fetch->abandonRequests();
        fetch->shot->finishLater(MarketError::make(MarketError::Code::cancelled));
    }
}

QStringList PriceService::normalizedSymbols(const QStringList &symbols)
{
    QStringList result;
    result.reserve(symbols.size());
    for (const QString &symbol : symbols) {
        if (!symbol.isEmpty())
            result.append(symbol.toUpper());
    }
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

CancelHandle PriceService::fetchPrices(
    const QStringList &symbols, BaseCurrency currency, Completion<PriceSnapshot> completion)
{
    auto shot = std::make_shared<OneShot<PriceSnapshot>>(std::move(completion));
    QStringList list = normalizedSymbols(symbols);
    if (list.isEmpty()) {
        shot->finishLater(MarketError::make(MarketError::Code::badURL, QStringLiteral("no symbols")));
        return shot;
    }

    auto fetch = std::make_shared<Fetch>();
    fetch->shot = shot;
    fetch->wantsUsdt = list.removeOne(usdtSymbol);
    fetch->symbols = std::move(list);
    const int count = static_cast<int>(m_providers.size());
    for (int i = 0; i < count; ++i)
        fetch->order.push_back((m_preferredProviderIndex + i) % count);
    m_fetches.push_back(fetch);

    const std::weak_ptr<Fetch> weakFetch = fetch;
    const QPointer<PriceService> self(this);
    shot->setAbandonHook([self, weakFetch] {
        const auto abandoned = weakFetch.lock();
        if (!abandoned)
            return;
        abandoned->done = true;
        abandoned->abandonRequests();
        if (self)
            self->forget(abandoned);
    });

    auto rateRequest = m_rates.usdRate(currency, [self, weakFetch](Result<double> rate) {
        const auto current = weakFetch.lock();
        if (!self || !current || current->done)
            return;
        current->rateRequest.reset();
        self->rateArrived(current, rate);
    });
    if (!fetch->done && !fetch->rate)
        fetch->rateRequest = std::move(rateRequest);

    if (fetch->symbols.isEmpty()) {
        fetch->quotesReady = true;
        finishIfComplete(fetch);
    } else {
        attempt(fetch, 0);
    }
    return shot;
}

bool PriceService::isBackingOff(const QString &name, const QDateTime &now) const
{
    const auto until = m_rateLimitedUntil.constFind(name);
    return until != m_rateLimitedUntil.constEnd() && now < until.value();
}

QStringList PriceService::candidates(const QString &name, const QStringList &symbols, const QDateTime &now) const
{
    constexpr qint64 window = qint64(unavailabilityWindowSeconds) * 1000;
    QStringList result;
    result.reserve(symbols.size());
    for (const QString &symbol : symbols) {
        const auto mark = m_unavailableSince.constFind(markKey(name, symbol));
        if (mark != m_unavailableSince.constEnd() && mark.value().msecsTo(now) < window)
            continue;
        result.append(symbol);
    }
    return result;
}

void PriceService::attempt(const std::shared_ptr<Fetch> &fetch, std::size_t position)
{
    if (fetch->done)
        return;
    const QDateTime now = m_now();
    for (; position < fetch->order.size(); ++position) {
        const int index = fetch->order[position];
        const QString &name = m_names[index];
        if (isBackingOff(name, now)) {
            qCDebug(lcMarket).noquote() << "Skipping" << name << "until"
                                        << m_rateLimitedUntil.value(name).toString(Qt::ISODate);
            continue;
        }
        const QStringList asked = candidates(name, fetch->symbols, now);
        if (asked.isEmpty())
            continue;
        auto requests = requestsOf(index, asked, now);
        if (requests.empty())
            continue;
        fetch->position = position;
        ask(fetch, Stage::primary, index, std::move(requests), false);
        return;
    }
    fail(fetch, noExchangeAnswered(now));
}

std::vector<TickerRequest> PriceService::requestsOf(int index, const QStringList &symbols, const QDateTime &now) const
{
    if (m_refusals.isRefused(m_hosts.at(index), now))
        return {};
    return m_providers[index]->requests(symbols);
}

MarketError PriceService::noExchangeAnswered(const QDateTime &now) const
{
    if (m_refusals.refusesAll(m_hosts, now))
        return MarketError::make(
            MarketError::Code::networkRefused, QStringLiteral("every exchange refuses this network"));
    return MarketError::make(MarketError::Code::cannotLoadFromNetwork, QStringLiteral("no exchange answered"));
}

void PriceService::fillIn(const std::shared_ptr<Fetch> &fetch)
{
    if (fetch->done)
        return;
    const QDateTime now = m_now();
    for (; fetch->fillInPosition < fetch->fillInProviders.size(); ++fetch->fillInPosition) {
        QStringList missing;
        for (const QString &symbol : std::as_const(fetch->symbols)) {
            if (!fetch->quotes.contains(symbol))
                missing.append(symbol);
        }
        if (missing.isEmpty())
            break;
        const int index = fetch->fillInProviders[fetch->fillInPosition];
        const QString &name = m_names[index];
        if (isBackingOff(name, now))
            continue;
        const QStringList asked = candidates(name, missing, now);
        if (asked.isEmpty())
            continue;
        auto requests = requestsOf(index, asked, now);
        if (requests.empty())
            continue;
        ask(fetch, Stage::fillIn, index, std::move(requests), false);
        return;
    }
    fetch->quotesReady = true;
    finishIfComplete(fetch);
}

void PriceService::ask(const std::shared_ptr<Fetch> &fetch, Stage stage, int providerIndex,
    std::vector<TickerRequest> parts, bool isFallback)
{
    fetch->stage = stage;
    fetch->providerIndex = providerIndex;
    fetch->isFallback = isFallback;
    fetch->candidates.clear();
    for (const TickerRequest &part : parts)
        fetch->candidates.append(part.symbols);
    fetch->host = parts.front().http.url.host();
    fetch->parts.assign(parts.size(), std::nullopt);
    fetch->pendingParts = parts.size();
    fetch->tickerRequests.clear();
    qCDebug(lcMarket).noquote() << (stage == Stage::primary ? "Asking" : "Filling in from") << m_names[providerIndex]
                                << "for" << fetch->candidates.size() << "symbols in" << parts.size() << "requests"
                                << (isFallback ? "(all pairs)" : "");
    const quint64 requestId = m_nextRequestId++;
    fetch->tickerRequestId = requestId;
    for (std::size_t index = 0; index < parts.size(); ++index) {
        auto handle = m_client.get(parts[index].http,
            [self = QPointer(this), weakFetch = std::weak_ptr<Fetch>(fetch), index, requestId,
                symbols = parts[index].symbols](Result<HttpResponse> answer) {
                const auto current = weakFetch.lock();
                // A destroyed service has already ended its fetches with cancelled.
                if (!self || !current || current->done || current->tickerRequestId != requestId)
                    return;
                TickerProvider &provider = *self->m_providers[current->providerIndex];
                current->parts[index] = answer
                    ? screenAndParse(provider, answer.value(), QSet<QString>(symbols.cbegin(), symbols.cend()))
                    : Result<QuoteMap>(answer.error());
                self->partAnswered(current);
            });
        // The client may have answered already, inside get().
        if (fetch->tickerRequestId != requestId)
            return;
        fetch->tickerRequests.push_back(std::move(handle));
    }
}

void PriceService::recordSource(const std::shared_ptr<Fetch> &fetch, const QuoteMap &quotes, const QString &name)
{
    for (auto quote = quotes.cbegin(); quote != quotes.cend(); ++quote)
        fetch->sources.insert(quote.key(), name);
}

void PriceService::partAnswered(const std::shared_ptr<Fetch> &fetch)
{
    if (--fetch->pendingParts > 0)
        return;
    fetch->tickerRequestId = 0;
    fetch->tickerRequests.clear();

    // One answer of the exchange: all of its parts, or the weightiest failure
    // among them. A block outweighs a rate limit (the longest one counts),
    // which outweighs any other failure.
    QuoteMap quotes;
    std::optional<MarketError> failure;
    const auto weight = [](const MarketError &error) {
        return error.code == MarketError::Code::networkRefused ? 2
            : error.code == MarketError::Code::rateLimited     ? 1
                                                               : 0;
    };
    for (const auto &part : fetch->parts) {
        if (part->ok()) {
            quotes.insert(part->value());
            continue;
        }
        const MarketError &error = part->error();
        if (!failure || weight(error) > weight(*failure))
            failure = error;
        else if (error.code == MarketError::Code::rateLimited && failure->code == MarketError::Code::rateLimited
            && error.retryAfter.value_or(0) > failure->retryAfter.value_or(0))
            failure = error;
    }
    fetch->parts.clear();
    if (failure)
        answered(fetch, *failure);
    else
        answered(fetch, quotes);
}

void PriceService::answered(const std::shared_ptr<Fetch> &fetch, const Result<QuoteMap> &parsed)
{
    const int providerIndex = fetch->providerIndex;
    const Stage stage = fetch->stage;
    const QStringList candidates = fetch->candidates;
    TickerProvider &provider = *m_providers[providerIndex];
    const QString &name = m_names[providerIndex];

    if (!parsed && parsed.error().code == MarketError::Code::requestRejected && !fetch->isFallback) {
        if (auto fallback = provider.fallbackRequest()) {
            qCDebug(lcMarket).noquote() << name << "rejected the request; asking for all pairs";
            ask(fetch, stage, providerIndex, {TickerRequest {std::move(*fallback), candidates}}, true);
            return;
        }
    }

    const QDateTime now = m_now();
    std::optional<QuoteMap> delivered;
    MarketError error;
    if (parsed) {
        QuoteMap quotes;
        quotes.reserve(candidates.size());
        for (const QString &symbol : candidates) {
            const auto quote = parsed->constFind(symbol);
            if (quote != parsed->constEnd())
                quotes.insert(symbol, quote.value());
            else
                m_unavailableSince.insert(markKey(name, symbol), now);
        }
        if (quotes.isEmpty())
            error = MarketError::make(MarketError::Code::zeroByteResource, QStringLiteral("no usable quote"));
        else
            delivered = std::move(quotes);
    } else {
        error = parsed.error();
    }

    if (delivered) {
        qCDebug(lcMarket).noquote() << name << "delivered" << delivered->size() << "of" << candidates.size()
                                    << "symbols";
    } else if (error.code == MarketError::Code::networkRefused) {
        // Logged when the host is set aside, not on every poll that skips it.
        if (m_refusals.refuse(fetch->host, now))
            qCWarning(lcMarket).noquote() << fetch->host << "refuses connections from this network"
                                          << QStringLiteral("(%1);").arg(error.detail) << "not asked again for an hour";
    } else {
        if (error.code == MarketError::Code::rateLimited) {
            const double seconds
                = std::min(error.retryAfter.value_or(defaultBackOffSeconds), MarketError::maxRetryAfterSeconds);
            m_rateLimitedUntil.insert(name, now.addMSecs(qRound64(seconds * 1000)));
        }
        qCInfo(lcMarket).noquote() << name << "failed:" << error.description();
    }

    if (stage == Stage::primary) {
        if (!delivered) {
            attempt(fetch, fetch->position + 1);
            return;
        }
        m_preferredProviderIndex = providerIndex;
        fetch->quotes = std::move(*delivered);
        recordSource(fetch, fetch->quotes, name);
        QSet<QString> seen {name};
        for (int index = 0; index < static_cast<int>(m_providers.size()); ++index) {
            if (!seen.contains(m_names[index])) {
                seen.insert(m_names[index]);
                fetch->fillInProviders.push_back(index);
            }
        }
        fetch->fillInPosition = 0;
        fillIn(fetch);
        return;
    }

    if (delivered) {
        recordSource(fetch, *delivered, name);
        fetch->quotes.insert(*delivered);
    }
    ++fetch->fillInPosition;
    fillIn(fetch);
}

void PriceService::rateArrived(const std::shared_ptr<Fetch> &fetch, const Result<double> &rate)
{
    if (!rate) {
        qCInfo(lcMarket).noquote() << "No exchange rate:" << rate.error().description();
        fail(fetch, rate.error());
        return;
    }
    fetch->rate = rate.value();
    finishIfComplete(fetch);
}

void PriceService::finishIfComplete(const std::shared_ptr<Fetch> &fetch)
{
    if (fetch->done || !fetch->quotesReady || !fetch->rate)
        return;
    const double rate = *fetch->rate;
    PriceSnapshot snapshot;
    snapshot.usdToTargetRate = rate;
    snapshot.sources = fetch->sources;
    snapshot.prices.reserve(fetch->quotes.size() + 1);
    snapshot.changes24h.reserve(fetch->quotes.size() + 1);
    if (fetch->wantsUsdt) {
        snapshot.prices.insert(usdtSymbol, 1.0 * rate);
        snapshot.changes24h.insert(usdtSymbol, 0.0);
    }
    for (auto quote = fetch->quotes.cbegin(); quote != fetch->quotes.cend(); ++quote) {
        snapshot.prices.insert(quote.key(), quote->priceUsd * rate);
        if (quote->change24hPercent)
            snapshot.changes24h.insert(quote.key(), *quote->change24hPercent);
    }
    fetch->done = true;
    fetch->abandonRequests();
    forget(fetch);
    fetch->shot->finishLater(std::move(snapshot));
}

void PriceService::fail(const std::shared_ptr<Fetch> &fetch, const MarketError &error)
{
    if (fetch->done)
        return;
    fetch->done = true;
    fetch->abandonRequests();
    forget(fetch);
    fetch->shot->finishLater(error);
}

void PriceService::forget(const std::shared_ptr<Fetch> &fetch)
{
    const auto found = std::find(m_fetches.begin(), m_fetches.end(), fetch);
    if (found != m_fetches.end())
        m_fetches.erase(found);
}

} // namespace Vantrell
