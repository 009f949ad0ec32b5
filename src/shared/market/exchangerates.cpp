// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchangerates.h"

#include "oneshot.h"
#include "platform/atomicfile.h"
#include "platform/logging.h"
#include "platform/orderedjsonwriter.h"
#include "platform/paths.h"
#include "tickerprovider.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QRegularExpression>
#include <QUrl>

#include <simdjson.h>

#include <algorithm>
#include <cmath>

namespace Vantrell {

struct RateDecoder
{
    simdjson::dom::parser parser;
};

namespace {

// A rate table is a few kilobytes; anything much larger is not ours.
constexpr qint64 maxCacheFileSize = 1024 * 1024;

MarketError decodingError(simdjson::error_code error, const char *where)
{
    return MarketError::make(MarketError::Code::decodingFailed,
        QLatin1String(where) + QStringLiteral(": ") + QString::fromUtf8(simdjson::error_message(error)));
}

bool isUsableRate(double rate)
{
    return std::isfinite(rate) && rate > 0;
}

// Copies an object of code → number into `table`. A value of another type
// fails the whole body, as a strict decoder would; unusable numbers are left
// out and counted.
std::optional<MarketError> readRates(simdjson::dom::object rates, bool upperCase, RatesTable &table, int &dropped)
{
    table.reserve(static_cast<qsizetype>(rates.size()));
    for (const auto field : rates) {
        double rate = 0;
        if (const auto error = field.value.get_double().get(rate))
            return decodingError(error, "rate");
        if (!isUsableRate(rate)) {
            ++dropped;
            continue;
        }
        QString code = QString::fromUtf8(field.key.data(), static_cast<qsizetype>(field.key.size()));
        if (upperCase)
            code = code.toUpper();
        // Duplicate codes: the first one stays, as for a duplicate JSON key.
        if (!table.contains(code))
            table.insert(code, rate);
    }
    return std::nullopt;
}

void logDropped(const QString &source, int dropped)
{
    if (dropped > 0)
        qCDebug(lcMarket).noquote() << source << "sent" << dropped << "unusable rates; left out";
}

Result<simdjson::dom::object> rootObject(RateDecoder &decoder, const QByteArray &body)
{
    simdjson::dom::element root;
    // realloc_if_needed copies the body into the parser's padded buffer.
    if (const auto error = decoder.parser.parse(body.constData(), static_cast<size_t>(body.size()), true).get(root))
        return decodingError(error, "body");
    simdjson::dom::object object;
    if (const auto error = root.get_object().get(object))
        return decodingError(error, "body");
    return object;
}

} // namespace

// --- Sources -----------------------------------------------------------------

QString ERAPIRateProvider::defaultURL()
{
    return QStringLiteral("https://open.er-api.com/v6/latest/USD");
}

ERAPIRateProvider::ERAPIRateProvider(QString urlString)
    : m_urlString(std::move(urlString))
    , m_decoder(std::make_unique<RateDecoder>())
{ }

ERAPIRateProvider::~ERAPIRateProvider() = default;

Result<RatesTable> ERAPIRateProvider::parseRates(const QByteArray &body)
{
    auto root = rootObject(*m_decoder, body);
    if (!root)
        return root.error();
    std::string_view result;
    if (const auto error = root->at_key("result").get_string().get(result))
        return decodingError(error, "result");
    simdjson::dom::object rates;
    if (const auto error = root->at_key("rates").get_object().get(rates))
        return decodingError(error, "rates");

    RatesTable table;
    int dropped = 0;
    if (auto error = readRates(rates, false, table, dropped))
        return *std::move(error);
    if (result != "success")
        return MarketError::make(MarketError::Code::badServerResponse,
            QStringLiteral("result ") + QString::fromUtf8(result.data(), static_cast<qsizetype>(result.size())));
    logDropped(m_urlString, dropped);
    return table;
}

QString CurrencyAPIRateProvider::cdnURL()
{
    return QStringLiteral("https://cdn.jsdelivr.net/npm/@fawazahmed0/currency-api@latest/v1/currencies/usd.min.json");
}

QString CurrencyAPIRateProvider::mirrorURL()
{
    return QStringLiteral("https://latest.currency-api.pages.dev/v1/currencies/usd.min.json");
}

CurrencyAPIRateProvider::CurrencyAPIRateProvider(QString urlString)
    : m_urlString(std::move(urlString))
    , m_decoder(std::make_unique<RateDecoder>())
{ }

CurrencyAPIRateProvider::~CurrencyAPIRateProvider() = default;

Result<RatesTable> CurrencyAPIRateProvider::parseRates(const QByteArray &body)
{
    auto root = rootObject(*m_decoder, body);
    if (!root)
        return root.error();
    simdjson::dom::object rates;
    if (const auto error = root->at_key("usd").get_object().get(rates))
        return decodingError(error, "usd");

    RatesTable table;
    int dropped = 0;
    if (auto error = readRates(rates, true, table, dropped))
        return *std::move(error);
    logDropped(m_urlString, dropped);
    return table;
}

std::vector<std::unique_ptr<ExchangeRateProvider>> defaultExchangeRateProviders()
{
    std::vector<std::unique_ptr<ExchangeRateProvider>> providers;
    providers.push_back(std::make_unique<ERAPIRateProvider>());
    providers.push_back(std::make_unique<CurrencyAPIRateProvider>(CurrencyAPIRateProvider::cdnURL()));
    providers.push_back(std::make_unique<CurrencyAPIRateProvider>(CurrencyAPIRateProvider::mirrorURL()));
    return providers;
}

// --- Cache file --------------------------------------------------------------

ExchangeRateCacheStore::ExchangeRateCacheStore(std::optional<QString> directory)
    : m_directory(std::move(directory))
{ }

ExchangeRateCacheStore ExchangeRateCacheStore::forBundle(const Bundle &bundle)
{
    return ExchangeRateCacheStore(Paths::sharedContainerDirectory(bundle));
}

std::optional<QString> ExchangeRateCacheStore::filePath() const
{
    if (!m_directory)
        return std::nullopt;
    return *m_directory + QLatin1Char('/') + QLatin1String(fileName);
}

std::optional<ExchangeRateCacheStore::Entry> ExchangeRateCacheStore::loadEntry() const
{
    const auto path = filePath();
    if (!path)
        return std::nullopt;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxCacheFileSize)
        return std::nullopt;
    return decode(file.read(maxCacheFileSize + 1));
}

