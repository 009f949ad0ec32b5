// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/result.h"
#include "platform/clock.h"
#include "widgetintents.h"
#include "widgetkit/widgetcontent.h"
#include "widgetkit/widgetextension.h"
#include "widgetkit/widgetsnapshot.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace Vantrell {

class CoinCatalog;
class PriceServicing;
struct CoinMetadata;

using QuoteTable = QHash<QString, WidgetSnapshot::Quote>;

// A timeline entry asks for the next one this long after its date.
inline constexpr qint64 widgetReloadIntervalSeconds = 900;

// The sample prices of previews and placeholders, and their coin ids in order.
const QuoteTable &sampleQuotes();
const QStringList &sampleCoinIds();

// Whether the application's snapshot can serve a widget as it is: in the
// target currency, younger than 900 s, and quoting every id of
// `activeSelection` (the selection's coins that have a market). A snapshot
// dated more than a minute ahead of `now` has no age one can trust (the clock
// was set back since) and is not used.
bool isSnapshotUsable(
    const WidgetSnapshot &snapshot, BaseCurrency target, const QDateTime &now, const QStringList &activeSelection);

// Turns coin ids and options into widget content: from the snapshot when it
// is usable, else from a fetch of the extension's own, else from the
// snapshot's prices of any age in the same currency. Main thread only.
class WidgetContentMaker final
{
public:
    WidgetContentMaker(const CoinCatalog &catalog, PriceServicing &prices, Clock now);

    // Content of the sample table for `ids` (catalog order of `ids`, unknown dropped).
    WidgetEntryContent sampleContent(const QStringList &ids) const;

    // `currency` none follows the application (the snapshot's currency, or USD).
    void makeContent(const QStringList &ids, std::optional<BaseCurrency> currency, bool colorByChange,
        WidgetSortOption sort, const std::optional<WidgetSnapshot> &snapshot,
        std::function<void(WidgetEntryContent)> done);

    // Quotes of `records` by coin id; none when the fetch failed or brought
    // nothing. No records: an empty table at once, without a request.
    void fetchQuotes(
        const QList<CoinMetadata> &records, BaseCurrency currency, std::function<void(std::optional<QuoteTable>)> done);

    QDateTime now() const { return m_now(); }

private:
    QList<CoinMetadata> records(const QStringList &ids) const;

    const CoinCatalog &m_catalog;
    PriceServicing &m_prices;
    Clock m_now;
};

// The timeline providers of the two widget kinds. Options are resolved
// values (see resolvedOptionValues()); the snapshot is read afresh from
// `store` for every request.
class WidgetProviders final
{
public:
    WidgetProviders(WidgetContentMaker &maker, WidgetSnapshotStore store);

    VantrellWidgetEntry placeholder(const QString &kind, const WidgetContext &context) const;
    void snapshot(const QString &kind, const WidgetOptionValues &values, const WidgetContext &context,
        std::function<void(VantrellWidgetEntry)> done);
    void timeline(const QString &kind, const WidgetOptionValues &values, const WidgetContext &context,
        std::function<void(WidgetTimeline)> done);

    // The coin ids the entry of `kind` shows for `values` and `snapshot`.
    static QStringList selection(const QString &kind, const WidgetOptionValues &values, WidgetFamily family,
        const std::optional<WidgetSnapshot> &snapshot);

private:
    void entry(const QString &kind, const WidgetOptionValues &values, const WidgetContext &context,
        std::function<void(VantrellWidgetEntry)> done);

    WidgetContentMaker &m_maker;
    WidgetSnapshotStore m_store;
};

} // namespace Vantrell
