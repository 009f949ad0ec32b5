// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakemarket.h"

#include "candles.h"

#include "fakemarketlogging.h"
#include "logoimages.h"
#include "marketbook.h"
#include "responsewriter.h"

#include <QAbstractHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrlQuery>

#include <atomic>
#include <cmath>

#include <zlib.h>

Q_LOGGING_CATEGORY(lcFakeMarket, "vantrell.fakemarket", QtInfoMsg)

namespace Vantrell {

using namespace FakeMarketData;

// Faults ------------------------------------------------------------------------------------------

FakeMarketFault FakeMarketFault::httpStatus(int status, QByteArray body)
{
    FakeMarketFault fault;
    fault.status = status;
    fault.body = body.isEmpty() ? Body::Typical : Body::Given;
    fault.givenBody = std::move(body);
    return fault;
}

FakeMarketFault FakeMarketFault::okxRateLimit()
{
    return httpStatus(200, QByteArrayLiteral(R"({"code":"50011","msg":"Too Many Requests","data":[]})"));
}

FakeMarketFault FakeMarketFault::bybitRateLimit()
{
    return httpStatus(200,
        QByteArrayLiteral(R"({"retCode":10006,"retMsg":"Too many visits!","result":{},)"
                          R"("retExtInfo":{},"time":1672738134824})"));
}

FakeMarketFault FakeMarketFault::delayed(std::chrono::milliseconds delay)
{
    return FakeMarketFault().withDelay(delay);
}

FakeMarketFault FakeMarketFault::trickled(std::chrono::milliseconds perByte)
{
    return FakeMarketFault().withTrickle(perByte);
}

FakeMarketFault FakeMarketFault::truncated(qint64 bytesSent)
{
    return FakeMarketFault().withTruncation(bytesSent);
}

FakeMarketFault FakeMarketFault::oversized(qint64 bytes, bool withContentLength)
{
    FakeMarketFault fault;
    fault.status = 200;
    fault.body = Body::Oversized;
    fault.oversizedBytes = bytes;
    fault.contentLength = withContentLength;
    return fault;
}

FakeMarketFault FakeMarketFault::malformedJson()
{
    FakeMarketFault fault;
    fault.body = Body::Malformed;
    return fault;
}

FakeMarketFault FakeMarketFault::hang()
{
    FakeMarketFault fault;
    fault.delivery = Delivery::Hang;
    return fault;
}

FakeMarketFault FakeMarketFault::disconnect()
{
    FakeMarketFault fault;
    fault.delivery = Delivery::Disconnect;
    return fault;
}

FakeMarketFault FakeMarketFault::candleDefect(Candles defect)
{
    FakeMarketFault fault;
    fault.candles = defect;
    return fault;
}

FakeMarketFault FakeMarketFault::withRetryAfter(const QByteArray &value) const
{
    return withHeader(QByteArrayLiteral("Retry-After"), value);
}

FakeMarketFault FakeMarketFault::withHeader(const QByteArray &name, const QByteArray &value) const
{
    FakeMarketFault fault = *this;
    fault.headers.append({name, value});
    return fault;
}

FakeMarketFault FakeMarketFault::withDelay(std::chrono::milliseconds delay) const
{
    FakeMarketFault fault = *this;
    fault.delay = delay;
    return fault;
}

FakeMarketFault FakeMarketFault::withTrickle(std::chrono::milliseconds perByte) const
{
    FakeMarketFault fault = *this;
    fault.delivery = Delivery::Trickle;
    fault.trickleInterval = perByte;
    return fault;
}

FakeMarketFault FakeMarketFault::withTruncation(qint64 bytesSent) const
{
    FakeMarketFault fault = *this;
    fault.delivery = Delivery::Truncate;
    fault.truncateAfter = bytesSent;
    return fault;
}

QString FakeMarketRequest::queryItem(const QString &key) const
{
    return QUrlQuery(query).queryItemValue(key, QUrl::FullyDecoded);
}

// Server ------------------------------------------------------------------------------------------

namespace {

const QString binanceTickerPath = QStringLiteral("/api/v3/ticker/24hr");
const QByteArray jsonType = QByteArrayLiteral("application/json");
const QByteArray binanceJsonType = QByteArrayLiteral("application/json;charset=UTF-8");

// Hands every request to one function: the fake routes by the host in the path itself.
class Server final : public QAbstractHttpServer
{
public:
    std::function<void(const QHttpServerRequest &, QHttpServerResponder &&)> handler;

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override
    {
        handler(request, makeResponder(request, socket));
        return true;
    }
    void missingHandler(const QHttpServerRequest &, QTcpSocket *) override { }
};

ResponsePlan json(int status, QByteArray body, const QByteArray &type = jsonType)
{
    ResponsePlan plan;
    plan.status = status;
    plan.headers = {{QByteArrayLiteral("Content-Type"), type}};
    plan.body = std::move(body);
    return plan;
}

ResponsePlan binanceError(int code, const QString &message)
{
    // Binance writes "code" before "msg", which is also Qt's (sorted) order.
    const QJsonObject error {{QStringLiteral("code"), code}, {QStringLiteral("msg"), message}};
    return json(400, QJsonDocument(error).toJson(QJsonDocument::Compact), binanceJsonType);
}

ResponsePlan notFound()
{
    ResponsePlan plan;
    plan.status = 404;
    plan.headers = {{QByteArrayLiteral("Content-Type"), QByteArrayLiteral("text/plain")}};
    plan.body = QByteArrayLiteral("Not Found\n");
    return plan;
}

bool isBinance(const QString &host)
{
    return host == FakeMarketHost::binance || host == FakeMarketHost::binanceData;
}

// What the real host sends along with an error status.
QByteArray typicalErrorBody(const QString &host, int status, qint64 nowMs)
{
    if (isBinance(host) && status == 429) {
        return QByteArrayLiteral(R"({"code":-1003,"msg":"Too much request weight used; current limit is 6000 request )"
                                 R"(weight per 1 MINUTE. Please use WebSocket Streams for live updates to avoid )"
                                 R"(polling the API."})");
    }
    if (isBinance(host) && status == 418) {
        return R"({"code":-1003,"msg":"Way too much request weight used; IP banned until )"
            + QByteArray::number(nowMs + 120000)
            + R"(. Please use WebSocket Streams for live updates to avoid bans."})";
    }
    if (host == FakeMarketHost::okx && status == 429)
        return QByteArrayLiteral(R"({"msg":"Too Many Requests","code":"50011"})");
    return {};
}