void ExchangeRateCacheStore::saveEntry(const Entry &entry) const
{
    const auto path = filePath();
    if (!path)
        return;
    const auto data = encode(entry);
    QString error;
    if (!data)
        error = QStringLiteral("a rate is not finite");
    else if (writeFileAtomically(*path, *data, Durability::Atomic, &error))
        return;
    qCDebug(lcMarket).noquote() << "Exchange-rate cache not written:" << error;
}

std::optional<ExchangeRateCacheStore::Entry> ExchangeRateCacheStore::decode(const QByteArray &data)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();

    const QJsonValue rates = root.value(QLatin1String("rates"));
    const QJsonValue fetchedAt = root.value(QLatin1String("fetchedAt"));
    if (!rates.isObject() || !fetchedAt.isString())
        return std::nullopt;

    // Internet date-time: seconds required, no fraction, a time zone.
    static const QRegularExpression dateForm(
        QStringLiteral(R"(^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}(Z|[+-]\d{2}:\d{2})$)"));
    const QString dateText = fetchedAt.toString();
    if (!dateForm.match(dateText).hasMatch())
        return std::nullopt;
    Entry entry;
    entry.fetchedAt = QDateTime::fromString(dateText, Qt::ISODate);
    if (!entry.fetchedAt.isValid())
        return std::nullopt;
    entry.fetchedAt = entry.fetchedAt.toUTC();

    const QJsonObject table = rates.toObject();
    entry.rates.reserve(table.size());
    for (auto it = table.constBegin(); it != table.constEnd(); ++it) {
        if (!it.value().isDouble() || !isUsableRate(it.value().toDouble()))
            return std::nullopt;
        entry.rates.insert(it.key(), it.value().toDouble());
    }
    return entry;
}

