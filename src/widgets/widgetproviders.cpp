// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetproviders.h"

#include "market/coincatalog.h"
#include "market/services.h"
#include "settings/appsettings.h"

namespace Vantrell {

const QuoteTable &sampleQuotes()
{
    static const QuoteTable quotes {
        {QStringLiteral("bitcoin"), {80585.0, 2.31}},
        {QStringLiteral("ethereum"), {3142.18, -1.27}},
        {QStringLiteral("solana"), {152.4, 4.86}},
        {QStringLiteral("binancecoin"), {598.2, 0.42}},
        {QStringLiteral("ripple"), {0.5821, -3.05}},
        {QStringLiteral("dogecoin"), {0.1284, 6.12}},
        {QStringLiteral("cardano"), {0.4412, -0.88}},
        {QStringLiteral("tron"), {0.1573, 1.04}},
    };
    return quotes;
}

const QStringList &sampleCoinIds()
{
    static const QStringList ids {QStringLiteral("bitcoin"), QStringLiteral("ethereum"), QStringLiteral("solana"),
        QStringLiteral("binancecoin"), QStringLiteral("ripple"), QStringLiteral("dogecoin"), QStringLiteral("cardano"),
        QStringLiteral("tron")};
    return ids;
}

bool isSnapshotUsable(
    const WidgetSnapshot &snapshot, BaseCurrency target, const QDateTime &now, const QStringList &activeSelection)
{
    if (snapshot.currency != target)
        return false;
    const qint64 ageMs = snapshot.writtenAt.msecsTo(now);
    if (ageMs >= widgetReloadIntervalSeconds * 1000 || ageMs < -60'000)
        return false;
    for (const QString &id : activeSelection) {
        if (!snapshot.quotes.contains(id))
            return false;
    }
    return true;
}

WidgetContentMaker::WidgetContentMaker(const CoinCatalog &catalog, PriceServicing &prices, Clock now)
    : m_catalog(catalog)
    , m_prices(prices)
    , m_now(std::move(now))
{ }

QList<CoinMetadata> WidgetContentMaker::records(const QStringList &ids) const
{
    QList<CoinMetadata> result;
    for (const QString &id : ids) {
        const auto record = m_catalog.byID().constFind(id);
        if (record != m_catalog.byID().cend())
            result.append(*record);
    }
    return result;
}

WidgetEntryContent WidgetContentMaker::sampleContent(const QStringList &ids) const
{
    WidgetEntryContent content;
    for (const CoinMetadata &record : records(ids)) {
        WidgetRow row = makeRow(record, sampleQuotes());
        row.hasMarket = true;
        content.rows.append(row);
    }
    content.currency = BaseCurrency::usd;
    content.updatedAt = m_now();
    content.language = AppLanguage::system;
    return content;
}

void WidgetContentMaker::fetchQuotes(
    const QList<CoinMetadata> &records, BaseCurrency currency, std::function<void(std::optional<QuoteTable>)> done)
{
    if (records.isEmpty()) {
        done(QuoteTable());
        return;
    }
    QStringList symbols;
    for (const CoinMetadata &record : records)
        symbols.append(record.symbol);
    // The completion runs once at most; the flag also guards against a
    // service that answers twice.
    auto answered = std::make_shared<bool>(false);
    m_prices.fetchPrices(
        symbols, currency, [records, answered, done = std::move(done)](const Result<PriceSnapshot> &result) {
            if (std::exchange(*answered, true))
                return;
            if (!result.ok() || result->prices.isEmpty()) {
                done(std::nullopt);
                return;
            }
            QuoteTable quotes;
            for (const CoinMetadata &record : records) {
                const QString symbol = record.symbol.toUpper();
                const auto price = result->prices.constFind(symbol);
                if (price == result->prices.cend())
                    continue;
                WidgetSnapshot::Quote quote {*price, std::nullopt};
                const auto change = result->changes24h.constFind(symbol);
                if (change != result->changes24h.cend())
                    quote.change24hPercent = *change;
                quotes.insert(record.id, quote);
            }
            done(quotes);
        });
}

void WidgetContentMaker::makeContent(const QStringList &ids, std::optional<BaseCurrency> currency, bool colorByChange,
    WidgetSortOption sort, const std::optional<WidgetSnapshot> &snapshot, std::function<void(WidgetEntryContent)> done)
{
    const QDateTime now = m_now();
    const BaseCurrency target = currency.value_or(snapshot ? snapshot->currency : BaseCurrency::usd);
    const QList<CoinMetadata> all = records(ids);
    QList<CoinMetadata> active;
    QStringList activeIds;
    for (const CoinMetadata &record : all) {
        if (record.status == CoinStatus::active) {
            active.append(record);
            activeIds.append(record.id);
        }
    }

    const auto finish = [all, target, colorByChange, sort, snapshot, done](
                            const QuoteTable &quotes, const std::optional<QDateTime> &time) {
        WidgetEntryContent content;
        QList<WidgetRow> rows;
        for (const CoinMetadata &record : all)
            rows.append(makeRow(record, quotes));
        content.rows = sortRows(rows, sort);
        content.currency = target;
        if (!quotes.isEmpty())
            content.updatedAt = time;
        content.colorByChange = colorByChange;
        if (snapshot) {
            content.language = snapshot->language;
            content.upColorHex = snapshot->upColorHex;
            content.downColorHex = snapshot->downColorHex;
        }
        done(content);
    };

    if (snapshot && isSnapshotUsable(*snapshot, target, now, activeIds)) {
        finish(snapshot->quotes, snapshot->writtenAt);
        return;
    }
    fetchQuotes(active, target, [this, finish, snapshot, target](const std::optional<QuoteTable> &quotes) {
        if (quotes) {
            finish(*quotes, m_now());
        } else if (snapshot && snapshot->currency == target) {
            finish(snapshot->quotes, snapshot->writtenAt);
        } else {
            finish({}, std::nullopt);
        }
    });
}

WidgetProviders::WidgetProviders(WidgetContentMaker &maker, WidgetSnapshotStore store)
    : m_maker(maker)
    , m_store(std::move(store))
{ }

namespace {
QStringList sampleSelection(const QString &kind, WidgetFamily family)
{
    if (kind == WidgetKinds::coinPrice())
        return {QStringLiteral("bitcoin")};
    return sampleCoinIds().mid(0, widgetFamilyLimit(family));
}
} // namespace

VantrellWidgetEntry WidgetProviders::placeholder(const QString &kind, const WidgetContext &context) const
{
    return {m_maker.now(), m_maker.sampleContent(sampleSelection(kind, context.family))};
}

QStringList WidgetProviders::selection(const QString &kind, const WidgetOptionValues &values, WidgetFamily family,
    const std::optional<WidgetSnapshot> &snapshot)
{
    if (kind == WidgetKinds::coinPrice()) {
        const QString chosen = values.value(QStringLiteral("coin")).toString();
        if (!chosen.isEmpty() && chosen != followMenuBarEntityId())
            return {chosen};
        return {snapshot ? snapshot->displayedCoinId : AppSettings().displayedCoinId};
    }
    const auto source = fromRawValue<WidgetCoinSourceOption>(values.value(QStringLiteral("source")).toString())
                            .value_or(WidgetCoinSourceOption::watchlist);
    return selectCoinIds(
        source, values.value(QStringLiteral("coins")).toStringList(), snapshot, widgetFamilyLimit(family));
}

void WidgetProviders::entry(const QString &kind, const WidgetOptionValues &values, const WidgetContext &context,
    std::function<void(VantrellWidgetEntry)> done)
{
    const std::optional<WidgetSnapshot> snapshot = m_store.load();
    const QStringList ids = selection(kind, values, context.family, snapshot);
    const auto currency = fromRawValue<WidgetCurrencyOption>(values.value(QStringLiteral("currency")).toString())
                              .value_or(WidgetCurrencyOption::followApp);
    const bool colorByChange = values.value(QStringLiteral("colorByChange"), true).toBool();
    const WidgetSortOption sort = kind == WidgetKinds::coinPrice()
        ? WidgetSortOption::watchlist
        : fromRawValue<WidgetSortOption>(values.value(QStringLiteral("sort")).toString())
              .value_or(WidgetSortOption::watchlist);
    // The large list draws each coin's 24 hours when the snapshot carries them.
    const bool showCharts
        = kind == WidgetKinds::watchlist() && values.value(QStringLiteral("showCharts"), true).toBool();
    const bool showHoldings
        = kind == WidgetKinds::watchlist() && values.value(QStringLiteral("showHoldings"), false).toBool();
    WidgetContentMaker &maker = m_maker;
    m_maker.makeContent(ids, baseCurrency(currency), colorByChange, sort, snapshot,
        [&maker, showCharts, showHoldings, snapshot, done = std::move(done)](WidgetEntryContent content) {
            content.showCharts = showCharts;
            content.holdings = widgetHoldings(showHoldings, snapshot, content.currency);
            done({maker.now(), content});
        });
}

void WidgetProviders::snapshot(const QString &kind, const WidgetOptionValues &values, const WidgetContext &context,
    std::function<void(VantrellWidgetEntry)> done)
{
    if (context.isPreview) {
        done(placeholder(kind, context));
        return;
    }
    entry(kind, values, context, std::move(done));
}

void WidgetProviders::timeline(const QString &kind, const WidgetOptionValues &values, const WidgetContext &context,
    std::function<void(WidgetTimeline)> done)
{
    entry(kind, values, context, [done = std::move(done)](const VantrellWidgetEntry &entry) {
        done({entry, entry.date.addSecs(widgetReloadIntervalSeconds)});
    });
}

} // namespace Vantrell
