// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"
#include "pricehistory.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <memory>

namespace Vantrell {

class Timer;
class TimerFactory;

// Keeps the last 24 hours of every watched coin. Each coin is fetched at most
// once per 15 minutes (and when asked to at once: at start, after a wake, on a
// currency change), for only the candles its stored series lacks. The source
// that answered last is asked first, then the others in order; one that fails
// is followed by the next for that coin, one that answers with a rate limit is
// skipped until its back-off ends, and one without a pair for the coin is
// skipped for it. A failed or malformed answer, or one without a single usable
// candle, keeps the previous series and is logged. Main thread only.
class PriceHistoryService final : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::minutes refreshInterval {15};
    static constexpr int defaultBackOffSeconds = 60;

    PriceHistoryService(HTTPClient &client, QList<HistorySource> sources, PriceHistoryStore store, TimerFactory &timers,
        Clock now, QObject *parent = nullptr);
    ~PriceHistoryService() override;

    // The coins to keep (upper-case symbols); those not fetched yet are
    // fetched at once, the others when due. Series of coins no longer
    // watched are let go.
    void setSymbols(const QStringList &symbols);
    // Fetches every coin's missing candles now, due or not.
    void refreshAll();

    // By symbol, in USDT.
    const QHash<QString, PriceSeries> &series() const { return m_series; }
    // A request runs.
    bool isFetching() const { return !m_inFlight.isEmpty(); }

Q_SIGNALS:
    // A coin's series changed, or coins were let go.
    void seriesChanged();

private:
    void refresh(bool force);
    // Asks the source at `position` of the order (sourceAt) or, while it
    // backs off or has no pair for the coin, the next.
    void fetch(const QString &symbol, qsizetype position);
    qsizetype sourceAt(qsizetype position) const;
    // Once no request runs: saves and announces what changed.
    void finishRound();

    HTTPClient &m_client;
    QList<HistorySource> m_sources;
    PriceHistoryStore m_store;
    Clock m_now;
    std::unique_ptr<Timer> m_timer;
    QStringList m_symbols;
    QHash<QString, PriceSeries> m_series;
    // When each coin was last asked for, answered or not.
    QHash<QString, QDateTime> m_askedAt;
    // Source name → end of its back-off.
    QHash<QString, QDateTime> m_backedOffUntil;
    QHash<QString, CancelHandle> m_inFlight;
    // The source that answered last.
    qsizetype m_preferred = 0;
    bool m_changedInRound = false;
    QHash<QString, quint64> m_attemptOf;
    quint64 m_attempts = 0;
};

} // namespace Vantrell