std::optional<QByteArray> ExchangeRateCacheStore::encode(const Entry &entry)
{
    QStringList codes = entry.rates.keys();
    std::sort(codes.begin(), codes.end());

    OrderedJsonWriter writer;
    writer.beginObject();
    writer.key(QStringLiteral("rates"));
    writer.beginObject();
    for (const QString &code : std::as_const(codes)) {
        writer.key(code);
        writer.value(entry.rates.value(code));
    }
    writer.endObject();
    writer.key(QStringLiteral("fetchedAt"));
    writer.value(entry.fetchedAt.toUTC().toString(Qt::ISODate));
    writer.endObject();
    if (!writer.ok())
        return std::nullopt;
    return writer.result();
}

// --- Service -----------------------------------------------------------------

ExchangeRateService::ExchangeRateService(HTTPClient &client,
    std::vector<std::unique_ptr<ExchangeRateProvider>> providers, ExchangeRateCacheStore cacheStore, Clock now,
    QObject *parent)
    : QObject(parent)
    , m_client(client)
    , m_providers(std::move(providers))
    , m_cacheStore(std::move(cacheStore))
    , m_now(std::move(now))
{
    reloadFromDisk();
}

ExchangeRateService::~ExchangeRateService()
{
    if (!m_download)
        return;
    const auto download = std::move(m_download);
    if (download->request)
        download->request->cancel();
    for (const Waiter &waiter : download->waiters)
        waiter.shot->finishLater(MarketError::make(MarketError::Code::cancelled));
}

CancelHandle ExchangeRateService::usdRate(BaseCurrency currency, Completion<double> completion)
{
    auto shot = std::make_shared<OneShot<double>>(std::move(completion));
    if (currency == BaseCurrency::usd) {
        shot->finishLater(1.0);
        return shot;
    }

    const QString code = rawValue(currency);
    if (!isFresh(m_now()))
        reloadFromDisk();
    const auto cached = m_cachedRates.constFind(code);
    const bool known = cached != m_cachedRates.constEnd();
    if (known && isFresh(m_now())) {
        shot->finishLater(cached.value());
        return shot;
    }

    fetchRates(Waiter {shot, code, known ? std::optional<double>(cached.value()) : std::nullopt});
    return shot;
}

bool ExchangeRateService::isFresh(const QDateTime &now) const
{
    if (!m_cacheTimestamp)
        return false;
    const qint64 age = m_cacheTimestamp->msecsTo(now);
    // A table from the future (a clock set back, a hand-edited file) would
    // otherwise count as fresh until that time arrives.
    return age >= 0 && age < qint64(freshnessSeconds) * 1000;
}

void ExchangeRateService::reloadFromDisk()
{
    auto entry = m_cacheStore.loadEntry();
    if (!entry || (m_cacheTimestamp && entry->fetchedAt <= *m_cacheTimestamp))
        return;
    m_cachedRates = std::move(entry->rates);
    m_cacheTimestamp = entry->fetchedAt;
    qCDebug(lcMarket).noquote() << "Adopted exchange rates fetched at" << m_cacheTimestamp->toString(Qt::ISODate);
}

void ExchangeRateService::fetchRates(Waiter waiter)
{
    if (m_download) {
        m_download->waiters.push_back(std::move(waiter));
        return;
    }
    m_download = std::make_unique<Download>();
    m_download->waiters.push_back(std::move(waiter));
    trySource(0);
}