// A gzip stream of `data`, as a server compresses an answer for a client that accepts it.
QByteArray gzipped(const QByteArray &data)
{
    z_stream stream {};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return status == Z_STREAM_END ? out : QByteArray();
}

// Kraken's own names for coins: (coin, Kraken asset).
constexpr std::pair<QLatin1String, QLatin1String> krakenNames[] {
    {QLatin1String("BTC"), QLatin1String("XBT")},
    {QLatin1String("DOGE"), QLatin1String("XDG")},
};

QString krakenAsset(const QString &coin)
{
    for (const auto &[ours, theirs] : krakenNames) {
        if (coin == ours)
            return theirs;
    }
    return coin;
}

QString coinOfKrakenAsset(const QString &asset)
{
    for (const auto &[ours, theirs] : krakenNames) {
        if (asset == theirs)
            return ours;
    }
    return asset;
}

// Kraken's key for a pair in its answer: the old assets in their long form.
QByteArray krakenResultKey(const QString &coin)
{
    static const QSet<QString> legacy {QStringLiteral("XBT"), QStringLiteral("ETH"), QStringLiteral("LTC"),
        QStringLiteral("XRP"), QStringLiteral("XLM"), QStringLiteral("ETC"), QStringLiteral("ZEC"),
        QStringLiteral("XMR"), QStringLiteral("REP"), QStringLiteral("MLN")};
    const QString asset = krakenAsset(coin);
    const QString key = legacy.contains(asset) ? QString(u'X' + asset + QStringLiteral("ZUSD"))
                                               : QString(asset + QStringLiteral("USD"));
    return key.toUtf8();
}

// A gzip stream of `bytes` spaces (valid JSON white space).
QByteArray gzipOfSpaces(qint64 bytes)
{
    z_stream stream {};
    // 15 + 16: a gzip header and trailer rather than zlib's.
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    const QByteArray chunk(1 << 16, ' ');
    QByteArray out;
    char buffer[1 << 14];
    qint64 left = bytes;
    int flush = Z_NO_FLUSH;
    do {
        const qint64 take = std::min<qint64>(left, chunk.size());
        left -= take;
        flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(chunk.constData()));
        stream.avail_in = uInt(take);
        do {
            stream.next_out = reinterpret_cast<Bytef *>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
        } while (stream.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&stream);
    return out;
}

QByteArray oversizedJson(qint64 bytes)
{
    // "[0,0,…,0]" padded to the exact size: valid JSON that is merely too large.
    bytes = std::max<qint64>(bytes, 3);
    const qint64 elements = (bytes - 1) / 2;
    QByteArray body = '[' + QByteArrayLiteral("0,").repeated(elements);
    body[body.size() - 1] = ' ';
    body.resize(bytes - 1, ' ');
    body += ']';
    return body;
}

int logoSize(const QString &name)
{
    if (name == QLatin1String("thumb"))
        return 32;
    if (name == QLatin1String("small"))
        return 64;
    if (name == QLatin1String("standard"))
        return 96;
    if (name == QLatin1String("large"))
        return 128;
    return 0;
}

} // namespace

FakeMarketFault FakeMarketFault::gzipBomb(qint64 inflatedBytes)
{
    FakeMarketFault fault;
    fault.body = Body::GzipBomb;
    fault.oversizedBytes = inflatedBytes;
    // Made here rather than when answering, so that a test pays for it before the clock runs.
    fault.givenBody = gzipOfSpaces(inflatedBytes);
    return fault;
}

