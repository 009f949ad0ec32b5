// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlistsettings.h"

namespace Vantrell {

ReloadDebouncer::ReloadDebouncer(TimerFactory &timers, std::function<void()> reload)
    : m_timer(timers.createTimer(Timer::Mode::singleShot, std::move(reload)))
{ }

void ReloadDebouncer::push(const AppSettings &settings)
{
    const ReloadSettingsSnapshot snapshot = ReloadSettingsSnapshot::of(settings);
    const bool first = !m_last.has_value();
    if (!first && *m_last == snapshot)
        return;
    m_last = snapshot;
    if (first)
        return;
    m_timer->start(delay);
}

QList<CoinMetadata> watchlistRecords(const AppSettings &settings, const QHash<QString, CoinMetadata> &catalog)
{
    QList<CoinMetadata> records;
    records.reserve(settings.watchlistCoins.size());
    for (const WatchlistCoin &entry : settings.watchlistCoins) {
        const auto record = catalog.constFind(entry.coinId);
        if (record != catalog.constEnd())
            records.append(*record);
    }
    return records;
}

} // namespace Vantrell
