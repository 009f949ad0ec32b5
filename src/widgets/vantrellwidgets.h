// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/bundle.h"
#include "widgetkit/widgetextension.h"

#include <QObject>

#include <memory>

namespace Vantrell {

class CoinCatalog;
class ExchangeRateService;
class NetworkHTTPClient;
class PriceService;
class WidgetCoinQueries;
class WidgetContentMaker;
class WidgetProviders;
class WidgetResources;

// The widget plug-in: the watchlist widget and the single-coin widget. It has
// its own bundle (catalog, images, string tables) and, created on first use
// and kept for the life of the process, its own catalog and price service,
// whose exchange-rate cache is the one in the shared container.
class VantrellWidgets final : public QObject, public WidgetExtension
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VantrellWidgetExtension_iid)
    Q_INTERFACES(Vantrell::WidgetExtension)

public:
    VantrellWidgets();
    ~VantrellWidgets() override;

    // The bundle compiled into the plug-in.
    static Bundle pluginBundle();

    QList<WidgetKind> kinds() const override;
    QStringList watchedFiles() const override;
    QString localizedString(const QString &key, AppLanguage language) override;
    QList<WidgetEntity> entitiesForIdentifiers(
        const QString &kind, const QString &option, const QStringList &ids) override;
    QList<WidgetEntity> entitiesMatching(const QString &kind, const QString &option, const QString &text) override;
    QList<WidgetEntity> suggestedEntities(const QString &kind, const QString &option) override;
    VantrellWidgetEntry placeholder(const QString &kind, const WidgetContext &context) override;
    void snapshot(const QString &kind, const WidgetOptionValues &values, const WidgetContext &context,
        std::function<void(VantrellWidgetEntry)> done) override;
    void timeline(const QString &kind, const WidgetOptionValues &values, const WidgetContext &context,
        std::function<void(WidgetTimeline)> done) override;
    void paint(QPainter &painter, const QRectF &rect, const QString &kind, WidgetFamily family,
        const VantrellWidgetEntry &entry, const QPalette &palette) override;

private:
    CoinCatalog &catalog();
    WidgetProviders &providers();
    WidgetResources &resources();
    // The coin query of an entity option; null for anything else.
    const WidgetCoinQueries *queries(const QString &kind, const QString &option, bool *offerFollowMenuBar);
    bool isKnown(const QString &kind) const;

    Bundle m_bundle;
    QList<WidgetKind> m_kinds;
    std::unique_ptr<CoinCatalog> m_catalog;
    std::unique_ptr<WidgetCoinQueries> m_queries;
    std::unique_ptr<NetworkHTTPClient> m_session;
    std::unique_ptr<ExchangeRateService> m_rates;
    std::unique_ptr<PriceService> m_prices;
    std::unique_ptr<WidgetContentMaker> m_maker;
    std::unique_ptr<WidgetProviders> m_providers;
    std::unique_ptr<WidgetResources> m_resources;
};

} // namespace Vantrell
