// SPDX-License-Identifier: GPL-3.0-or-later
#include "tickerproviders.h"

#include "decimal.h"
#include "jsonbuffer.h"

#include <QUrl>

#include <simdjson.h>

#include <array>
#include <cmath>
#include <string_view>

namespace Vantrell {

namespace {

constexpr auto requestTimeout = std::chrono::milliseconds(5000);
// A 403 is an IP ban on these exchanges; without a "Retry-After" wait ten minutes.
constexpr double forbiddenRetryAfterSeconds = 600;
// Tickers whose 24-hour window closed longer ago than this are stale (delisted
// or halted pairs that Binance still lists).
constexpr qint64 binanceFreshnessMs = 3600 * 1000;
// The answer for one instrument is a few hundred bytes; twenty of them run at
// once, so each gets a cap to match rather than a whole book's.
constexpr qint64 singleInstrumentCap = 256 * 1024;

HttpRequest makeRequest(QUrl url)
{
    HttpRequest request;
    request.url = std::move(url);
    request.inactivityTimeout = requestTimeout;
    return request;
}

MarketError decodingError(QString detail)
{
    return MarketError::make(MarketError::Code::decodingFailed, std::move(detail));
}

QString describe(simdjson::error_code error)
{
    return QString::fromUtf8(simdjson::error_message(error));
}

QString keyText(std::string_view key)
{
    return QString::fromUtf8(key.data(), qsizetype(key.size()));
}

// The requested symbol that equals `symbol`, or null. Returns the set's own
// string, so a match costs no allocation; exchange symbols are ASCII, so the
// lookup key is usually widened on the stack.
const QString *findRequested(const QSet<QString> &requested, std::string_view symbol)
{
    if (symbol.empty() || requested.isEmpty())
        return nullptr;
    std::array<char16_t, 32> buffer;
    bool ascii = symbol.size() <= buffer.size();
    for (size_t i = 0; ascii && i < symbol.size(); ++i) {
        const auto byte = static_cast<unsigned char>(symbol[i]);
        ascii = byte < 0x80;
        buffer[i] = char16_t(byte);
    }
    QSet<QString>::const_iterator it;
    if (ascii)
        it = requested.constFind(
            QString::fromRawData(reinterpret_cast<const QChar *>(buffer.data()), qsizetype(symbol.size())));
    else
        it = requested.constFind(QString::fromUtf8(symbol.data(), qsizetype(symbol.size())));
    return it == requested.cend() ? nullptr : &*it;
}

bool price(std::string_view text, double &value)
{
    const auto number = readDecimal(text);
    // Delisted pairs report a last price of "0.00000000"; that is no price.
    if (!number || !(*number > 0))
        return false;
    value = *number;
    return true;
}

std::optional<double> finite(std::optional<double> value)
{
    if (value && !std::isfinite(*value))
        return std::nullopt;
    return value;
}

void store(QuoteMap &quotes, const QSet<QString> &requested, const QString &symbol, TickerQuote quote)
{
    if (quotes.isEmpty())
        quotes.reserve(requested.size());
    quotes.insert(symbol, quote);
}

// The values of the listed keys of one object, in the order of `keys`. Every
// key is required; the first occurrence of a duplicated key counts. Other keys
// are ignored.
template<size_t N>
std::optional<MarketError> findFields(simdjson::dom::element element, const std::array<std::string_view, N> &keys,
    std::array<simdjson::dom::element, N> &values, const char *what, size_t index)
{
    simdjson::dom::object object;
    if (element.get_object().get(object) != simdjson::SUCCESS)
        return decodingError(QStringLiteral("%1 %2 is not an object").arg(QLatin1String(what)).arg(index));
    std::array<bool, N> found {};
    size_t count = 0;
    for (const simdjson::dom::key_value_pair field : object) {
        for (size_t i = 0; i < N; ++i) {
            if (!found[i] && field.key == keys[i]) {
                values[i] = field.value;
                found[i] = true;
                ++count;
                break;
            }
        }
        if (count == N)
            return std::nullopt;
    }
    for (size_t i = 0; i < N; ++i) {
        if (!found[i])
            return decodingError(
                QStringLiteral("%1 %2: %3 missing").arg(QLatin1String(what)).arg(index).arg(keyText(keys[i])));
    }
    return std::nullopt;
}

MarketError wrongType(const char *what, size_t index, std::string_view key)
{
    return decodingError(
        QStringLiteral("%1 %2: %3 has the wrong type").arg(QLatin1String(what)).arg(index).arg(keyText(key)));
}

// Like findFields, for objects whose listed values are all strings.
template<size_t N>
std::optional<MarketError> readStrings(simdjson::dom::element element, const std::array<std::string_view, N> &keys,
    std::array<std::string_view, N> &values, const char *what, size_t index)
{
    std::array<simdjson::dom::element, N> fields;
    if (auto error = findFields(element, keys, fields, what, index))
        return error;
    for (size_t i = 0; i < N; ++i) {
        if (fields[i].get_string().get(values[i]) != simdjson::SUCCESS)
            return wrongType(what, index, keys[i]);
    }
    return std::nullopt;
}

// One request per symbol, up to `limit` symbols; the whole book beyond.
template<typename MakeAddress>
std::vector<TickerRequest> perInstrumentRequests(
    const TickerProvider &provider, const QStringList &symbols, qsizetype limit, MakeAddress address)
{
    std::vector<TickerRequest> result;
    if (symbols.isEmpty())
        return result;
    if (symbols.size() > limit) {
        if (auto book = provider.request(symbols))
            result.push_back({std::move(*book), symbols});
        return result;
    }
    result.reserve(size_t(symbols.size()));
    for (const QString &symbol : symbols) {
        QUrl url(address(symbol), QUrl::StrictMode);
        // A symbol that makes no address is simply not asked.
        if (url.isValid() && !url.host().isEmpty()) {
            HttpRequest request = makeRequest(std::move(url));
            request.maxBodySize = singleInstrumentCap;
            result.push_back({std::move(request), {symbol}});
        }
    }
    return result;
}

bool isJsonText(const QByteArray &body)
{
    for (const char c : body) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        return c == '{' || c == '[';
    }
    return false;
}

} // namespace