struct FakeMarket::Private
{
    Server server;
    // Declared after the server so that pending answers go before the sockets they write to.
    QObject writers;
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTimeUtc(); };
    TickerBook binance {Exchange::Binance, recordedInstruments(Exchange::Binance)};
    TickerBook okx {Exchange::Okx, recordedInstruments(Exchange::Okx)};
    TickerBook bybit {Exchange::Bybit, recordedInstruments(Exchange::Bybit)};
    // Coinbase and Kraken list what Binance lists, quoted in US dollars; their
    // answers are written in their own shapes from these books.
    TickerBook coinbase {Exchange::Binance, recordedInstruments(Exchange::Binance)};
    TickerBook kraken {Exchange::Binance, recordedInstruments(Exchange::Binance)};
    std::atomic<qint64> bytesOnWire {0};
    RateTables rates;
    QHash<QString, QByteArray> logos;

    struct FaultRule
    {
        QString host;
        QString path; // empty: any
        FakeMarketFault fault;
        int remaining; // queued rules only
    };
    QList<FaultRule> queued;
    QList<FaultRule> permanent;
    QList<FakeMarketRequest> log;
    quint16 port = 0;

    qint64 nowMs() const { return clock().toMSecsSinceEpoch(); }

    QList<TickerBook *> books(const QString &exchange)
    {
        if (exchange == QLatin1String("binance"))
            return {&binance};
        if (exchange == QLatin1String("okx"))
            return {&okx};
        if (exchange == QLatin1String("bybit"))
            return {&bybit};
        if (exchange == QLatin1String("coinbase"))
            return {&coinbase};
        if (exchange == QLatin1String("kraken"))
            return {&kraken};
        qCWarning(lcFakeMarket) << "No such exchange:" << exchange;
        return {};
    }

    std::optional<FakeMarketFault> takeFault(const QString &host, const QString &path)
    {
        const auto matches = [&](const FaultRule &rule) {
            return rule.host == host && (rule.path.isEmpty() || FakeMarket::pathMatches(rule.path, path));
        };
        for (qsizetype i = 0; i < queued.size(); ++i) {
            if (!matches(queued.at(i)))
                continue;
            FakeMarketFault fault = queued.at(i).fault;
            if (--queued[i].remaining <= 0)
                queued.removeAt(i);
            return fault;
        }
        for (const FaultRule &rule : std::as_const(permanent)) {
            if (matches(rule))
                return rule.fault;
        }
        return std::nullopt;
    }

    QList<TickerBook *> allBooks() { return {&binance, &okx, &bybit, &coinbase, &kraken}; }

    ResponsePlan answer(
        const QString &host, const QString &path, const QUrlQuery &query, qint64 now, FakeMarketFault::Candles defect)
    {
        if (isBinance(host) && path == binanceTickerPath)
            return binanceAnswer(query, now);
        if (host == FakeMarketHost::okx && path == QLatin1String("/api/v5/market/ticker")) {
            const QByteArray instId = query.queryItemValue(QStringLiteral("instId"), QUrl::FullyDecoded).toUtf8();
            const std::optional<QByteArray> ticker = okx.ticker(instId, now);
            if (!ticker)
                return json(
                    200, QByteArrayLiteral(R"({"code":"51001","data":[],"msg":"Instrument ID does not exist"})"));
            return json(200, R"({"code":"0","msg":"","data":[)" + *ticker + "]}");
        }
        if (host == FakeMarketHost::coinbase && path.startsWith(QLatin1String("/products/"))
            && path.endsWith(QLatin1String("-USD/stats")))
            return coinbaseAnswer(path.mid(10).chopped(10), now);
        if (host == FakeMarketHost::kraken && path == QLatin1String("/0/public/Ticker"))
            return krakenAnswer(query, now);
        if (host == FakeMarketHost::okx && path == QLatin1String("/api/v5/market/tickers")) {
            if (query.queryItemValue(QStringLiteral("instType")) != QLatin1String("SPOT"))
                return json(400, QByteArrayLiteral(R"({"code":"51000","msg":"Parameter instType error","data":[]})"));
            return json(200, okx.allTickers(now));
        }
        if (host == FakeMarketHost::bybit && path == QLatin1String("/v5/market/tickers"))
            return bybitAnswer(query, now);
        if (isBinance(host) && path == QLatin1String("/api/v3/klines"))
            return candles(binance, query, QStringLiteral("symbol"), QStringLiteral("USDT"), now, defect);
        if (host == FakeMarketHost::okx && path == QLatin1String("/api/v5/market/candles"))
            return candles(okx, query, QStringLiteral("instId"), QStringLiteral("-USDT"), now, defect);
        if (host == FakeMarketHost::bybit && path == QLatin1String("/v5/market/kline"))
            return candles(bybit, query, QStringLiteral("symbol"), QStringLiteral("USDT"), now, defect);
        if (host == FakeMarketHost::coinbase && path.startsWith(QLatin1String("/products/"))
            && path.endsWith(QLatin1String("-USD/candles")))
            return coinbaseCandles(path.mid(10).chopped(12), query, now, defect);
        if (host == FakeMarketHost::kraken && path == QLatin1String("/0/public/OHLC"))
            return krakenCandles(query, now, defect);
        if (host == FakeMarketHost::erApi && path == QLatin1String("/v6/latest/USD"))
            return json(200, rates.erApiLatestUsd());
        if ((host == FakeMarketHost::currencyApiCdn
                && path == QLatin1String("/npm/@fawazahmed0/currency-api@latest/v1/currencies/usd.min.json"))
            || (host == FakeMarketHost::currencyApiMirror && path == QLatin1String("/v1/currencies/usd.min.json"))) {
            return json(200, rates.currencyApiUsd(), QByteArrayLiteral("application/json; charset=utf-8"));
        }
        if (host == FakeMarketHost::coinImages || host == FakeMarketHost::coinAssets)
            return logoAnswer(path);
        return notFound();
    }

    // The 15-minute candles of one USDT pair; an unknown pair is the
    // exchange's "no such symbol" (Binance's 400, an empty list elsewhere).
    ResponsePlan candles(TickerBook &book, const QUrlQuery &query, const QString &pairKey, const QString &suffix,
        qint64 now, FakeMarketFault::Candles defect)
    {
        const QString pair = query.queryItemValue(pairKey);
        const int limit = query.queryItemValue(QStringLiteral("limit")).toInt();
        const QString coin = pair.endsWith(suffix) ? pair.chopped(suffix.size()) : QString();
        const std::optional<double> price = coin.isEmpty() ? std::nullopt : book.currentPrice(coin, now);
        const CandleFormat format = book.exchange() == Exchange::Binance ? CandleFormat::Binance
            : book.exchange() == Exchange::Okx                           ? CandleFormat::Okx
                                                                         : CandleFormat::Bybit;
        if (!price) {
            if (book.exchange() == Exchange::Binance)
                return binanceError(-1121, QStringLiteral("Invalid symbol."));
            return json(200, candleAnswer(format, pair.toUtf8(), 1, 0, now));
        }
        return json(200, candleAnswer(format, pair.toUtf8(), *price, limit > 0 ? limit : 500, now, defect));
    }

    // Coinbase's candles of "<coin>-USD" from `start` (ISO 8601; the newest
    // 300 without it) to the open one, newest first; more than 300 are refused.
    ResponsePlan coinbaseCandles(
        const QString &coin, const QUrlQuery &query, qint64 now, FakeMarketFault::Candles defect)
    {
        const std::optional<double> price = coinbase.currentPrice(coin, now);
        if (!price)
            return json(404, QByteArrayLiteral(R"({"message":"NotFound"})"));
        if (query.queryItemValue(QStringLiteral("granularity")) != QLatin1String("900"))
            return json(400, QByteArrayLiteral(R"({"message":"Unsupported granularity"})"));
        constexpr qint64 slotMs = 900 * 1000;
        qint64 limit = 300;
        if (query.hasQueryItem(QStringLiteral("start"))) {
            const QDateTime start
                = QDateTime::fromString(query.queryItemValue(QStringLiteral("start"), QUrl::FullyDecoded), Qt::ISODate);
            if (!start.isValid())
                return json(400, QByteArrayLiteral(R"({"message":"Invalid start"})"));
            const qint64 startMs = start.toMSecsSinceEpoch();
            const qint64 first = startMs + (slotMs - startMs % slotMs) % slotMs;
            limit = std::max<qint64>((now - now % slotMs - first) / slotMs + 1, 0);
        }
        if (limit > 300)
            return json(400,
                QByteArrayLiteral(R"({"message":"granularity too small for the requested time range. )"
                                  R"(Count of aggregations requested exceeds 300"})"));
        return json(200, candleAnswer(CandleFormat::Coinbase, coin.toUtf8() + "-USD", *price, int(limit), now, defect));
    }

    // Kraken's candles of "<asset>USD" after `since` (every one it keeps, up
    // to 720, without it), oldest first, keyed as its ticker answer keys them.
    ResponsePlan krakenCandles(const QUrlQuery &query, qint64 now, FakeMarketFault::Candles defect)
    {
        const QString pair = query.queryItemValue(QStringLiteral("pair"), QUrl::FullyDecoded);
        const QString coin = pair.endsWith(QLatin1String("USD")) ? coinOfKrakenAsset(pair.chopped(3)) : QString();
        const std::optional<double> price = coin.isEmpty() ? std::nullopt : kraken.currentPrice(coin, now);
        if (!price)
            return json(200, QByteArrayLiteral(R"({"error":["EQuery:Unknown asset pair"]})"));
        if (query.queryItemValue(QStringLiteral("interval")) != QLatin1String("15"))
            return json(200, QByteArrayLiteral(R"({"error":["EGeneral:Invalid arguments"]})"));
        constexpr qint64 slotMs = 900 * 1000;
        const qint64 nowOpen = now - now % slotMs;
        int limit = 720;
        if (query.hasQueryItem(QStringLiteral("since"))) {
            bool ok = false;
            const qint64 since = query.queryItemValue(QStringLiteral("since")).toLongLong(&ok) * 1000;
            if (!ok)
                return json(200, QByteArrayLiteral(R"({"error":["EGeneral:Invalid arguments"]})"));
            const qint64 first = since + slotMs - since % slotMs;
            limit = int(std::clamp<qint64>((nowOpen - first) / slotMs + 1, 0, 720));
        }
        return json(200, candleAnswer(CandleFormat::Kraken, krakenResultKey(coin), *price, limit, now, defect));
    }

    ResponsePlan binanceAnswer(const QUrlQuery &query, qint64 now)
    {
        const bool one = query.hasQueryItem(QStringLiteral("symbol"));
        const bool many = query.hasQueryItem(QStringLiteral("symbols"));
        if (one && many)
            return binanceError(-1128, QStringLiteral("Combination of optional parameters invalid."));
        if (one) {
            const QByteArray pair = query.queryItemValue(QStringLiteral("symbol"), QUrl::FullyDecoded).toUtf8();
            const std::optional<QByteArray> ticker = binance.ticker(pair, now);
            if (!ticker)
                return binanceError(-1121, QStringLiteral("Invalid symbol."));
            return json(200, *ticker, binanceJsonType);
        }
        if (!many)
            return json(200, binance.allTickers(now), binanceJsonType);

        // Binance accepts only a compact JSON array of quoted upper-case pairs.
        static const QRegularExpression form(QStringLiteral(R"(^\[("[A-Z0-9_.-]{1,20}"(,"[A-Z0-9_.-]{1,20}")*)?\]$)"));
        const QString value = query.queryItemValue(QStringLiteral("symbols"), QUrl::FullyDecoded);
        if (!form.match(value).hasMatch()) {
            return binanceError(-1100,
                QStringLiteral("Illegal characters found in parameter 'symbols'; legal range "
                               "is '^\\[(\"[A-Z0-9-_.]{1,20}\"(,\"[A-Z0-9-_.]{1,20}\"){0,}){0,1}\\]$'."));
        }
        QByteArray body = "[";
        const QStringList pairs = value.mid(1, value.size() - 2).split(u',', Qt::SkipEmptyParts);
        for (const QString &quotedPair : pairs) {
            const std::optional<QByteArray> ticker
                = binance.ticker(quotedPair.mid(1, quotedPair.size() - 2).toUtf8(), now);
            if (!ticker)
                return binanceError(-1121, QStringLiteral("Invalid symbol."));
            if (body.size() > 1)
                body += ',';
            body += *ticker;
        }
        body += ']';
        return json(200, body, binanceJsonType);
    }

    ResponsePlan bybitAnswer(const QUrlQuery &query, qint64 now)
    {
        const auto failure = [&](const char *message) {
            return json(200,
                R"({"retCode":10001,"retMsg":")" + QByteArray(message) + R"(","result":{},"retExtInfo":{},"time":)"
                    + QByteArray::number(now) + '}');
        };
        if (query.queryItemValue(QStringLiteral("category")) != QLatin1String("spot"))
            return failure("Illegal category");
        if (!query.hasQueryItem(QStringLiteral("symbol")))
            return json(200, bybit.allTickers(now));
        const QByteArray symbol = query.queryItemValue(QStringLiteral("symbol"), QUrl::FullyDecoded).toUtf8();
        const std::optional<QByteArray> ticker = bybit.ticker(symbol, now);
        if (!ticker)
            return failure("Not supported symbols");
        return json(200,
            R"({"retCode":0,"retMsg":"OK","result":{"category":"spot","list":[)" + *ticker
                + R"(]},"retExtInfo":{},"time":)" + QByteArray::number(now) + '}');
    }

    ResponsePlan coinbaseAnswer(const QString &coin, qint64 now)
    {
        const std::optional<LiveQuote> quote = coinbase.liveQuote(coin, now);
        if (!quote)
            return json(404, QByteArrayLiteral(R"({"message":"NotFound"})"));
        const int decimals = std::clamp(5 - int(std::floor(std::log10(std::max(quote->price, 1e-9)))), 2, 12);
        const auto number
            = [&](double value) -> QByteArray { return '"' + QByteArray::number(value, 'f', decimals) + '"'; };
        const double open = quote->open > 0 ? quote->open : quote->price;
        const QByteArray last = quote->priceText.isNull() ? number(quote->price) : '"' + quote->priceText + '"';
        return json(200,
            R"({"open":)" + number(open) + R"(,"high":)" + number(std::max(open, quote->price) * 1.01) + R"(,"low":)"
                + number(std::min(open, quote->price) * 0.99) + R"(,"volume":"12345.67890123","last":)" + last
                + R"(,"volume_30day":"345678.12345678"})");
    }

    ResponsePlan krakenAnswer(const QUrlQuery &query, qint64 now)
    {
        QStringList coins;
        if (query.hasQueryItem(QStringLiteral("pair"))) {
            const QStringList pairs
                = query.queryItemValue(QStringLiteral("pair"), QUrl::FullyDecoded).split(u',', Qt::SkipEmptyParts);
            for (const QString &pair : pairs) {
                const QString coin
                    = pair.endsWith(QLatin1String("USD")) ? coinOfKrakenAsset(pair.chopped(3)) : QString();
                // One pair Kraken does not list fails the whole request, as it does.
                if (coin.isEmpty() || !kraken.liveQuote(coin, now))
                    return json(200, QByteArrayLiteral(R"({"error":["EQuery:Unknown asset pair"]})"));
                coins.append(coin);
            }
        } else {
            coins = kraken.liveCoins();
        }
        QByteArray result;
        for (const QString &coin : std::as_const(coins)) {
            const std::optional<LiveQuote> quote = kraken.liveQuote(coin, now);
            if (!quote)
                continue;
            const int decimals = std::clamp(5 - int(std::floor(std::log10(std::max(quote->price, 1e-9)))), 1, 10);
            const auto number
                = [&](double value) -> QByteArray { return '"' + QByteArray::number(value, 'f', decimals) + '"'; };
            const QByteArray last = quote->priceText.isNull() ? number(quote->price) : '"' + quote->priceText + '"';
            const QByteArray open = number(quote->open > 0 ? quote->open : quote->price);
            if (!result.isEmpty())
                result += ',';
            result += '"' + krakenResultKey(coin) + R"(":{"a":[)" + last + R"(,"1","1.000"],"b":[)" + last
                + R"(,"2","2.000"],"c":[)" + last + R"(,"0.01000000"],"v":["1234.5","2345.6"],"p":[)" + last + ','
                + last + R"(],"t":[1234,2345],"l":[)" + open + ',' + open + R"(],"h":[)" + last + ',' + last
                + R"(],"o":)" + open + '}';
        }
        return json(200, R"({"error":[],"result":{)" + result + "}}");
    }

    ResponsePlan logoAnswer(const QString &path)
    {
        static const QRegularExpression form(QStringLiteral(R"(^/coins/images/\d+/([a-z]+)/([^/]+)$)"));
        const QRegularExpressionMatch match = form.match(path);
        const int size = match.hasMatch() ? logoSize(match.captured(1)) : 0;
        if (size == 0)
            return notFound();
        const QString file = match.captured(2);
        const bool svg = file.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
        const QString key = QString::number(size) + u'/' + file;
        QByteArray image = logos.value(key);
        if (image.isNull()) {
            image = svg ? logoSvg(file.toUtf8(), size) : logoPng(file.toUtf8(), size);
            if (logos.size() > 256)
                logos.clear();
            logos.insert(key, image);
        }
        ResponsePlan plan;
        plan.headers = {{QByteArrayLiteral("Content-Type"),
            svg ? QByteArrayLiteral("image/svg+xml") : QByteArrayLiteral("image/png")}};
        plan.body = image;
        return plan;
    }

    void apply(const FakeMarketFault &fault, ResponsePlan &plan, const QString &host, qint64 now)
    {
        if (fault.status)
            plan.status = *fault.status;
        const auto setBody = [&](QByteArray body) {
            const bool isJson = body.startsWith('{') || body.startsWith('[');
            plan.headers = {{QByteArrayLiteral("Content-Type"), isJson ? jsonType : QByteArrayLiteral("text/plain")}};
            plan.body = std::move(body);
        };
        switch (fault.body) {
        case FakeMarketFault::Body::Normal:
            break;
        case FakeMarketFault::Body::Given:
            setBody(fault.givenBody);
            break;
        case FakeMarketFault::Body::Typical:
            setBody(typicalErrorBody(host, plan.status, now));
            break;
        case FakeMarketFault::Body::Oversized:
            setBody(oversizedJson(fault.oversizedBytes));
            break;
        case FakeMarketFault::Body::Malformed:
            plan.body.chop(1);
            break;
        case FakeMarketFault::Body::GzipBomb:
            plan.headers = {{QByteArrayLiteral("Content-Type"), jsonType},
                {QByteArrayLiteral("Content-Encoding"), QByteArrayLiteral("gzip")}};
            plan.body = fault.givenBody;
            break;
        }
        plan.headers.append(fault.headers);
        plan.contentLength = fault.contentLength;
        plan.delay = fault.delay;
        switch (fault.delivery) {
        case FakeMarketFault::Delivery::Whole:
            break;
        case FakeMarketFault::Delivery::Trickle:
            plan.trickleInterval = std::max(fault.trickleInterval, std::chrono::milliseconds(1));
            break;
        case FakeMarketFault::Delivery::Truncate:
            plan.sendLimit = fault.truncateAfter < 0 ? plan.body.size() / 2
                                                     : std::min<qint64>(fault.truncateAfter, plan.body.size());
            break;
        case FakeMarketFault::Delivery::Hang:
            plan.hang = true;
            break;
        case FakeMarketFault::Delivery::Disconnect:
            plan.disconnect = true;
            break;
        }
    }
};

