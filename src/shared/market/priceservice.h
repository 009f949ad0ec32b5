// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "hostrefusals.h"
#include "httpclient.h"
#include "platform/clock.h"
#include "services.h"
#include "tickerprovider.h"

#include <QDateTime>
#include <QHash>
#include <QObject>

#include <memory>
#include <vector>

namespace Vantrell {

// Prices from several exchanges of uneven availability. The exchange that
// answered last is asked first; on failure the next ones in turn. Coins the
// answering exchange lacks are filled in from the other exchanges. A coin an
// exchange did not deliver is not asked of it again for 1800 s, and an
// exchange that answers with a rate limit is skipped until its back-off ends.
// Marks and back-offs are kept per exchange name, so the two Binance bases
// share them. A host that refuses this network (a country's block) is set
// aside for an hour on its own; when every source's host is set aside, a
// fetch fails with networkRefused rather than cannotLoadFromNetwork. The
// requests of one exchange in one poll run in parallel and count as one
// answer. The USD rate comes from the exchange-rate service, in parallel.
//
// Lives on the main thread; completions are delivered from the event loop,
// never inside fetchPrices(). Cancelling a fetch abandons its requests and its
// completion never runs; destroying the service ends running fetches with
// cancelled.
class PriceService final : public QObject, public PriceServicing
{
    Q_OBJECT

public:
    static constexpr int unavailabilityWindowSeconds = 1800;
    static constexpr int defaultBackOffSeconds = 60;

    PriceService(HTTPClient &client, ExchangeRateServicing &rates,
        std::vector<std::unique_ptr<TickerProvider>> providers, Clock now, QObject *parent = nullptr);
    ~PriceService() override;

    CancelHandle fetchPrices(
        const QStringList &symbols, BaseCurrency currency, Completion<PriceSnapshot> completion) override;

    // Upper-cased, without empty entries and duplicates, sorted.
    static QStringList normalizedSymbols(const QStringList &symbols);

    // Index into the provider list of the provider asked first.
    int preferredProviderIndex() const { return m_preferredProviderIndex; }
    // "<provider name>/<symbol>" → when that exchange last failed to deliver the symbol.
    const QHash<QString, QDateTime> &unavailableSince() const { return m_unavailableSince; }
    // Provider name → end of its back-off.
    const QHash<QString, QDateTime> &rateLimitedUntil() const { return m_rateLimitedUntil; }
    const HostRefusals &refusals() const { return m_refusals; }

private:
    struct Fetch;
    enum class Stage { primary, fillIn };

    void attempt(const std::shared_ptr<Fetch> &fetch, std::size_t position);
    void fillIn(const std::shared_ptr<Fetch> &fetch);
    void ask(const std::shared_ptr<Fetch> &fetch, Stage stage, int providerIndex, std::vector<TickerRequest> parts,
        bool isFallback);
    void partAnswered(const std::shared_ptr<Fetch> &fetch);
    static void recordSource(const std::shared_ptr<Fetch> &fetch, const QuoteMap &quotes, const QString &name);
    void answered(const std::shared_ptr<Fetch> &fetch, const Result<QuoteMap> &parsed);
    void rateArrived(const std::shared_ptr<Fetch> &fetch, const Result<double> &rate);
    void finishIfComplete(const std::shared_ptr<Fetch> &fetch);
    void fail(const std::shared_ptr<Fetch> &fetch, const MarketError &error);
    void forget(const std::shared_ptr<Fetch> &fetch);

    bool isBackingOff(const QString &name, const QDateTime &now) const;
    QStringList candidates(const QString &name, const QStringList &symbols, const QDateTime &now) const;
    // The requests of provider `index` for `symbols`; none while its host is set aside.
    std::vector<TickerRequest> requestsOf(int index, const QStringList &symbols, const QDateTime &now) const;
    MarketError noExchangeAnswered(const QDateTime &now) const;

    HTTPClient &m_client;
    ExchangeRateServicing &m_rates;
    std::vector<std::unique_ptr<TickerProvider>> m_providers;
    std::vector<QString> m_names;
    Clock m_now;
    int m_preferredProviderIndex = 0;
    QHash<QString, QDateTime> m_unavailableSince;
    QHash<QString, QDateTime> m_rateLimitedUntil;
    HostRefusals m_refusals;
    // The host of each provider, from its book request.
    QStringList m_hosts;
    std::vector<std::shared_ptr<Fetch>> m_fetches;
    quint64 m_nextRequestId = 1;
};

} // namespace Vantrell