// One reusable DOM parser: after the first body of a given size, decoding
// allocates nothing. The parser validates the whole document, so malformed
// JSON anywhere is a decoding error even in fields that are never read.
class TickerDecoder final
{
public:
    simdjson::simdjson_result<simdjson::dom::element> parse(const QByteArray &body)
    {
        // With enough room behind the bytes simdjson reads in place, otherwise
        // it copies them into its own padded buffer (reused as well).
        const bool padded = hasSpareBytesBehind(body, qsizetype(simdjson::SIMDJSON_PADDING));
        return m_parser.parse(body.constData(), size_t(body.size()), !padded);
    }

private:
    simdjson::dom::parser m_parser;
};

// ---- Binance ----------------------------------------------------------------

QString BinanceTickerProvider::mainBaseURL()
{
    return QStringLiteral("https://api.binance.com/api/v3");
}

QString BinanceTickerProvider::marketDataBaseURL()
{
    return QStringLiteral("https://data-api.binance.vision/api/v3");
}

BinanceTickerProvider::BinanceTickerProvider(QString baseURL, Clock now)
    : m_baseURL(std::move(baseURL))
    , m_now(std::move(now))
    , m_decoder(std::make_unique<TickerDecoder>())
{ }

BinanceTickerProvider::~BinanceTickerProvider() = default;

QString BinanceTickerProvider::name() const
{
    return QStringLiteral("binance");
}

std::optional<HttpRequest> BinanceTickerProvider::fallbackRequest() const
{
    QUrl url(m_baseURL + QStringLiteral("/ticker/24hr"), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty())
        return std::nullopt;
    return makeRequest(std::move(url));
}

std::optional<HttpRequest> BinanceTickerProvider::request(const QStringList &symbols) const
{
    // An empty "symbols=[]" is refused by the exchange; there is nothing to ask.
    if (symbols.isEmpty())
        return std::nullopt;
    auto request = fallbackRequest();
    if (!request)
        return std::nullopt;

    QString pairs = QStringLiteral("[");
    for (qsizetype i = 0; i < symbols.size(); ++i) {
        if (i > 0)
            pairs += QLatin1Char(',');
        pairs += QLatin1Char('"') + symbols.at(i) + QStringLiteral("USDT\"");
    }
    pairs += QLatin1Char(']');
    // Encoded as an ordinary query value: brackets and quotes escaped, the
    // commas (allowed in a query) left as they are.
    const QByteArray encoded = QUrl::toPercentEncoding(pairs, ",");
    request->url.setQuery(QStringLiteral("symbols=") + QString::fromLatin1(encoded), QUrl::StrictMode);
    if (!request->url.isValid())
        return std::nullopt;
    return request;
}