FakeMarket::FakeMarket(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    d->server.handler = [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
        handle(request, std::move(responder));
    };
}

FakeMarket::~FakeMarket() = default;

quint16 FakeMarket::listen(quint16 port)
{
    d->port = d->server.listen(QHostAddress::LocalHost, port);
    if (d->port == 0)
        qCWarning(lcFakeMarket) << "Cannot listen on port" << port;
    return d->port;
}

quint16 FakeMarket::port() const
{
    return d->port;
}

QList<std::pair<QString, QString>> FakeMarket::candleEndpoints()
{
    return {
        {FakeMarketHost::binance, QStringLiteral("/api/v3/klines")},
        {FakeMarketHost::binanceData, QStringLiteral("/api/v3/klines")},
        {FakeMarketHost::okx, QStringLiteral("/api/v5/market/candles")},
        {FakeMarketHost::bybit, QStringLiteral("/v5/market/kline")},
        {FakeMarketHost::coinbase, QStringLiteral("/products/*/candles")},
        {FakeMarketHost::kraken, QStringLiteral("/0/public/OHLC")},
    };
}

bool FakeMarket::pathMatches(const QString &pattern, const QString &path)
{
    const qsizetype star = pattern.indexOf(u'*');
    if (star < 0)
        return pattern == path;
    return path.size() >= pattern.size() - 1 && path.startsWith(QStringView(pattern).left(star))
        && path.endsWith(QStringView(pattern).mid(star + 1));
}

