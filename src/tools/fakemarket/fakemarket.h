// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QHttpServerRequest;
class QHttpServerResponder;

namespace Vantrell {

// The real hosts the fake market stands in for.
namespace FakeMarketHost {
inline constexpr QLatin1String binance {"api.binance.com"};
inline constexpr QLatin1String binanceData {"data-api.binance.vision"};
inline constexpr QLatin1String okx {"www.okx.com"};
inline constexpr QLatin1String bybit {"api.bybit.com"};
inline constexpr QLatin1String coinbase {"api.exchange.coinbase.com"};
inline constexpr QLatin1String kraken {"api.kraken.com"};
inline constexpr QLatin1String erApi {"open.er-api.com"};
inline constexpr QLatin1String currencyApiCdn {"cdn.jsdelivr.net"};
inline constexpr QLatin1String currencyApiMirror {"latest.currency-api.pages.dev"};
inline constexpr QLatin1String coinImages {"coin-images.coingecko.com"};
inline constexpr QLatin1String coinAssets {"assets.coingecko.com"};
} // namespace FakeMarketHost

// A scripted misbehaviour: what is answered instead of the normal answer, and
// how it is delivered. Build one with a factory and refine it with the with…()
// modifiers, e.g. FakeMarketFault::httpStatus(429).withRetryAfter("30").
struct FakeMarketFault
{
    enum class Body {
        Normal, // the normal answer
        Given, // `givenBody`
        Typical, // what the real host sends with `status` (Binance's and OKX's rate-limit bodies), else empty
        Oversized, // a valid JSON array of `oversizedBytes` bytes
        Malformed, // the normal answer without its last byte
        // `givenBody` with Content-Encoding: gzip: made by gzipBomb() from
        // `oversizedBytes` of JSON white space, a small answer that inflates
        // far past any size cap.
        GzipBomb,
    };
    enum class Delivery {
        Whole,
        Trickle, // the body a byte every `trickleInterval`
        Truncate, // Content-Length of the whole body, `truncateAfter` bytes of it, then the connection drops
        Hang, // nothing at all until the client gives up
        // The connection closes without an answer. Qt's client resends once when
        // this happens on a reused connection: queue it twice or set it permanently.
        Disconnect,
    };
    // What a candle answer lacks or has wrong; other answers ignore it.
    enum class Candles {
        Whole,
        Empty, // the exchange's envelope without a candle
        OutOfOrder, // neighbouring candles swapped
        Gap, // four candles in the middle missing
        ZeroClose, // the middle candle's prices all 0
    };

    std::optional<int> status;
    Body body = Body::Normal;
    QByteArray givenBody;
    qint64 oversizedBytes = 9 * 1024 * 1024;
    // Without Content-Length the body ends when the connection closes.
    bool contentLength = true;
    QList<std::pair<QByteArray, QByteArray>> headers;
    std::chrono::milliseconds delay {0};
    Delivery delivery = Delivery::Whole;
    std::chrono::milliseconds trickleInterval {0};
    // -1: half of the body.
    qint64 truncateAfter = -1;
    Candles candles = Candles::Whole;

    // `status` with `body`; an empty body means the host's typical one.
    static FakeMarketFault httpStatus(int status, QByteArray body = {});
    // HTTP 200 with OKX's rate-limit body {"code":"50011",...}.
    static FakeMarketFault okxRateLimit();
    // HTTP 200 with Bybit's per-user rate-limit body (retCode 10006).
    static FakeMarketFault bybitRateLimit();
    static FakeMarketFault delayed(std::chrono::milliseconds delay);
    static FakeMarketFault trickled(std::chrono::milliseconds perByte);
    static FakeMarketFault truncated(qint64 bytesSent = -1);
    static FakeMarketFault oversized(qint64 bytes = 9 * 1024 * 1024, bool withContentLength = true);
    static FakeMarketFault malformedJson();
    static FakeMarketFault gzipBomb(qint64 inflatedBytes = 256 * 1024 * 1024);
    static FakeMarketFault hang();
    static FakeMarketFault disconnect();
    // A candle answer with `defect`.
    static FakeMarketFault candleDefect(Candles defect);

    FakeMarketFault withRetryAfter(const QByteArray &value) const;
    FakeMarketFault withHeader(const QByteArray &name, const QByteArray &value) const;
    FakeMarketFault withDelay(std::chrono::milliseconds delay) const;
    FakeMarketFault withTrickle(std::chrono::milliseconds perByte) const;
    FakeMarketFault withTruncation(qint64 bytesSent = -1) const;
};

// One request as the fake market received it.
struct FakeMarketRequest
{
    QString host; // the real host, e.g. "api.binance.com"
    QString path; // the real path, e.g. "/api/v3/ticker/24hr"
    QString query; // percent-encoded, without "?"
    QDateTime time;