Result<QuoteMap> BinanceTickerProvider::parse(const QByteArray &body, const QSet<QString> &requested)
{
    simdjson::dom::array items;
    if (const auto error = m_decoder->parse(body).get_array().get(items))
        return decodingError(describe(error));

    const double freshnessLimit = double(m_now().toMSecsSinceEpoch() - binanceFreshnessMs);
    static constexpr std::array<std::string_view, 4> keys {"symbol", "lastPrice", "priceChangePercent", "closeTime"};

    std::array<simdjson::dom::element, 4> fields;
    QuoteMap quotes;
    size_t index = 0;
    for (const simdjson::dom::element item : items) {
        if (auto error = findFields(item, keys, fields, "item", index))
            return *error;
        std::string_view symbol;
        std::string_view lastPrice;
        std::string_view changePercent;
        double closeTime = 0;
        if (fields[0].get_string().get(symbol))
            return wrongType("item", index, keys[0]);
        if (fields[1].get_string().get(lastPrice))
            return wrongType("item", index, keys[1]);
        if (fields[2].get_string().get(changePercent))
            return wrongType("item", index, keys[2]);
        // Any JSON number; get_double() also converts integers.
        if (fields[3].get_double().get(closeTime))
            return wrongType("item", index, keys[3]);
        ++index;

        if (!symbol.ends_with("USDT") || !(closeTime >= freshnessLimit))
            continue;
        const QString *coin = findRequested(requested, symbol.substr(0, symbol.size() - 4));
        if (!coin)
            continue;
        TickerQuote quote;
        if (!price(lastPrice, quote.priceUsd))
            continue;
        quote.change24hPercent = readDecimal(changePercent);
        store(quotes, requested, *coin, quote);
    }
    return quotes;
}

// ---- OKX --------------------------------------------------------------------

OKXTickerProvider::OKXTickerProvider()
    : m_decoder(std::make_unique<TickerDecoder>())
{ }

OKXTickerProvider::~OKXTickerProvider() = default;

QString OKXTickerProvider::name() const
{
    return QStringLiteral("okx");
}

std::optional<HttpRequest> OKXTickerProvider::request(const QStringList &) const
{
    return makeRequest(QUrl(QStringLiteral("https://www.okx.com/api/v5/market/tickers?instType=SPOT")));
}

std::vector<TickerRequest> OKXTickerProvider::requests(const QStringList &symbols) const
{
    return perInstrumentRequests(*this, symbols, perInstrumentLimit, [](const QString &symbol) -> QString {
        return QStringLiteral("https://www.okx.com/api/v5/market/ticker?instId=") + symbol + QStringLiteral("-USDT");
    });
}

std::optional<HttpRequest> OKXTickerProvider::fallbackRequest() const
{
    return std::nullopt;
}

Result<QuoteMap> OKXTickerProvider::parse(const QByteArray &body, const QSet<QString> &requested)
{
    simdjson::dom::element root;
    if (const auto error = m_decoder->parse(body).get(root))
        return decodingError(describe(error));

    // OKX reports its rate limit in the body, sometimes next to data.
    std::string_view code;
    if (root["code"].get_string().get(code) == simdjson::SUCCESS && code == "50011")
        return MarketError::rateLimited(std::nullopt);

    simdjson::dom::object object;
    simdjson::dom::array data;
    if (root.get_object().get(object) != simdjson::SUCCESS)
        return decodingError(QStringLiteral("not an object"));
    if (object["code"].get_string().get(code) != simdjson::SUCCESS)
        return decodingError(QStringLiteral("code missing or not a string"));
    if (object["data"].get_array().get(data) != simdjson::SUCCESS)
        return decodingError(QStringLiteral("data missing or not an array"));

    static constexpr std::array<std::string_view, 3> keys {"instId", "last", "open24h"};
    std::array<std::string_view, 3> values;
    QuoteMap quotes;
    size_t index = 0;
    for (const simdjson::dom::element item : data) {
        if (auto error = readStrings(item, keys, values, "data", index++))
            return *error;
        const auto &[instId, last, open24h] = values;
        if (!instId.ends_with("-USDT"))
            continue;
        const QString *coin = findRequested(requested, instId.substr(0, instId.size() - 5));
        if (!coin)
            continue;
        TickerQuote quote;
        if (!price(last, quote.priceUsd))
            continue;
        if (const auto open = readDecimal(open24h); open && *open > 0)
            quote.change24hPercent = finite((quote.priceUsd - *open) / *open * 100);
        store(quotes, requested, *coin, quote);
    }
    // Checked only after the whole body decoded, as a decoder of the full
    // answer would.
    if (code == "51001")
        return QuoteMap(); // no such instrument: OKX does not list the coin
    if (code != "0")
        return MarketError::make(MarketError::Code::badServerResponse,
            QStringLiteral("code %1").arg(QString::fromUtf8(code.data(), qsizetype(code.size()))));
    return quotes;
}

