// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingsenums.h"
#include "widgetsnapshot.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace Vantrell {

struct CoinMetadata;

// Where a watchlist widget takes its coins from.
enum class WidgetCoinSourceOption { watchlist, manual };

// The order of a watchlist widget's rows.
enum class WidgetSortOption { watchlist, changeDescending, changeAscending };

template<>
struct EnumTraits<WidgetCoinSourceOption>
{
    static constexpr std::array<EnumCase<WidgetCoinSourceOption>, 2> cases {{
        {WidgetCoinSourceOption::watchlist, "watchlist", "widget.source.watchlist"},
        {WidgetCoinSourceOption::manual, "manual", "widget.source.manual"},
    }};
};

template<>
struct EnumTraits<WidgetSortOption>
{
    static constexpr std::array<EnumCase<WidgetSortOption>, 3> cases {{
        {WidgetSortOption::watchlist, "watchlist", "widget.sort.watchlist"},
        {WidgetSortOption::changeDescending, "changeDescending", "widget.sort.changeDescending"},
        {WidgetSortOption::changeAscending, "changeAscending", "widget.sort.changeAscending"},
    }};
};

// One coin as a widget or the desktop overlay shows it.
struct WidgetRow
{
    QString id;
    QString symbol;
    QString name;
    std::optional<QString> logoAssetName; // a logo shipped with the program
    bool hasMarket = true; // false for delisted and migrated coins
    std::optional<double> price; // in the content's currency
    std::optional<double> change24hPercent;
    PriceHistory24h history24h; // in the content's currency; empty: none

    bool operator==(const WidgetRow &) const = default;
};

// Everything a widget or the overlay draws; replaced whole on every change.
struct WidgetEntryContent
{
    QList<WidgetRow> rows; // in display order
    BaseCurrency currency = BaseCurrency::usd;
    std::optional<QDateTime> updatedAt; // when the shown prices were obtained
    AppLanguage language = AppLanguage::system;
    bool colorByChange = true;
    QString upColorHex = QStringLiteral("#2CBD84");
    QString downColorHex = QStringLiteral("#F6465D");
    // Rows of the large list draw their 24-hour line.
    bool showCharts = false;
    // The holdings' total for the list's header, when the widget asks for it
    // and the application's snapshot carries it in the content's currency.
    std::optional<WidgetSnapshot::Holdings> holdings;

    // There is something to list: a time and at least one price. Otherwise
    // the views show the empty view.
    bool hasPrices() const;

    bool operator==(const WidgetEntryContent &) const = default;
};

// The coin ids a widget shows: the snapshot's watchlist (the default
// watchlist without a snapshot), or `manualIds` for a manual source that has
// coins; repeated ids dropped, at most `limit`.
QStringList selectCoinIds(WidgetCoinSourceOption source, const QStringList &manualIds,
    const std::optional<WidgetSnapshot> &snapshot, int limit);

// The row of a catalog record with its quote from `quotes`, if any.
WidgetRow makeRow(const CoinMetadata &metadata, const QHash<QString, WidgetSnapshot::Quote> &quotes);

// The holdings a widget that shows them puts in its header: the snapshot's,
// when it has them in `currency` (they cannot be converted).
std::optional<WidgetSnapshot::Holdings> widgetHoldings(
    bool showHoldings, const std::optional<WidgetSnapshot> &snapshot, BaseCurrency currency);

// The rows in the order of `sort`. Sorting by change is stable and puts the
// rows without a change last in both directions.
QList<WidgetRow> sortRows(QList<WidgetRow> rows, WidgetSortOption sort);

} // namespace Vantrell