QStringList FakeMarket::hosts()
{
    return {FakeMarketHost::binance, FakeMarketHost::binanceData, FakeMarketHost::okx, FakeMarketHost::bybit,
        FakeMarketHost::coinbase, FakeMarketHost::kraken, FakeMarketHost::erApi, FakeMarketHost::currencyApiCdn,
        FakeMarketHost::currencyApiMirror, FakeMarketHost::coinImages, FakeMarketHost::coinAssets};
}

QString FakeMarket::hostMap() const
{
    QStringList pairs;
    for (const QString &host : hosts())
        pairs.append(host + u'=' + url(host, {}).toString());
    return pairs.join(u',');
}

QUrl FakeMarket::url(const QString &host, const QString &pathAndQuery) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:") + QString::number(d->port) + u'/' + host + pathAndQuery);
}

void FakeMarket::setClock(std::function<QDateTime()> clock)
{
    d->clock = std::move(clock);
}

void FakeMarket::setDriftEnabled(bool enabled)
{
    for (TickerBook *book : d->allBooks())
        book->setDriftEnabled(enabled);
}

namespace {

QSet<QString> coinSet(const QStringList &symbols)
{
    QSet<QString> coins;
    for (const QString &symbol : symbols)
        coins.insert(symbol.toUpper());
    return coins;
}

} // namespace