// ---- Bybit ------------------------------------------------------------------

BybitTickerProvider::BybitTickerProvider()
    : m_decoder(std::make_unique<TickerDecoder>())
{ }

BybitTickerProvider::~BybitTickerProvider() = default;

QString BybitTickerProvider::name() const
{
    return QStringLiteral("bybit");
}

std::optional<HttpRequest> BybitTickerProvider::request(const QStringList &) const
{
    return makeRequest(QUrl(QStringLiteral("https://api.bybit.com/v5/market/tickers?category=spot")));
}

std::vector<TickerRequest> BybitTickerProvider::requests(const QStringList &symbols) const
{
    return perInstrumentRequests(*this, symbols, perInstrumentLimit, [](const QString &symbol) -> QString {
        return QStringLiteral("https://api.bybit.com/v5/market/tickers?category=spot&symbol=") + symbol
            + QStringLiteral("USDT");
    });
}

std::optional<HttpRequest> BybitTickerProvider::fallbackRequest() const
{
    return std::nullopt;
}

Result<QuoteMap> BybitTickerProvider::parse(const QByteArray &body, const QSet<QString> &requested)
{
    simdjson::dom::object root;
    if (const auto error = m_decoder->parse(body).get_object().get(root))
        return decodingError(describe(error));
    int64_t retCode = 0;
    if (root["retCode"].get_int64().get(retCode) != simdjson::SUCCESS)
        return decodingError(QStringLiteral("retCode missing or not an integer"));
    // The answer to a single pair Bybit does not list; it has no list at all.
    std::string_view message;
    if (retCode == 10001 && root["retMsg"].get_string().get(message) == simdjson::SUCCESS
        && message == "Not supported symbols")
        return QuoteMap();
    simdjson::dom::array list;
    if (root["result"]["list"].get_array().get(list) != simdjson::SUCCESS)
        return decodingError(QStringLiteral("result.list missing or not an array"));

    static constexpr std::array<std::string_view, 3> keys {"symbol", "lastPrice", "price24hPcnt"};
    std::array<std::string_view, 3> values;
    QuoteMap quotes;
    size_t index = 0;
    for (const simdjson::dom::element item : list) {
        if (auto error = readStrings(item, keys, values, "list", index++))
            return *error;
        const auto &[symbol, lastPrice, change] = values;
        if (!symbol.ends_with("USDT"))
            continue;
        const QString *coin = findRequested(requested, symbol.substr(0, symbol.size() - 4));
        if (!coin)
            continue;
        TickerQuote quote;
        if (!price(lastPrice, quote.priceUsd))
            continue;
        if (const auto fraction = readDecimal(change))
            quote.change24hPercent = finite(*fraction * 100);
        store(quotes, requested, *coin, quote);
    }
    if (retCode != 0)
        return MarketError::make(MarketError::Code::badServerResponse, QStringLiteral("retCode %1").arg(retCode));
    return quotes;
}

// ---- Coinbase Exchange ------------------------------------------------------

CoinbaseTickerProvider::CoinbaseTickerProvider()
    : m_decoder(std::make_unique<TickerDecoder>())
{ }

CoinbaseTickerProvider::~CoinbaseTickerProvider() = default;

QString CoinbaseTickerProvider::name() const
{
    return QStringLiteral("coinbase");
}

namespace {

std::optional<HttpRequest> coinbaseStats(const QString &symbol)
{
    QUrl url(QStringLiteral("https://api.exchange.coinbase.com/products/") + symbol + QStringLiteral("-USD/stats"),
        QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || symbol.contains(QLatin1Char('/')))
        return std::nullopt;
    HttpRequest request = makeRequest(std::move(url));
    request.maxBodySize = singleInstrumentCap;
    return request;
}

} // namespace

std::optional<HttpRequest> CoinbaseTickerProvider::request(const QStringList &symbols) const
{
    if (symbols.isEmpty())
        return std::nullopt;
    return coinbaseStats(symbols.first());
}

