// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "httpclient.h"
#include "platform/clock.h"
#include "services.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace Vantrell {

class Bundle;
template<typename T>
class OneShot;

// Upper-case ISO 4217 code → units of that currency worth one US dollar.
using RatesTable = QHash<QString, double>;

// One public source of the USD rates table.
class ExchangeRateProvider
{
public:
    virtual ~ExchangeRateProvider() = default;

    // The source's address.
    virtual QString urlString() const = 0;
    // Reads a 2xx body. Rates that are not positive are unusable and left out;
    // a body that is not the expected JSON fails with decodingFailed. Not
    // const: a provider reuses its decoder's buffers between calls.
    virtual Result<RatesTable> parseRates(const QByteArray &body) = 0;
};

struct RateDecoder;

// ExchangeRate-API's keyless endpoint: {"result": "success", "rates": {"EUR": 0.92, …}}.
class ERAPIRateProvider final : public ExchangeRateProvider
{
public:
    static QString defaultURL();

    explicit ERAPIRateProvider(QString urlString = defaultURL());
    ~ERAPIRateProvider() override;

    QString urlString() const override { return m_urlString; }
    // A "result" other than "success" fails with badServerResponse.
    Result<RatesTable> parseRates(const QByteArray &body) override;

private:
    QString m_urlString;
    std::unique_ptr<RateDecoder> m_decoder;
};

// The currency-api dataset: {"date": "…", "usd": {"eur": 0.92, …}}; codes are
// upper-cased. When two codes become equal that way, the first one stays.
class CurrencyAPIRateProvider final : public ExchangeRateProvider
{
public:
    static QString cdnURL();
    static QString mirrorURL();

    explicit CurrencyAPIRateProvider(QString urlString);
    ~CurrencyAPIRateProvider() override;

    QString urlString() const override { return m_urlString; }
    Result<RatesTable> parseRates(const QByteArray &body) override;

private:
    QString m_urlString;
    std::unique_ptr<RateDecoder> m_decoder;
};

// The sources in the order they are tried: ExchangeRate-API, the currency-api
// CDN, the currency-api mirror.
std::vector<std::unique_ptr<ExchangeRateProvider>> defaultExchangeRateProviders();

// The rates table on disk, "exchange-rates.json" in the container shared by
// the application and the widgets. Either process may write it; the file is
// replaced atomically, so a reader never sees half a file.
class ExchangeRateCacheStore final
{
public:
    static constexpr const char *fileName = "exchange-rates.json";

    struct Entry
    {
        RatesTable rates;
        // When the table was downloaded; stored to the second.
        QDateTime fetchedAt;

        bool operator==(const Entry &) const = default;
    };

    // No directory: nothing is read or written.
    explicit ExchangeRateCacheStore(std::optional<QString> directory);
    // The store in the bundle's shared container.
    static ExchangeRateCacheStore forBundle(const Bundle &bundle);

    const std::optional<QString> &directory() const { return m_directory; }
    std::optional<QString> filePath() const;

    // Nothing when there is no directory, no file, or the file is unreadable
    // or malformed.
    std::optional<Entry> loadEntry() const;
    // Writes the entry atomically, creating the directory; failures are only
    // logged at debug level, since the file can always be rebuilt.
    void saveEntry(const Entry &entry) const;

    // {"rates": {"EUR": 0.92, …}, "fetchedAt": "2026-03-01T12:00:00Z"}. The
    // decoder is strict: any defect, a rate that is not a positive number or a
    // date that is not an internet date-time with a time zone and without
    // fractional seconds gives nothing.
    static std::optional<Entry> decode(const QByteArray &data);
    // Empty when the entry cannot be written (a rate that is not finite).
    static std::optional<QByteArray> encode(const Entry &entry);

private:
    std::optional<QString> m_directory;
};

// The USD → currency rate, from memory, the shared cache file or the network.
// The table is fresh for an hour. Concurrent callers share one download; a
// caller who cancels only gives up its own result: the download runs on, and
// stores its table for later calls, unless the service is destroyed. A source
// that answers 429 is skipped until its back-off ends. When every source fails
// the last known rate is used, however old.
//
// Lives on the main thread; every completion is delivered from the event loop,
// never inside usdRate(). Destroying the service ends pending calls with
// cancelled.
class ExchangeRateService final : public QObject, public ExchangeRateServicing
{
    Q_OBJECT

public:
    static constexpr int freshnessSeconds = 3600;
    static constexpr int defaultBackOffSeconds = 1200;

    // Adopts the cache file at once when there is one.
    ExchangeRateService(HTTPClient &client, std::vector<std::unique_ptr<ExchangeRateProvider>> providers,
        ExchangeRateCacheStore cacheStore, Clock now, QObject *parent = nullptr);
    ~ExchangeRateService() override;

    CancelHandle usdRate(BaseCurrency currency, Completion<double> completion) override;

    const RatesTable &cachedRates() const { return m_cachedRates; }
    std::optional<QDateTime> cacheTimestamp() const { return m_cacheTimestamp; }
    // Source index → end of its back-off.
    const QHash<int, QDateTime> &rateLimitedUntil() const { return m_rateLimitedUntil; }
    bool isDownloading() const { return m_download != nullptr; }

private:
    struct Waiter
    {
        std::shared_ptr<OneShot<double>> shot;
        QString code;
        std::optional<double> staleRate;
    };
    struct Download
    {
        // The request in flight and its number (0 while none is).
        CancelHandle request;
        quint64 requestId = 0;
        std::vector<Waiter> waiters;
    };

    bool isFresh(const QDateTime &now) const;
    void reloadFromDisk();
    void fetchRates(Waiter waiter);
    void trySource(int index);
    void sourceAnswered(int index, const Result<HttpResponse> &answer);
    Result<RatesTable> screen(int index, const Result<HttpResponse> &answer);
    void finishDownload(const Result<RatesTable> &result);

    HTTPClient &m_client;
    std::vector<std::unique_ptr<ExchangeRateProvider>> m_providers;
    ExchangeRateCacheStore m_cacheStore;
    RatesTable m_cachedRates;
    std::optional<QDateTime> m_cacheTimestamp;
    std::unique_ptr<Download> m_download;
    QHash<int, QDateTime> m_rateLimitedUntil;
    Clock m_now;
    quint64 m_nextRequestId = 1;
};

} // namespace Vantrell
