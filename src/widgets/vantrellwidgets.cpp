// SPDX-License-Identifier: GPL-3.0-or-later
#include "vantrellwidgets.h"

#include "i18n/localizationmanager.h"
#include "market/coincatalog.h"
#include "market/exchangerates.h"
#include "market/networkhttpclient.h"
#include "market/priceservice.h"
#include "market/tickerprovider.h"
#include "widgetintents.h"
#include "widgetkit/coinlogocache.h"
#include "widgetkit/widgetviews.h"
#include "widgetpriceview.h"
#include "widgetproviders.h"

#include <QPainter>
#include <QPalette>

namespace Vantrell {

VantrellWidgets::VantrellWidgets()
    : m_bundle(pluginBundle())
    , m_kinds(vantrellWidgetKinds())
{ }

VantrellWidgets::~VantrellWidgets() = default;

Bundle VantrellWidgets::pluginBundle()
{
    // Not Bundle::embedded(): inside the host that is the host's own bundle.
    return Bundle(QStringLiteral(":/vantrell-widgets"));
}

QList<WidgetKind> VantrellWidgets::kinds() const
{
    return m_kinds;
}

QStringList VantrellWidgets::watchedFiles() const
{
    const std::optional<QString> snapshot = WidgetSnapshotStore::forBundle(m_bundle).filePath();
    return snapshot ? QStringList {*snapshot} : QStringList();
}

bool VantrellWidgets::isKnown(const QString &kind) const
{
    return findWidgetKind(m_kinds, kind) != nullptr;
}

QString VantrellWidgets::localizedString(const QString &key, AppLanguage language)
{
    return resources().strings(language).string(key);
}

CoinCatalog &VantrellWidgets::catalog()
{
    if (!m_catalog)
        m_catalog = CoinCatalog::load(m_bundle);
    return *m_catalog;
}

WidgetResources &VantrellWidgets::resources()
{
    if (!m_resources)
        m_resources = std::make_unique<WidgetResources>(m_bundle, CoinLogoCache::inSharedContainer(m_bundle));
    return *m_resources;
}

WidgetProviders &VantrellWidgets::providers()
{
    if (!m_providers) {
        // The host passes the plug-in no configuration, so the plug-in reads the
        // test mapping itself, as a program's entry point would.
        m_session = std::make_unique<NetworkHTTPClient>(
            NetworkHTTPClient::marketDataHosts(), NetworkHTTPClient::hostMapFromEnvironment());
        m_rates = std::make_unique<ExchangeRateService>(
            *m_session, defaultExchangeRateProviders(), ExchangeRateCacheStore::forBundle(m_bundle), systemClock());
        m_prices = std::make_unique<PriceService>(
            *m_session, *m_rates, defaultTickerProviders(systemClock()), systemClock());
        m_maker = std::make_unique<WidgetContentMaker>(catalog(), *m_prices, systemClock());
        m_providers = std::make_unique<WidgetProviders>(*m_maker, WidgetSnapshotStore::forBundle(m_bundle));
    }
    return *m_providers;
}

const WidgetCoinQueries *VantrellWidgets::queries(const QString &kind, const QString &option, bool *offerFollowMenuBar)
{
    const bool list = kind == WidgetKinds::watchlist() && option == QStringLiteral("coins");
    const bool single = kind == WidgetKinds::coinPrice() && option == QStringLiteral("coin");
    if (!list && !single)
        return nullptr;
    *offerFollowMenuBar = single;
    if (!m_queries) {
        m_queries = std::make_unique<WidgetCoinQueries>(
            catalog(), localizedString(QStringLiteral("widget.coin.followMenuBar"), AppLanguage::system));
    }
    return m_queries.get();
}

QList<WidgetEntity> VantrellWidgets::entitiesForIdentifiers(
    const QString &kind, const QString &option, const QStringList &ids)
{
    bool follow = false;
    const WidgetCoinQueries *query = queries(kind, option, &follow);
    return query ? query->entitiesForIdentifiers(ids, follow) : QList<WidgetEntity>();
}

QList<WidgetEntity> VantrellWidgets::entitiesMatching(const QString &kind, const QString &option, const QString &text)
{
    bool follow = false;
    const WidgetCoinQueries *query = queries(kind, option, &follow);
    return query ? query->entitiesMatching(text) : QList<WidgetEntity>();
}

QList<WidgetEntity> VantrellWidgets::suggestedEntities(const QString &kind, const QString &option)
{
    bool follow = false;
    const WidgetCoinQueries *query = queries(kind, option, &follow);
    return query ? query->suggestedEntities(follow) : QList<WidgetEntity>();
}

VantrellWidgetEntry VantrellWidgets::placeholder(const QString &kind, const WidgetContext &context)
{
    if (!isKnown(kind))
        return {};
    return providers().placeholder(kind, context);
}

void VantrellWidgets::snapshot(const QString &kind, const WidgetOptionValues &values, const WidgetContext &context,
    std::function<void(VantrellWidgetEntry)> done)
{
    const WidgetKind *definition = findWidgetKind(m_kinds, kind);
    if (!definition) {
        done({});
        return;
    }
    providers().snapshot(
        kind, resolvedOptionValues(definition->intent, context.family, values), context, std::move(done));
}

void VantrellWidgets::timeline(const QString &kind, const WidgetOptionValues &values, const WidgetContext &context,
    std::function<void(WidgetTimeline)> done)
{
    const WidgetKind *definition = findWidgetKind(m_kinds, kind);
    if (!definition) {
        done({});
        return;
    }
    providers().timeline(
        kind, resolvedOptionValues(definition->intent, context.family, values), context, std::move(done));
}

void VantrellWidgets::paint(QPainter &painter, const QRectF &rect, const QString &kind, WidgetFamily family,
    const VantrellWidgetEntry &entry, const QPalette &palette)
{
    const WidgetEnvironment environment = WidgetEnvironment::fromPalette(palette);
    if (kind == WidgetKinds::watchlist())
        WatchlistWidgetView::paint(painter, rect, entry, family, resources(), environment);
    else if (kind == WidgetKinds::coinPrice())
        WidgetPriceView::paint(painter, rect, entry.content, entry.date, resources(), environment);
}

} // namespace Vantrell