std::vector<TickerRequest> CoinbaseTickerProvider::requests(const QStringList &symbols) const
{
    std::vector<TickerRequest> result;
    for (const QString &symbol : symbols) {
        if (qsizetype(result.size()) >= perPollLimit)
            break;
        if (auto stats = coinbaseStats(symbol))
            result.push_back({std::move(*stats), {symbol}});
    }
    return result;
}

std::optional<HttpRequest> CoinbaseTickerProvider::fallbackRequest() const
{
    return std::nullopt;
}

bool CoinbaseTickerProvider::isNotListed(const HttpResponse &response) const
{
    return response.statusCode == 404 && isJsonText(response.body);
}

Result<QuoteMap> CoinbaseTickerProvider::parse(const QByteArray &body, const QSet<QString> &requested)
{
    simdjson::dom::element root;
    if (const auto error = m_decoder->parse(body).get(root))
        return decodingError(describe(error));
    static constexpr std::array<std::string_view, 2> keys {"last", "open"};
    std::array<std::string_view, 2> values;
    if (auto error = readStrings(root, keys, values, "stats", 0))
        return *error;
    // One product per answer: the answer names none, the request did.
    if (requested.size() != 1)
        return QuoteMap();
    const auto &[last, open24h] = values;
    TickerQuote quote;
    if (!price(last, quote.priceUsd))
        return QuoteMap();
    if (const auto open = readDecimal(open24h); open && *open > 0)
        quote.change24hPercent = finite((quote.priceUsd - *open) / *open * 100);
    QuoteMap quotes;
    quotes.insert(*requested.cbegin(), quote);
    return quotes;
}

// ---- Kraken -----------------------------------------------------------------

KrakenTickerProvider::KrakenTickerProvider()
    : m_decoder(std::make_unique<TickerDecoder>())
{ }

KrakenTickerProvider::~KrakenTickerProvider() = default;

QString KrakenTickerProvider::name() const
{
    return QStringLiteral("kraken");
}

QString KrakenTickerProvider::krakenAsset(const QString &symbol)
{
    if (symbol == QLatin1String("BTC"))
        return QStringLiteral("XBT");
    if (symbol == QLatin1String("DOGE"))
        return QStringLiteral("XDG");
    return symbol;
}

MarketError KrakenTickerProvider::errorOf(const QString &message)
{
    if (message == QLatin1String("EQuery:Unknown asset pair"))
        return MarketError::make(MarketError::Code::requestRejected, message);
    if (message == QLatin1String("EGeneral:Too many requests") || message == QLatin1String("EAPI:Rate limit exceeded"))
        return MarketError::rateLimited(std::nullopt);
    return MarketError::make(MarketError::Code::badServerResponse, message);
}

std::optional<HttpRequest> KrakenTickerProvider::request(const QStringList &symbols) const
{
    if (symbols.isEmpty())
        return std::nullopt;
    auto request = fallbackRequest();
    QStringList pairs;
    pairs.reserve(symbols.size());
    for (const QString &symbol : symbols)
        pairs.append(krakenAsset(symbol) + QStringLiteral("USD"));
    // Commas are allowed in a query and Kraken expects them as they are.
    const QByteArray encoded = QUrl::toPercentEncoding(pairs.join(QLatin1Char(',')), ",");
    request->url.setQuery(QStringLiteral("pair=") + QString::fromLatin1(encoded), QUrl::StrictMode);
    if (!request->url.isValid())
        return std::nullopt;
    return request;
}

std::optional<HttpRequest> KrakenTickerProvider::fallbackRequest() const
{
    return makeRequest(QUrl(QStringLiteral("https://api.kraken.com/0/public/Ticker")));
}

