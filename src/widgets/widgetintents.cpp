// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetintents.h"

#include "market/coincatalog.h"
#include "widgetkit/widgetcontent.h"

namespace Vantrell {

std::optional<BaseCurrency> baseCurrency(WidgetCurrencyOption option)
{
    if (option == WidgetCurrencyOption::followApp)
        return std::nullopt;
    return fromRawValue<BaseCurrency>(rawValue(option));
}

int widgetFamilyLimit(WidgetFamily family)
{
    return family == WidgetFamily::large ? 8 : 4;
}

namespace {

template<typename E>
WidgetOption enumerationOption(const QString &name, const QString &titleKey, E defaultValue)
{
    WidgetOption option;
    option.name = name;
    option.type = WidgetOption::Type::enumeration;
    option.titleKey = titleKey;
    for (const auto &c : EnumTraits<E>::cases)
        option.choices.append(
            {QString::fromLatin1(c.raw), c.displayNameKey ? QString::fromLatin1(c.displayNameKey) : QString()});
    option.defaultValue = rawValue(defaultValue);
    return option;
}

WidgetOption booleanOption(const QString &name, const QString &titleKey, bool defaultValue)
{
    WidgetOption option;
    option.name = name;
    option.type = WidgetOption::Type::boolean;
    option.titleKey = titleKey;
    option.defaultValue = defaultValue;
    return option;
}

WidgetOption colorByChangeOption()
{
    return booleanOption(QStringLiteral("colorByChange"), QStringLiteral("widget.param.colorByChange"), true);
}

WidgetOption currencyOption()
{
    return enumerationOption(
        QStringLiteral("currency"), QStringLiteral("widget.param.currency"), WidgetCurrencyOption::followApp);
}

} // namespace

QList<WidgetKind> vantrellWidgetKinds()
{
    WidgetKind list;
    list.kind = WidgetKinds::watchlist();
    list.nameKey = QStringLiteral("widget.list.name");
    list.descriptionKey = QStringLiteral("widget.list.description");
    list.families = {WidgetFamily::medium, WidgetFamily::large};
    list.intent.titleKey = QStringLiteral("widget.list.name");
    WidgetOption coins;
    coins.name = QStringLiteral("coins");
    coins.type = WidgetOption::Type::entityList;
    coins.titleKey = QStringLiteral("widget.param.coins");
    coins.defaultValue = QStringList();
    coins.maximumCount = {{WidgetFamily::small, widgetFamilyLimit(WidgetFamily::small)},
        {WidgetFamily::medium, widgetFamilyLimit(WidgetFamily::medium)},
        {WidgetFamily::large, widgetFamilyLimit(WidgetFamily::large)}};
    coins.shownWhenOption = QStringLiteral("source");
    coins.shownWhenValue = rawValue(WidgetCoinSourceOption::manual);
    list.intent.options = {
        enumerationOption(
            QStringLiteral("source"), QStringLiteral("widget.param.source"), WidgetCoinSourceOption::watchlist),
        coins,
        enumerationOption(QStringLiteral("sort"), QStringLiteral("widget.param.sort"), WidgetSortOption::watchlist),
        currencyOption(),
        colorByChangeOption(),
        booleanOption(QStringLiteral("showCharts"), QStringLiteral("widget.param.showCharts"), true),
        // The holdings' total in the list's header, in place of its title.
        booleanOption(QStringLiteral("showHoldings"), QStringLiteral("widget.param.showHoldings"), false),
    };

    WidgetKind price;
    price.kind = WidgetKinds::coinPrice();
    price.nameKey = QStringLiteral("widget.price.name");
    price.descriptionKey = QStringLiteral("widget.price.description");
    price.families = {WidgetFamily::small};
    price.intent.titleKey = QStringLiteral("widget.price.name");
    WidgetOption coin;
    coin.name = QStringLiteral("coin");
    coin.type = WidgetOption::Type::entity;
    coin.titleKey = QStringLiteral("widget.param.coin");
    price.intent.options = {coin, currencyOption(), colorByChangeOption()};

    return {list, price};
}

WidgetCoinQueries::WidgetCoinQueries(const CoinCatalog &catalog, QString followMenuBarTitle)
    : m_catalog(catalog)
    , m_followMenuBarTitle(std::move(followMenuBarTitle))
{ }

namespace {
WidgetEntity entity(const CoinMetadata &record)
{
    return {record.id, record.symbol, record.name};
}
} // namespace

WidgetEntity WidgetCoinQueries::followMenuBarEntity() const
{
    return {followMenuBarEntityId(), m_followMenuBarTitle, {}};
}

QList<WidgetEntity> WidgetCoinQueries::entitiesForIdentifiers(const QStringList &ids, bool offerFollowMenuBar) const
{
    QList<WidgetEntity> result;
    if (offerFollowMenuBar && ids.contains(followMenuBarEntityId()))
        result.append(followMenuBarEntity());
    for (const QString &id : ids) {
        const auto record = m_catalog.byID().constFind(id);
        if (record != m_catalog.byID().cend())
            result.append(entity(*record));
    }
    return result;
}

QList<WidgetEntity> WidgetCoinQueries::entitiesMatching(const QString &text) const
{
    // Spaces and tabs only: a line break typed into a search field is no white space to forgive.
    qsizetype begin = 0;
    qsizetype end = text.size();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    const QString needle = text.mid(begin, end - begin).toLower();

    QList<WidgetEntity> result;
    for (const CoinMetadata &record : m_catalog.listedCoins()) {
        if (needle.isEmpty() || record.symbol.toLower().contains(needle) || record.name.toLower().contains(needle))
            result.append(entity(record));
    }
    return result;
}

QList<WidgetEntity> WidgetCoinQueries::suggestedEntities(bool offerFollowMenuBar) const
{
    QList<WidgetEntity> result;
    if (offerFollowMenuBar)
        result.append(followMenuBarEntity());
    for (const CoinMetadata &record : m_catalog.listedCoins())
        result.append(entity(record));
    return result;
}

} // namespace Vantrell
