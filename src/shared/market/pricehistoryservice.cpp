// SPDX-License-Identifier: GPL-3.0-or-later
#include "pricehistoryservice.h"

#include "platform/logging.h"
#include "platform/timer.h"

namespace Vantrell {

PriceHistoryService::PriceHistoryService(HTTPClient &client, QList<HistorySource> sources, PriceHistoryStore store,
    TimerFactory &timers, Clock now, QObject *parent)
    : QObject(parent)
    , m_client(client)
    , m_sources(std::move(sources))
    , m_store(std::move(store))
    , m_now(std::move(now))
    , m_series(m_store.load())
{
    m_timer = timers.createTimer(Timer::Mode::repeating, [this] { refresh(false); });
}

PriceHistoryService::~PriceHistoryService()
{
    for (const CancelHandle &request : std::as_const(m_inFlight)) {
        if (request)
            request->cancel();
    }
}

void PriceHistoryService::setSymbols(const QStringList &symbols)
{
    QStringList wanted;
    for (const QString &symbol : symbols) {
        const QString upper = symbol.toUpper();
        if (!upper.isEmpty() && !wanted.contains(upper))
            wanted.append(upper);
    }
    // The coin list publishes on every poll; the same coins leave the rest to the timer.
    if (wanted == m_symbols && m_timer->isActive())
        return;
    bool dropped = false;
    const QList<QString> asking = m_inFlight.keys();
    for (const QString &symbol : asking) {
        if (!wanted.contains(symbol)) {
            if (const CancelHandle request = m_inFlight.take(symbol))
                request->cancel();
        }
    }
    for (auto it = m_series.begin(); it != m_series.end();) {
        if (wanted.contains(it.key())) {
            ++it;
            continue;
        }
        m_askedAt.remove(it.key());
        it = m_series.erase(it);
        dropped = true;
    }
    m_symbols = wanted;
    if (!m_timer->isActive())
        m_timer->start(refreshInterval);
    if (dropped) {
        m_changedInRound = true;
        if (m_inFlight.isEmpty())
            finishRound();
    }
    refresh(false);
}

void PriceHistoryService::refreshAll()
{
    refresh(true);
}

void PriceHistoryService::refresh(bool force)
{
    const QDateTime now = m_now();
    for (const QString &symbol : std::as_const(m_symbols)) {
        if (m_inFlight.contains(symbol))
            continue;
        const auto asked = m_askedAt.constFind(symbol);
        // A minute's slack: the coins asked just after the timer started are
        // due at its next tick, not one tick later.
        constexpr std::chrono::milliseconds dueAfter = refreshInterval - std::chrono::minutes(1);
        const bool due = asked == m_askedAt.cend() || *asked > now || asked->msecsTo(now) >= dueAfter.count();
        if (force || due)
            fetch(symbol, 0);
    }
}

qsizetype PriceHistoryService::sourceAt(qsizetype position) const
{
    // The source that answered last first, then the others in their order.
    if (position == 0)
        return m_preferred;
    return position <= m_preferred ? position - 1 : position;
}

void PriceHistoryService::fetch(const QString &symbol, qsizetype position)
{
    const QDateTime now = m_now();
    // The next source that does not back off and has a pair for the coin.
    std::optional<HttpRequest> request;
    for (; position < m_sources.size(); ++position) {
        const HistorySource &source = m_sources.at(sourceAt(position));
        const auto until = m_backedOffUntil.constFind(source.name());
        if (until != m_backedOffUntil.cend() && *until > now)
            continue;
        request = source.request(symbol, candlesNeeded(m_series.value(symbol), now), now);
        if (request)
            break;
    }
    if (!request) {
        m_inFlight.remove(symbol);
        finishRound();
        return;
    }
    const qsizetype sourceIndex = sourceAt(position);
    m_askedAt.insert(symbol, now);
    // Marked before asking: a client may complete, and the next source be
    // asked, before get() returns; only this attempt's handle is kept.
    const quint64 attempt = ++m_attempts;
    m_attemptOf.insert(symbol, attempt);
    m_inFlight.insert(symbol, nullptr);
    CancelHandle handle = m_client.get(*request, [this, symbol, position, sourceIndex](Result<HttpResponse> answer) {
        const HistorySource &source = m_sources.at(sourceIndex);
        Result<QList<Candle>> candles
            = answer ? screenAndParseCandles(source, *answer) : Result<QList<Candle>>(answer.error());
        // Not one usable candle (a coin the exchange does not list, or only
        // prices of 0): the next source may have them.
        if (candles && candles->isEmpty())
            candles = MarketError::make(MarketError::Code::badServerResponse, QStringLiteral("no candles"));
        if (!candles) {
            const MarketError &error = candles.error();
            qCInfo(lcMarket, "Price history of %s from %s unusable, the series stays as it was: %s",
                qUtf8Printable(symbol), qUtf8Printable(source.name()), qUtf8Printable(error.description()));
            if (error.code == MarketError::Code::rateLimited) {
                const double seconds = error.retryAfter.value_or(defaultBackOffSeconds);
                m_backedOffUntil.insert(source.name(), m_now().addMSecs(qint64(seconds * 1000)));
            }
            fetch(symbol, position + 1);
            return;
        }
        m_preferred = sourceIndex;
        const PriceSeries merged = mergeCandles(m_series.value(symbol), *candles, m_now());
        if (!(merged == m_series.value(symbol))) {
            m_series.insert(symbol, merged);
            m_changedInRound = true;
        }
        m_inFlight.remove(symbol);
        finishRound();
    });
    if (m_inFlight.contains(symbol) && m_attemptOf.value(symbol) == attempt)
        m_inFlight.insert(symbol, std::move(handle));
}

void PriceHistoryService::finishRound()
{
    if (!m_inFlight.isEmpty() || !m_changedInRound)
        return;
    m_changedInRound = false;
    QString error;
    if (!m_store.save(m_series, &error))
        qCDebug(lcMarket, "Price history not written: %s", qUtf8Printable(error));
    Q_EMIT seriesChanged();
}

} // namespace Vantrell