Result<QuoteMap> KrakenTickerProvider::parse(const QByteArray &body, const QSet<QString> &requested)
{
    simdjson::dom::object root;
    if (const auto error = m_decoder->parse(body).get_object().get(root))
        return decodingError(describe(error));
    simdjson::dom::array errors;
    if (root["error"].get_array().get(errors) != simdjson::SUCCESS)
        return decodingError(QStringLiteral("error missing or not an array"));
    for (const simdjson::dom::element entry : errors) {
        std::string_view text;
        if (entry.get_string().get(text) != simdjson::SUCCESS)
            return decodingError(QStringLiteral("error entry not a string"));
        return errorOf(keyText(text));
    }
    simdjson::dom::object result;
    if (root["result"].get_object().get(result) != simdjson::SUCCESS)
        return decodingError(QStringLiteral("result missing or not an object"));

    // Kraken answers "XBTUSD" as "XXBTZUSD" and newer pairs under the name
    // asked for; both forms lead back to the coin, nothing else does.
    QHash<QString, QString> coinOfKey;
    coinOfKey.reserve(requested.size() * 2);
    for (const QString &symbol : requested) {
        const QString asset = krakenAsset(symbol);
        coinOfKey.insert(asset + QStringLiteral("USD"), symbol);
        coinOfKey.insert(QLatin1Char('X') + asset + QStringLiteral("ZUSD"), symbol);
    }
    QuoteMap quotes;
    size_t index = 0;
    for (const simdjson::dom::key_value_pair pair : result) {
        std::array<simdjson::dom::element, 1> fields;
        if (auto error = findFields(pair.value, std::array<std::string_view, 1> {"c"}, fields, "pair", index))
            return *error;
        simdjson::dom::array closed;
        std::string_view last;
        if (fields[0].get_array().get(closed) != simdjson::SUCCESS || closed.at(0).get_string().get(last))
            return wrongType("pair", index, "c");
        ++index;
        const auto coin = coinOfKey.constFind(keyText(pair.key));
        if (coin == coinOfKey.cend())
            continue;
        TickerQuote quote;
        if (!price(last, quote.priceUsd))
            continue;
        store(quotes, requested, coin.value(), quote);
    }
    return quotes;
}

// ---- Shared -----------------------------------------------------------------

std::optional<double> retryAfterSeconds(const HttpResponse &response)
{
    const auto header = response.header(QByteArrayLiteral("Retry-After"));
    if (!header)
        return std::nullopt;
    // Only the delay-seconds form; an HTTP date counts as absent.
    const auto seconds = readDecimal(std::string_view(header->constData(), size_t(header->size())));
    if (!seconds || !(*seconds > 0))
        return std::nullopt;
    return std::min(*seconds, MarketError::maxRetryAfterSeconds);
}

Result<QuoteMap> screenAndParse(TickerProvider &provider, const HttpResponse &response, const QSet<QString> &requested)
{
    const int status = response.statusCode;
    if (status >= 200 && status <= 299)
        return provider.parse(response.body, requested);
    if (provider.isNotListed(response))
        return QuoteMap();
    switch (status) {
    case 400:
        return MarketError::make(MarketError::Code::requestRejected, QStringLiteral("status 400"));
    case 451:
        return MarketError::make(MarketError::Code::networkRefused, QStringLiteral("status 451"));
    case 403:
        // The exchange's own 403 is JSON (or empty) and means a ban; a page of
        // another kind comes from a CDN that does not serve this network.
        if (!response.body.isEmpty() && !isJsonText(response.body))
            return MarketError::make(MarketError::Code::networkRefused, QStringLiteral("status 403, not JSON"));
        return MarketError::rateLimited(retryAfterSeconds(response).value_or(forbiddenRetryAfterSeconds));
    case 418:
    case 429:
        return MarketError::rateLimited(retryAfterSeconds(response));
    default:
        return MarketError::make(MarketError::Code::badServerResponse, QStringLiteral("status %1").arg(status));
    }
}

std::vector<TickerRequest> TickerProvider::requests(const QStringList &symbols) const
{
    std::vector<TickerRequest> result;
    if (auto single = request(symbols))
        result.push_back({std::move(*single), symbols});
    return result;
}

QString exchangeDisplayName(const QString &name)
{
    static const QHash<QString, QString> names {
        {QStringLiteral("binance"), QStringLiteral("Binance")},
        {QStringLiteral("okx"), QStringLiteral("OKX")},
        {QStringLiteral("bybit"), QStringLiteral("Bybit")},
        {QStringLiteral("coinbase"), QStringLiteral("Coinbase Exchange")},
        {QStringLiteral("kraken"), QStringLiteral("Kraken")},
    };
    return names.value(name, name);
}

std::vector<std::unique_ptr<TickerProvider>> defaultTickerProviders(const Clock &now)
{
    std::vector<std::unique_ptr<TickerProvider>> providers;
    providers.push_back(std::make_unique<BinanceTickerProvider>(BinanceTickerProvider::mainBaseURL(), now));
    providers.push_back(std::make_unique<BinanceTickerProvider>(BinanceTickerProvider::marketDataBaseURL(), now));
    providers.push_back(std::make_unique<OKXTickerProvider>());
    providers.push_back(std::make_unique<BybitTickerProvider>());
    providers.push_back(std::make_unique<CoinbaseTickerProvider>());
    providers.push_back(std::make_unique<KrakenTickerProvider>());
    return providers;
}

} // namespace Vantrell