void FakeMarket::setListed(const QString &exchange, const QStringList &symbols)
{
    for (TickerBook *book : d->books(exchange))
        book->setListed(coinSet(symbols));
}

void FakeMarket::delist(const QString &exchange, const QStringList &symbols)
{
    for (TickerBook *book : d->books(exchange))
        book->delist(coinSet(symbols));
}

void FakeMarket::resetListings()
{
    for (TickerBook *book : d->allBooks())
        book->resetListings();
}

bool FakeMarket::isListed(const QString &exchange, const QString &symbol) const
{
    const QList<TickerBook *> books = d->books(exchange);
    return !books.isEmpty() && books.first()->isListed(symbol.toUpper());
}

void FakeMarket::setQuote(const QString &symbol, double priceUsd, double change24hPercent)
{
    for (TickerBook *book : d->allBooks())
        book->setExactQuote(symbol.toUpper(), {priceUsd, change24hPercent});
}

void FakeMarket::setQuote(const QString &exchange, const QString &symbol, double priceUsd, double change24hPercent)
{
    for (TickerBook *book : d->books(exchange))
        book->setExactQuote(symbol.toUpper(), {priceUsd, change24hPercent});
}

void FakeMarket::setQuoteText(const QString &exchange, const QString &symbol, const QByteArray &priceText)
{
    for (TickerBook *book : d->books(exchange))
        book->setExactQuote(symbol.toUpper(), {1.0, 0.0, priceText.isNull() ? QByteArray("") : priceText});
}

