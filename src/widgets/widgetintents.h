// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingsenums.h"
#include "widgetkit/widgetextension.h"

#include <QList>
#include <QString>

#include <optional>

namespace Vantrell {

class CoinCatalog;

// The currency a widget shows: the application's, or one of the twelve.
enum class WidgetCurrencyOption { followApp, usd, cny, krw, hkd, jpy, twd, sgd, myr, aud, cad, eur, gbp };

template<>
struct EnumTraits<WidgetCurrencyOption>
{
    static constexpr std::array<EnumCase<WidgetCurrencyOption>, 13> cases {{
        {WidgetCurrencyOption::followApp, "followApp", "widget.currency.followApp"},
        {WidgetCurrencyOption::usd, "USD", nullptr},
        {WidgetCurrencyOption::cny, "CNY", nullptr},
        {WidgetCurrencyOption::krw, "KRW", nullptr},
        {WidgetCurrencyOption::hkd, "HKD", nullptr},
        {WidgetCurrencyOption::jpy, "JPY", nullptr},
        {WidgetCurrencyOption::twd, "TWD", nullptr},
        {WidgetCurrencyOption::sgd, "SGD", nullptr},
        {WidgetCurrencyOption::myr, "MYR", nullptr},
        {WidgetCurrencyOption::aud, "AUD", nullptr},
        {WidgetCurrencyOption::cad, "CAD", nullptr},
        {WidgetCurrencyOption::eur, "EUR", nullptr},
        {WidgetCurrencyOption::gbp, "GBP", nullptr},
    }};
};

// None for followApp (the application's currency decides), else the currency of the same code.
std::optional<BaseCurrency> baseCurrency(WidgetCurrencyOption option);

namespace WidgetKinds {
inline QString watchlist()
{
    return QStringLiteral("WatchlistWidget");
}
inline QString coinPrice()
{
    return QStringLiteral("CoinPriceWidget");
}
} // namespace WidgetKinds

// The id of the entity that stands for the coin the application shows in the panel.
inline QString followMenuBarEntityId()
{
    return QStringLiteral("follow-menu-bar");
}

// Most coins a widget of `family` lists: 8 in the large family, 4 in the others.
int widgetFamilyLimit(WidgetFamily family);

// The two widget kinds in gallery order, with their configuration intents:
// the watchlist widget (medium, large) and the single-coin widget (small).
QList<WidgetKind> vantrellWidgetKinds();

// The coin pickers of the two intents over one catalog. The list widget's
// query knows the listed coins; the single-coin widget's query also offers the
// follow-menu-bar entity (its title is `followMenuBarTitle`).
class WidgetCoinQueries final
{
public:
    WidgetCoinQueries(const CoinCatalog &catalog, QString followMenuBarTitle);

    // The known ids of `ids` as entities, in the given order; unknown ids are
    // skipped. With `offerFollowMenuBar`, the follow-menu-bar entity comes
    // first when `ids` names it.
    QList<WidgetEntity> entitiesForIdentifiers(const QStringList &ids, bool offerFollowMenuBar) const;
    // Listed coins whose symbol or name contains `text` (trimmed of spaces and
    // tabs, any case), in catalog order; all listed coins for an empty text.
    QList<WidgetEntity> entitiesMatching(const QString &text) const;
    // Every listed coin in catalog order, after the follow-menu-bar entity
    // when `offerFollowMenuBar`.
    QList<WidgetEntity> suggestedEntities(bool offerFollowMenuBar) const;

private:
    WidgetEntity followMenuBarEntity() const;

    const CoinCatalog &m_catalog;
    QString m_followMenuBarTitle;
};

} // namespace Vantrell