    // The decoded value of a query item; empty when absent.
    QString queryItem(const QString &key) const;
};

// An HTTP server on 127.0.0.1 that answers like the exchanges, the rate
// services and the logo hosts, each under a path prefix on one port:
// http://127.0.0.1:<port>/<host><path>?<query>. Answers come from recorded data
// made to look live (fresh timestamps, prices drifting a little every second);
// tests control listings, exact prices, rates and scripted faults. Lives on the
// thread that creates it.
class FakeMarket final : public QObject
{
    Q_OBJECT

public:
    explicit FakeMarket(QObject *parent = nullptr);
    ~FakeMarket() override;

    // Starts serving; 0 picks a free port. Returns the port, 0 on failure.
    quint16 listen(quint16 port = 0);
    quint16 port() const;

    // Every host served, and the VANTRELL_HOST_MAP value that sends them here.
    static QStringList hosts();
    QString hostMap() const;
    // http://127.0.0.1:<port>/<host><pathAndQuery>
    QUrl url(const QString &host, const QString &pathAndQuery) const;

    // Time for timestamps and drift (default: the system clock, UTC).
    void setClock(std::function<QDateTime()> clock);
    // With drift off, prices stay as recorded; timestamps still follow the clock.
    void setDriftEnabled(bool enabled);

    // Exchanges by their provider names: "binance" (both hosts), "okx", "bybit",
    // "coinbase", "kraken". Symbols are coin symbols ("BTC") of USDT pairs (USD
    // pairs on Coinbase and Kraken, which list what Binance lists).
    // Only these coins stay listed on the exchange.
    void setListed(const QString &exchange, const QStringList &symbols);
    void delist(const QString &exchange, const QStringList &symbols);
    void resetListings();
    bool isListed(const QString &exchange, const QString &symbol) const;
    // An exact price and 24-hour change, without drift, on one or every exchange;
    // a coin the exchange does not have is added.
    void setQuote(const QString &symbol, double priceUsd, double change24hPercent);
    void setQuote(const QString &exchange, const QString &symbol, double priceUsd, double change24hPercent);
    // A last price written verbatim ("", "0", "-1", "NaN", "1e400") on one exchange.
    void setQuoteText(const QString &exchange, const QString &symbol, const QByteArray &priceText);
    void clearQuotes();
    // Units of `currency` per US dollar, in every rate service's answer.
    void setUsdRate(const QString &currency, double rate);
    void resetRates();

    // Every exchange host with the path of its 15-minute candle endpoint, as
    // the fault calls take them.
    static QList<std::pair<QString, QString>> candleEndpoints();
    // Whether a fault's `pattern` (a path, "*" standing for any text) covers `path`.
    static bool pathMatches(const QString &pattern, const QString &path);

    // The next `count` requests to the host (and path, when given; a "*" in it
    // stands for any text) get the fault.
    // Queued faults apply in the order queued, before permanent ones.
    void queueFault(const QString &host, const FakeMarketFault &fault, int count = 1);
    void queueFault(const QString &host, const QString &path, const FakeMarketFault &fault, int count = 1);
    // Every request to the host (and path) gets the fault until cleared.
    void setFault(const QString &host, const FakeMarketFault &fault);
    void setFault(const QString &host, const QString &path, const FakeMarketFault &fault);
    void clearFaults();
    void clearFaults(const QString &host);

    // Pads an exchange's whole book with made-up pairs of another quote
    // currency up to `instruments`, as large as the real book.
    void padBook(const QString &exchange, qsizetype instruments);

    // Bytes both ways of every answer so far, as they crossed the socket:
    // request line and headers in, status line, headers and (compressed) body out.
    qint64 bytesOnWire() const;

    QList<FakeMarketRequest> requests() const;
    int requestCount() const;
    int requestCount(const QString &host) const;
    int requestCount(const QString &host, const QString &path) const;
    void clearLog();

Q_SIGNALS:
    void requestReceived(const Vantrell::FakeMarketRequest &request);

private:
    struct Private;

    void handle(const QHttpServerRequest &request, QHttpServerResponder &&responder);

    std::unique_ptr<Private> d;
};

} // namespace Vantrell

Q_DECLARE_METATYPE(Vantrell::FakeMarketRequest)