void FakeMarket::clearQuotes()
{
    for (TickerBook *book : d->allBooks())
        book->clearExactQuotes();
}

void FakeMarket::setUsdRate(const QString &currency, double rate)
{
    d->rates.setUsdRate(currency, rate);
}

void FakeMarket::resetRates()
{
    d->rates.resetRates();
}

void FakeMarket::padBook(const QString &exchange, qsizetype instruments)
{
    for (TickerBook *book : d->books(exchange))
        book->padTo(instruments);
}

qint64 FakeMarket::bytesOnWire() const
{
    return d->bytesOnWire.load();
}

void FakeMarket::queueFault(const QString &host, const FakeMarketFault &fault, int count)
{
    queueFault(host, {}, fault, count);
}

void FakeMarket::queueFault(const QString &host, const QString &path, const FakeMarketFault &fault, int count)
{
    if (count > 0)
        d->queued.append({host, path, fault, count});
}

void FakeMarket::setFault(const QString &host, const FakeMarketFault &fault)
{
    setFault(host, {}, fault);
}

void FakeMarket::setFault(const QString &host, const QString &path, const FakeMarketFault &fault)
{
    d->permanent.append({host, path, fault, 0});
}

void FakeMarket::clearFaults()
{
    d->queued.clear();
    d->permanent.clear();
}

