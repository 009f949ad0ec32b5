// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelfeed.h"

#include "market/coinmetadata.h"
#include "platform/logging.h"
#include "settings/appsettings.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace Vantrell {

namespace {
constexpr char kWatchlistKind[] = "WatchlistWidget";
// The plug-in's reload date is honoured, but never sooner than this.
constexpr qint64 kShortestWaitMs = 60'000;
} // namespace

std::optional<WidgetSnapshot> makePanelSnapshot(const WidgetEntryContent &content, const QString &panelCoinId)
{
    if (!content.hasPrices())
        return std::nullopt;
    // The settings the program would have written these texts with.
    AppSettings settings;
    settings.language = content.language;
    settings.baseCurrency = content.currency;
    settings.priceColorEnabled = content.colorByChange;
    settings.colorScheme = PriceColorScheme::custom;
    settings.customUpColorHex = content.upColorHex;
    settings.customDownColorHex = content.downColorHex;
    settings.show24hCharts = false;
    settings.watchlistCoins.clear();
    settings.displayedCoinId.clear();

    QList<Coin> coins;
    for (const WidgetRow &row : content.rows) {
        if (!row.price || !row.hasMarket)
            continue;
        Coin coin;
        coin.id = row.id;
        coin.symbol = row.symbol;
        coin.name = row.name;
        coin.currentPrice = row.price;
        coin.priceChange24hPercent = row.change24hPercent;
        coin.lastUpdated = content.updatedAt;
        coins.append(coin);
        WatchlistCoin entry;
        entry.coinId = row.id;
        settings.watchlistCoins.append(entry);
        if (row.id == panelCoinId || settings.displayedCoinId.isEmpty())
            settings.displayedCoinId = row.id;
    }
    if (coins.isEmpty())
        return std::nullopt;
    WidgetSnapshot snapshot = makeSnapshot(coins, settings, *content.updatedAt);
    snapshot.panelCoinId = settings.displayedCoinId;
    // Holdings are the program's to tell; the widgets' content has none of the user's amounts.
    snapshot.holdings.reset();
    return snapshot;
}

std::optional<QDateTime> programServesPanelUntil(const std::optional<WidgetSnapshot> &program, const QDateTime &now)
{
    if (!program || !program->writtenAt.isValid())
        return std::nullopt;
    const QDateTime staleAt = program->writtenAt.addSecs(WidgetSnapshot::panelFreshSeconds);
    if (staleAt <= now)
        return std::nullopt;
    return staleAt;
}

PanelFeed::PanelFeed(WidgetExtension &extension, WidgetOptionValues values, WidgetSnapshotStore program,
    WidgetSnapshotStore fallback, Clock now)
    : m_extension(extension)
    , m_values(std::move(values))
    , m_program(std::move(program))
    , m_fallback(std::move(fallback))
    , m_now(std::move(now))
{
    m_next.setSingleShot(true);
    connect(&m_next, &QTimer::timeout, this, &PanelFeed::check);
    // The program renames its new file over the old one: watch the directory.
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        // While the program's file serves, each of its writes only moves its
        // stale moment later: the timer looks again at the moment it knows.
        if (m_programServes)
            return;
        const QDateTime modified = QFileInfo(m_program.filePath().value_or(QString())).lastModified();
        if (modified != m_programModified)
            check();
    });
}

void PanelFeed::start()
{
    if (const auto path = m_program.filePath()) {
        QDir().mkpath(QFileInfo(*path).absolutePath());
        m_watcher.addPath(QFileInfo(*path).absolutePath());
    }
    check();
}

void PanelFeed::check()
{
    if (m_asking)
        return;
    m_programModified = QFileInfo(m_program.filePath().value_or(QString())).lastModified();
    const std::optional<WidgetSnapshot> program = m_program.load();
    const QDateTime now = m_now();
    m_programServes = false;
    if (const auto until = programServesPanelUntil(program, now)) {
        m_programServes = true;
        m_next.start(std::chrono::milliseconds(std::max<qint64>(now.msecsTo(*until) + 1000, 1000)));
        return;
    }
    m_asking = true;
    const QString panelCoinId = program ? program->panelCoinId : QString();
    m_extension.timeline(QString::fromLatin1(kWatchlistKind), m_values, {WidgetFamily::large},
        [this, panelCoinId](const WidgetTimeline &timeline) {
            m_asking = false;
            if (const auto snapshot = makePanelSnapshot(timeline.entry.content, panelCoinId)) {
                QString error;
                if (!m_fallback.write(*snapshot, &error))
                    qCWarning(lcWidget, "Cannot write the panel's prices: %s", qUtf8Printable(error));
            }
            m_next.start(
                std::chrono::milliseconds(std::max<qint64>(m_now().msecsTo(timeline.reloadAfter), kShortestWaitMs)));
        });
}

} // namespace Vantrell