void ExchangeRateService::trySource(int index)
{
    const QDateTime now = m_now();
    for (; index < static_cast<int>(m_providers.size()); ++index) {
        const auto limit = m_rateLimitedUntil.constFind(index);
        const QUrl url(m_providers[index]->urlString(), QUrl::StrictMode);
        if (limit != m_rateLimitedUntil.constEnd() && now < limit.value()) {
            qCDebug(lcMarket).noquote() << "Skipping rate source" << url.host() << "until"
                                        << limit.value().toString(Qt::ISODate);
            continue;
        }
        if (!url.isValid() || url.isRelative() || url.host().isEmpty())
            continue;

        qCDebug(lcMarket).noquote() << "Fetching exchange rates from" << url.host();
        const quint64 requestId = m_nextRequestId++;
        m_download->requestId = requestId;
        auto handle
            = m_client.get(HttpRequest {url}, [self = QPointer(this), requestId, index](Result<HttpResponse> answer) {
                  // A destroyed service has already ended its callers' waits.
                  if (!self || !self->m_download || self->m_download->requestId != requestId)
                      return;
                  self->m_download->requestId = 0;
                  self->m_download->request.reset();
                  self->sourceAnswered(index, answer);
              });
        // The client may have answered already, inside get().
        if (m_download && m_download->requestId == requestId)
            m_download->request = std::move(handle);
        return;
    }
    finishDownload(MarketError::make(MarketError::Code::cannotLoadFromNetwork));
}

void ExchangeRateService::sourceAnswered(int index, const Result<HttpResponse> &answer)
{
    const Result<RatesTable> table = screen(index, answer);
    if (table) {
        finishDownload(table);
        return;
    }
    qCInfo(lcMarket).noquote() << "Rate source" << QUrl(m_providers[index]->urlString()).host()
                               << "failed:" << table.error().description();
    trySource(index + 1);
}

Result<RatesTable> ExchangeRateService::screen(int index, const Result<HttpResponse> &answer)
{
    if (!answer)
        return answer.error();
    const HttpResponse &response = answer.value();
    const int status = response.statusCode;
    if (status == 429) {
        const double seconds
            = std::min(retryAfterSeconds(response).value_or(defaultBackOffSeconds), MarketError::maxRetryAfterSeconds);
        m_rateLimitedUntil.insert(index, m_now().addMSecs(qRound64(seconds * 1000)));
        return MarketError::make(MarketError::Code::badServerResponse, QStringLiteral("status 429"));
    }
    if (status < 200 || status > 299)
        return MarketError::make(MarketError::Code::badServerResponse, QStringLiteral("status %1").arg(status));
    Result<RatesTable> table = m_providers[index]->parseRates(response.body);
    if (table && table->isEmpty())
        return MarketError::make(MarketError::Code::cannotParseResponse, QStringLiteral("no rates"));
    return table;
}

void ExchangeRateService::finishDownload(const Result<RatesTable> &result)
{
    const auto download = std::move(m_download);
    if (result) {
        const QDateTime now = m_now();
        m_cachedRates = result.value();
        m_cacheTimestamp = now;
        m_cacheStore.saveEntry(ExchangeRateCacheStore::Entry {m_cachedRates, now});
    }
    for (const Waiter &waiter : download->waiters) {
        if (waiter.shot->isFinished())
            continue;
        Result<double> rate = MarketError::make(MarketError::Code::cannotParseResponse, waiter.code);
        if (!result)
            rate = result.error();
        else if (const auto found = result->constFind(waiter.code); found != result->constEnd())
            rate = found.value();
        if (!rate && waiter.staleRate) {
            qCInfo(lcMarket).noquote() << "Using the last known" << waiter.code
                                       << "rate:" << rate.error().description();
            rate = *waiter.staleRate;
        }
        waiter.shot->finishLater(std::move(rate));
    }
}

} // namespace Vantrell