void FakeMarket::clearFaults(const QString &host)
{
    const auto ofHost = [&](const Private::FaultRule &rule) { return rule.host == host; };
    d->queued.removeIf(ofHost);
    d->permanent.removeIf(ofHost);
}

QList<FakeMarketRequest> FakeMarket::requests() const
{
    return d->log;
}

int FakeMarket::requestCount() const
{
    return static_cast<int>(d->log.size());
}

int FakeMarket::requestCount(const QString &host) const
{
    return static_cast<int>(
        std::count_if(d->log.cbegin(), d->log.cend(), [&](const FakeMarketRequest &r) { return r.host == host; }));
}

int FakeMarket::requestCount(const QString &host, const QString &path) const
{
    return static_cast<int>(std::count_if(
        d->log.cbegin(), d->log.cend(), [&](const FakeMarketRequest &r) { return r.host == host && r.path == path; }));
}

void FakeMarket::clearLog()
{
    d->log.clear();
}

void FakeMarket::handle(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    const QUrl url = request.url();
    // "/<host>/<path>": the host map put the real host in front of the real path.
    const QString full = url.path(QUrl::FullyDecoded);
    const qsizetype slash = full.indexOf(u'/', 1);
    FakeMarketRequest entry;
    entry.host = full.mid(1, slash < 0 ? -1 : slash - 1);
    entry.path = slash < 0 ? QStringLiteral("/") : full.mid(slash);
    entry.query = url.query(QUrl::FullyEncoded);
    entry.time = d->clock();
    d->log.append(entry);

    const qint64 now = entry.time.toMSecsSinceEpoch();
    const std::optional<FakeMarketFault> fault = d->takeFault(entry.host, entry.path);
    ResponsePlan plan;
    if (request.method() != QHttpServerRequest::Method::Get) {
        plan.status = 405;
        plan.headers = {{QByteArrayLiteral("Content-Type"), QByteArrayLiteral("text/plain")}};
        plan.body = QByteArrayLiteral("Method Not Allowed\n");
    } else {
        plan = d->answer(
            entry.host, entry.path, QUrlQuery(url), now, fault ? fault->candles : FakeMarketFault::Candles::Whole);
    }
    if (fault) {
        d->apply(*fault, plan, entry.host, now);
    } else if (request.value(QByteArrayLiteral("Accept-Encoding")).contains("gzip") && plan.body.size() > 0) {
        // As the exchanges' servers do for a client that accepts it.
        QByteArray compressed = gzipped(plan.body);
        if (!compressed.isEmpty() && compressed.size() < plan.body.size()) {
            plan.body = std::move(compressed);
            plan.headers.append({QByteArrayLiteral("Content-Encoding"), QByteArrayLiteral("gzip")});
        }
    }

    // What crosses the socket to the real host: "GET <target> HTTP/1.1" (the
    // target without the "/<host>" the host map put in front), the headers,
    // the blank line; then the status line, the headers and the body as sent.
    const qsizetype target = url.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::FullyEncoded).size();
    qint64 wire = 4 + target - (entry.host.size() + 1) + 11 + 2;
    for (const auto &[name, value] : request.headers())
        wire += name.size() + 2 + value.size() + 2;
    wire += 2 + 17;
    for (const auto &[name, value] : std::as_const(plan.headers))
        wire += name.size() + 2 + value.size() + 2;
    wire += 16 + QByteArray::number(plan.body.size()).size() + 2 + 2;
    wire += plan.sendLimit < 0 ? plan.body.size() : std::min(plan.sendLimit, plan.body.size());
    d->bytesOnWire += wire;

    auto *writer = new ResponseWriter(std::move(responder), std::move(plan), &d->writers);
    writer->start();
    Q_EMIT requestReceived(entry);
}

} // namespace Vantrell
