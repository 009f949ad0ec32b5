// SPDX-License-Identifier: GPL-3.0-or-later
#include "market/decimal.h"
#include "market/jsonbuffer.h"
#include "market/tickerproviders.h"

#include "fakeclock.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QUrlQuery>

#include <algorithm>

Q_DECLARE_METATYPE(Vantrell::HttpResponse)

using namespace Vantrell;

namespace {

// The recorded Binance answer was saved a minute after its newest ticker closed.
const QDateTime recordedNow = QDateTime::fromMSecsSinceEpoch(1710038820248 + 60 * 1000, Qt::UTC);
const QDateTime now = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
const qint64 nowMs = now.toMSecsSinceEpoch();

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

QSet<QString> symbols(const QStringList &list)
{
    return QSet<QString>(list.cbegin(), list.cend());
}

// "BTC 100 25; ETH 5 -" — sorted, comparable in one QCOMPARE, or the error.
QString describe(const Result<QuoteMap> &result)
{
    if (!result.ok())
        return QStringLiteral("error ") + codeName(result.error().code)
            + (result.error().code == MarketError::Code::rateLimited ? QStringLiteral(" ")
                        + (result.error().retryAfter ? QString::number(*result.error().retryAfter)
                                                     : QStringLiteral("-"))
                                                                     : QString());
    QStringList parts;
    for (auto it = result->cbegin(); it != result->cend(); ++it) {
        parts.append(it.key() + QLatin1Char(' ') + QString::number(it->priceUsd, 'g', 12) + QLatin1Char(' ')
            + (it->change24hPercent ? QString::number(*it->change24hPercent, 'g', 12) : QStringLiteral("-")));
    }
    parts.sort();
    return parts.join(QStringLiteral("; "));
}

QByteArray binanceItem(const char *symbol, const char *lastPrice, const char *change, qint64 closeTime)
{
    return QByteArrayLiteral("{\"symbol\":\"") + symbol + "\",\"priceChange\":\"1.0\",\"priceChangePercent\":\""
        + change + "\",\"lastPrice\":\"" + lastPrice + "\",\"openTime\":" + QByteArray::number(closeTime - 86400000)
        + ",\"closeTime\":" + QByteArray::number(closeTime) + ",\"count\":12}";
}

QByteArray binanceFresh(const char *symbol, const char *lastPrice, const char *change = "1.5")
{
    return binanceItem(symbol, lastPrice, change, nowMs - 60 * 1000);
}

QByteArray array(const QByteArrayList &items)
{
    return '[' + items.join(',') + ']';
}

QByteArray okxItem(const char *instId, const char *last, const char *open24h)
{
    return QByteArrayLiteral("{\"instType\":\"SPOT\",\"instId\":\"") + instId + "\",\"last\":\"" + last
        + "\",\"lastSz\":\"0.1\",\"open24h\":\"" + open24h + "\",\"ts\":\"1597026383085\"}";
}

QByteArray okxBody(const QByteArrayList &items, const char *code = "0")
{
    return QByteArrayLiteral("{\"code\":\"") + code + "\",\"msg\":\"\",\"data\":" + array(items) + '}';
}

QByteArray bybitItem(const char *symbol, const char *lastPrice, const char *change)
{
    return QByteArrayLiteral("{\"symbol\":\"") + symbol + "\",\"bid1Price\":\"1\",\"lastPrice\":\"" + lastPrice
        + "\",\"prevPrice24h\":\"1\",\"price24hPcnt\":\"" + change + "\"}";
}

QByteArray bybitBody(const QByteArrayList &items, const char *retCode = "0")
{
    return QByteArrayLiteral("{\"retCode\":") + retCode
        + ",\"retMsg\":\"OK\",\"result\":{\"category\":\"spot\",\"list\":" + array(items)
        + "},\"retExtInfo\":{},\"time\":1673859087947}";
}

HttpResponse response(
    int status, const QByteArray &body = {}, const QByteArray &retryAfterName = {}, const QByteArray &retryAfter = {})
{
    HttpResponse response;
    response.statusCode = status;
    response.headers.append({QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json")});
    if (!retryAfterName.isEmpty())
        response.headers.append({retryAfterName, retryAfter});
    response.body = body;
    return response;
}

} // namespace

class TestTickerProviders final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsDecimals_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<double>("value");

        QTest::newRow("plain") << QByteArray("69010.01000000") << true << 69010.01;
        QTest::newRow("negative") << QByteArray("-1.305") << true << -1.305;
        QTest::newRow("exponent") << QByteArray("1e-8") << true << 1e-8;
        QTest::newRow("leading blank") << QByteArray(" 1") << false << 0.0;
        QTest::newRow("trailing blank") << QByteArray("1 ") << false << 0.0;
        QTest::newRow("thousands separator") << QByteArray("1,000") << false << 0.0;
        QTest::newRow("plus sign") << QByteArray("+1") << false << 0.0;
        QTest::newRow("inf") << QByteArray("inf") << false << 0.0;
        QTest::newRow("nan") << QByteArray("nan") << false << 0.0;
        QTest::newRow("hexadecimal") << QByteArray("0x10") << false << 0.0;
        QTest::newRow("overflow") << QByteArray("1e400") << false << 0.0;
        QTest::newRow("empty") << QByteArray("") << false << 0.0;
        QTest::newRow("trailing junk") << QByteArray("12.5x") << false << 0.0;
    }

    void readsDecimals()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, readable);
        QFETCH(double, value);
        const auto result = readDecimal(std::string_view(text.constData(), size_t(text.size())));
        QCOMPARE(result.has_value(), readable);
        if (readable)
            QCOMPARE(*result, value);
    }

    void binanceRequest_data()
    {
        QTest::addColumn<QStringList>("symbols");
        QTest::addColumn<QString>("encodedQuery");
        QTest::addColumn<QString>("value");

        QTest::newRow("two symbols") << QStringList {QStringLiteral("BTC"), QStringLiteral("ETH")}
                                     << QStringLiteral("symbols=%5B%22BTCUSDT%22,%22ETHUSDT%22%5D")
                                     << QStringLiteral("[\"BTCUSDT\",\"ETHUSDT\"]");
        QTest::newRow("order kept") << QStringList {QStringLiteral("ETH"), QStringLiteral("BTC")}
                                    << QStringLiteral("symbols=%5B%22ETHUSDT%22,%22BTCUSDT%22%5D")
                                    << QStringLiteral("[\"ETHUSDT\",\"BTCUSDT\"]");
        QTest::newRow("one symbol") << QStringList {QStringLiteral("1000SATS")}
                                    << QStringLiteral("symbols=%5B%221000SATSUSDT%22%5D")
                                    << QStringLiteral("[\"1000SATSUSDT\"]");
        // Reserved characters of catalog symbols must not split the query.
        QTest::newRow("symbol with reserved characters")
            << QStringList {QStringLiteral("A&B=C"), QStringLiteral("HDP.Ф")}
            << QStringLiteral("symbols=%5B%22A%26B%3DCUSDT%22,%22HDP.%D0%A4USDT%22%5D")
            << QStringLiteral("[\"A&B=CUSDT\",\"HDP.ФUSDT\"]");
    }

    void binanceRequest()
    {
        QFETCH(QStringList, symbols);
        QFETCH(QString, encodedQuery);
        QFETCH(QString, value);

        const BinanceTickerProvider provider(BinanceTickerProvider::mainBaseURL(), Test::FakeClock().clock());
        const auto request = provider.request(symbols);
        QVERIFY(request);
        QCOMPARE(request->url.scheme(), QStringLiteral("https"));
        QCOMPARE(request->url.host(), QStringLiteral("api.binance.com"));
        QCOMPARE(request->url.path(), QStringLiteral("/api/v3/ticker/24hr"));
        QCOMPARE(request->url.query(QUrl::FullyEncoded), encodedQuery);
        const QUrlQuery query(request->url);
        QCOMPARE(query.queryItems().size(), 1);
        QCOMPARE(query.queryItemValue(QStringLiteral("symbols"), QUrl::FullyDecoded), value);
        QCOMPARE(request->inactivityTimeout, std::chrono::milliseconds(5000));
    }

    void binanceRequestEdges()
    {
        const BinanceTickerProvider vision(BinanceTickerProvider::marketDataBaseURL(), Test::FakeClock().clock());
        QCOMPARE(vision.name(), QStringLiteral("binance"));
        QVERIFY(!vision.request({}));
        const auto fallback = vision.fallbackRequest();
        QVERIFY(fallback);
        QCOMPARE(fallback->url.toString(), QStringLiteral("https://data-api.binance.vision/api/v3/ticker/24hr"));
        QVERIFY(!fallback->url.hasQuery());
        QCOMPARE(fallback->inactivityTimeout, std::chrono::milliseconds(5000));

        const BinanceTickerProvider broken(QStringLiteral("not an address"), Test::FakeClock().clock());
        QVERIFY(!broken.request({QStringLiteral("BTC")}));
        QVERIFY(!broken.fallbackRequest());
    }

    void allTickerRequests()
    {
        OKXTickerProvider okx;
        BybitTickerProvider bybit;
        const QStringList anything {QStringLiteral("BTC")};
        QCOMPARE(okx.name(), QStringLiteral("okx"));
        QCOMPARE(okx.request(anything)->url.toString(QUrl::FullyEncoded),
            QStringLiteral("https://www.okx.com/api/v5/market/tickers?instType=SPOT"));
        QCOMPARE(okx.request({})->url, okx.request(anything)->url);
        QCOMPARE(okx.request(anything)->inactivityTimeout, std::chrono::milliseconds(5000));
        QVERIFY(!okx.fallbackRequest());
        QCOMPARE(bybit.name(), QStringLiteral("bybit"));
        QCOMPARE(bybit.request(anything)->url.toString(QUrl::FullyEncoded),
            QStringLiteral("https://api.bybit.com/v5/market/tickers?category=spot"));
        QCOMPARE(bybit.request(anything)->inactivityTimeout, std::chrono::milliseconds(5000));
        QVERIFY(!bybit.fallbackRequest());
    }

    void defaultProvidersInOrder()
    {
        Test::FakeClock clock(now);
        const auto providers = defaultTickerProviders(clock.clock());
        QCOMPARE(providers.size(), size_t(6));
        QStringList hosts;
        for (const auto &provider : providers)
            hosts.append(provider->name() + QLatin1Char('@') + provider->request({QStringLiteral("BTC")})->url.host());
        QCOMPARE(hosts,
            (QStringList {QStringLiteral("binance@api.binance.com"), QStringLiteral("binance@data-api.binance.vision"),
                QStringLiteral("okx@www.okx.com"), QStringLiteral("bybit@api.bybit.com"),
                QStringLiteral("coinbase@api.exchange.coinbase.com"), QStringLiteral("kraken@api.kraken.com")}));
        // The Binance instances read the given clock.
        const QByteArray body = array({binanceItem("BTCUSDT", "1", "0", nowMs - 30 * 60 * 1000)});
        QCOMPARE(describe(providers[0]->parse(body, symbols({QStringLiteral("BTC")}))), QStringLiteral("BTC 1 0"));
        clock.advance(3600);
        QCOMPARE(describe(providers[1]->parse(body, symbols({QStringLiteral("BTC")}))), QString());
    }

    void binanceParse_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("requested");
        QTest::addColumn<QString>("expected");

        const QStringList btc {QStringLiteral("BTC")};
        const QStringList btcEth {QStringLiteral("BTC"), QStringLiteral("ETH")};

        QTest::newRow("pair yields coin") << array({binanceFresh("BTCUSDT", "69010.01000000", "1.253")}) << btc
                                          << QStringLiteral("BTC 69010.01 1.253");
        QTest::newRow("closed 3599 s ago is used")
            << array({binanceItem("BTCUSDT", "1", "2", nowMs - 3599 * 1000)}) << btc << QStringLiteral("BTC 1 2");
        QTest::newRow("closed exactly 3600 s ago is used")
            << array({binanceItem("BTCUSDT", "1", "2", nowMs - 3600 * 1000)}) << btc << QStringLiteral("BTC 1 2");
        QTest::newRow("closed 3601 s ago is ignored")
            << array({binanceItem("BTCUSDT", "1", "2", nowMs - 3601 * 1000)}) << btc << QString();
        QTest::newRow("other quote currency ignored")
            << array({binanceFresh("BTCUSDC", "1"), binanceFresh("ETHUSDT", "2")}) << btcEth
            << QStringLiteral("ETH 2 1.5");
        QTest::newRow("unrequested absent") << array({binanceFresh("BTCUSDT", "1"), binanceFresh("ETHUSDT", "2")})
                                            << btc << QStringLiteral("BTC 1 1.5");
        QTest::newRow("USDT alone is no coin")
            << array({binanceFresh("USDT", "1")}) << QStringList {QString()} << QString();
        QTest::newRow("price with leading blank") << array({binanceFresh("BTCUSDT", " 1")}) << btc << QString();
        QTest::newRow("price with thousands separator")
            << array({binanceFresh("BTCUSDT", "1,000")}) << btc << QString();
        // Delisted pairs keep a zero last price.
        QTest::newRow("price zero") << array({binanceFresh("BTCUSDT", "0.00000000")}) << btc << QString();
        QTest::newRow("price negative") << array({binanceFresh("BTCUSDT", "-3")}) << btc << QString();
        QTest::newRow("unreadable change keeps price")
            << array({binanceFresh("BTCUSDT", "5", "n/a")}) << btc << QStringLiteral("BTC 5 -");
        QTest::newRow("change nan is absent")
            << array({binanceFresh("BTCUSDT", "5", "nan")}) << btc << QStringLiteral("BTC 5 -");
        QTest::newRow("later duplicate wins")
            << array({binanceFresh("BTCUSDT", "1", "1"), binanceFresh("BTCUSDT", "2", "2")}) << btc
            << QStringLiteral("BTC 2 2");
        QTest::newRow("non-ASCII symbol") << array({binanceFresh("HDP.ФUSDT", "0.5")})
                                          << QStringList {QStringLiteral("HDP.Ф")} << QStringLiteral("HDP.Ф 0.5 1.5");
        QTest::newRow("long symbol") << array({binanceFresh("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789USDT", "7")})
                                     << QStringList {QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")}
                                     << QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 7 1.5");
        QTest::newRow("closeTime as a real number")
            << QByteArray("[{\"symbol\":\"BTCUSDT\",\"lastPrice\":\"3\",\"priceChangePercent\":\"0\",\"closeTime\":"
                   + QByteArray::number(double(nowMs), 'f', 1) + "}]")
            << btc << QStringLiteral("BTC 3 0");
        QTest::newRow("empty array") << QByteArray("[]") << btc << QString();

        QTest::newRow("missing key in an unrequested item") << QByteArray(
            "[" + binanceFresh("BTCUSDT", "1") + ",{\"symbol\":\"XYZUSDT\",\"lastPrice\":\"1\",\"closeTime\":1}]")
                                                            << btc << QStringLiteral("error decodingFailed");
        QTest::newRow("price as a number")
            << QByteArray("[{\"symbol\":\"BTCUSDT\",\"lastPrice\":1,\"priceChangePercent\":\"0\",\"closeTime\":1}]")
            << btc << QStringLiteral("error decodingFailed");
        QTest::newRow("price null") << QByteArray(
            "[{\"symbol\":\"BTCUSDT\",\"lastPrice\":null,\"priceChangePercent\":\"0\",\"closeTime\":1}]")
                                    << btc << QStringLiteral("error decodingFailed");
        QTest::newRow("closeTime as a string") << QByteArray(
            "[{\"symbol\":\"BTCUSDT\",\"lastPrice\":\"1\",\"priceChangePercent\":\"0\",\"closeTime\":\"1\"}]")
                                               << btc << QStringLiteral("error decodingFailed");
        QTest::newRow("item not an object")
            << QByteArray("[" + binanceFresh("BTCUSDT", "1") + ",42]") << btc << QStringLiteral("error decodingFailed");
        QTest::newRow("error object instead of array") << QByteArray("{\"code\":-1121,\"msg\":\"Invalid symbol.\"}")
                                                       << btc << QStringLiteral("error decodingFailed");
        QTest::newRow("trailing comma") << QByteArray("[" + binanceFresh("BTCUSDT", "1") + ",]") << btc
                                        << QStringLiteral("error decodingFailed");
        QTest::newRow("junk after the array")
            << QByteArray(array({binanceFresh("BTCUSDT", "1")}) + "]") << btc << QStringLiteral("error decodingFailed");
        QTest::newRow("truncated") << array({binanceFresh("BTCUSDT", "1")}).chopped(9) << btc
                                   << QStringLiteral("error decodingFailed");
        QTest::newRow("overflowing number in an unread field")
            << QByteArray("[{\"symbol\":\"BTCUSDT\",\"lastPrice\":\"1\",\"priceChangePercent\":\"0\",\"closeTime\":"
                   + QByteArray::number(nowMs) + ",\"weight\":1e400}]")
            << btc << QStringLiteral("error decodingFailed");
        QTest::newRow("invalid UTF-8") << QByteArray("[" + binanceFresh("BTCUSDT", "1") + ",\"\xff\"]") << btc
                                       << QStringLiteral("error decodingFailed");
        QTest::newRow("empty body") << QByteArray() << btc << QStringLiteral("error decodingFailed");
    }

    void binanceParse()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, requested);
        QFETCH(QString, expected);
        BinanceTickerProvider provider(BinanceTickerProvider::mainBaseURL(), Test::FakeClock(now).clock());
        QCOMPARE(describe(provider.parse(body, symbols(requested))), expected);
    }

    void binanceRecordedAnswer()
    {
        const QByteArray body
            = readFile(QStringLiteral(VANTRELL_RECORDED_DATA_DIR "/binance-ticker-24hr-2024-03.json"));
        Test::FakeClock clock(recordedNow);
        BinanceTickerProvider provider(BinanceTickerProvider::mainBaseURL(), clock.clock());

        // XMR was halted 19 days before, BCC is delisted, BUSD stale: none is quoted.
        const QStringList requested {QStringLiteral("BTC"), QStringLiteral("ETH"), QStringLiteral("SOL"),
            QStringLiteral("LUNA"), QStringLiteral("XMR"), QStringLiteral("BCC"), QStringLiteral("BUSD"),
            QStringLiteral("NOSUCHCOIN")};
        QCOMPARE(describe(provider.parse(body, symbols(requested))),
            QStringLiteral("BTC 69010.01 1.253; ETH 3928.82 0.216; LUNA 1.134 -1.305; SOL 147.97 1.017"));

        // Every base of a USDT pair: 490 are listed, 374 of them traded in the last day.
        QSet<QString> bases;
        const QJsonArray items = QJsonDocument::fromJson(body).array();
        for (const auto &item : items) {
            const QString symbol = item.toObject().value(QStringLiteral("symbol")).toString();
            if (symbol.endsWith(QStringLiteral("USDT")))
                bases.insert(symbol.chopped(4));
        }
        QCOMPARE(bases.size(), 490);
        const auto all = provider.parse(body, bases);
        QVERIFY(all.ok());
        QCOMPARE(all->size(), 374);

        clock.advance(86400);
        QCOMPARE(provider.parse(body, bases)->size(), 0);
    }

    void okxParse_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");

        QTest::newRow("change from open")
            << okxBody({okxItem("BTC-USDT", "100", "80")}) << QStringLiteral("BTC 100 25");
        QTest::newRow("falling") << okxBody({okxItem("ETH-USDT", "90", "100")}) << QStringLiteral("ETH 90 -10");
        QTest::newRow("open zero") << okxBody({okxItem("BTC-USDT", "100", "0")}) << QStringLiteral("BTC 100 -");
        QTest::newRow("open not numeric")
            << okxBody({okxItem("BTC-USDT", "100", "abc")}) << QStringLiteral("BTC 100 -");
        QTest::newRow("open negative") << okxBody({okxItem("BTC-USDT", "100", "-5")}) << QStringLiteral("BTC 100 -");
        QTest::newRow("change overflowing is absent")
            << okxBody({okxItem("BTC-USDT", "1e308", "1e-300")}) << QStringLiteral("BTC 1e+308 -");
        QTest::newRow("last empty") << okxBody({okxItem("BTC-USDT", "", "80")}) << QString();
        QTest::newRow("other quotes and forms ignored") << okxBody({okxItem("BTC-USDC", "1", "1"),
            okxItem("BTCUSDT", "1", "1"), okxItem("BTC-USDT-SWAP", "1", "1"), okxItem("ETH-USDT", "2", "1")})
                                                        << QStringLiteral("ETH 2 100");
        QTest::newRow("later duplicate wins")
            << okxBody({okxItem("BTC-USDT", "1", "1"), okxItem("BTC-USDT", "2", "1")}) << QStringLiteral("BTC 2 100");
        QTest::newRow("rate limit even with data")
            << okxBody({okxItem("BTC-USDT", "100", "80")}, "50011") << QStringLiteral("error rateLimited -");
        QTest::newRow("recorded rate-limit body") << QByteArray("{\"msg\":\"Too Many Requests\",\"code\":\"50011\"}")
                                                  << QStringLiteral("error rateLimited -");
        QTest::newRow("other code") << okxBody({okxItem("BTC-USDT", "100", "80")}, "51000")
                                    << QStringLiteral("error badServerResponse");
        QTest::newRow("other code without data") << QByteArray("{\"code\":\"50001\",\"msg\":\"Service unavailable\"}")
                                                 << QStringLiteral("error decodingFailed");
        QTest::newRow("code as a number")
            << QByteArray("{\"code\":0,\"msg\":\"\",\"data\":[]}") << QStringLiteral("error decodingFailed");
        QTest::newRow("rate-limit code as a number")
            << QByteArray("{\"code\":50011,\"data\":[]}") << QStringLiteral("error decodingFailed");
        QTest::newRow("missing open24h elsewhere") << QByteArray("{\"code\":\"0\",\"data\":["
            + okxItem("BTC-USDT", "1", "1") + ",{\"instId\":\"XYZ-USDT\",\"last\":\"1\"}]}")
                                                   << QStringLiteral("error decodingFailed");
        QTest::newRow("data not an array")
            << QByteArray("{\"code\":\"0\",\"data\":{}}") << QStringLiteral("error decodingFailed");
        QTest::newRow("malformed") << QByteArray("{\"code\":\"50011\",") << QStringLiteral("error decodingFailed");
        QTest::newRow("empty data") << okxBody({}) << QString();
        QTest::newRow("instrument not listed")
            << QByteArray("{\"code\":\"51001\",\"data\":[],\"msg\":\"Instrument ID does not exist\"}") << QString();
        QTest::newRow("one instrument") << okxBody({okxItem("ETH-USDT", "3000", "2500")})
                                        << QStringLiteral("ETH 3000 20");
        // The documented example is a swap: no spot pair, nothing quoted.
        QTest::newRow("documented example")
            << readFile(QStringLiteral(VANTRELL_RECORDED_DATA_DIR "/okx-market-ticker-doc-example.json")) << QString();
    }

    void okxParse()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        OKXTickerProvider provider;
        QCOMPARE(describe(provider.parse(body, symbols({QStringLiteral("BTC"), QStringLiteral("ETH")}))), expected);
    }

    // A few symbols are asked one instrument each, many in one request for the
    // whole book; every request names the symbols it asks for.
    void perInstrumentRequests_data()
    {
        QTest::addColumn<QString>("exchange");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("expected");

        const QString okxBook = QStringLiteral("https://www.okx.com/api/v5/market/tickers?instType=SPOT");
        const QString bybitBook = QStringLiteral("https://api.bybit.com/v5/market/tickers?category=spot");
        QTest::newRow("okx, two") << QStringLiteral("okx") << 2
                                  << QStringList {
                                         QStringLiteral("https://www.okx.com/api/v5/market/ticker?instId=C0-USDT C0"),
                                         QStringLiteral("https://www.okx.com/api/v5/market/ticker?instId=C1-USDT C1")};
        QTest::newRow("okx, past the limit") << QStringLiteral("okx") << int(OKXTickerProvider::perInstrumentLimit + 1)
                                             << QStringList {okxBook + QStringLiteral(" *")};
        QTest::newRow("bybit, one") << QStringLiteral("bybit") << 1
                                    << QStringList {QStringLiteral(
                                           "https://api.bybit.com/v5/market/tickers?category=spot&symbol=C0USDT C0")};
        QTest::newRow("bybit, past the limit")
            << QStringLiteral("bybit") << int(BybitTickerProvider::perInstrumentLimit + 1)
            << QStringList {bybitBook + QStringLiteral(" *")};
        QTest::newRow("coinbase, two")
            << QStringLiteral("coinbase") << 2
            << QStringList {QStringLiteral("https://api.exchange.coinbase.com/products/C0-USD/stats C0"),
                   QStringLiteral("https://api.exchange.coinbase.com/products/C1-USD/stats C1")};
        QTest::newRow("coinbase, past its limit: the rest is left")
            << QStringLiteral("coinbase") << int(CoinbaseTickerProvider::perPollLimit + 5) << QStringList();
        QTest::newRow("kraken, many in one")
            << QStringLiteral("kraken") << 3
            << QStringList {QStringLiteral("https://api.kraken.com/0/public/Ticker?pair=C0USD,C1USD,C2USD *")};
    }

    void perInstrumentRequests()
    {
        QFETCH(QString, exchange);
        QFETCH(int, count);
        QFETCH(QStringList, expected);

        Test::FakeClock clock(now);
        QStringList symbolList;
        for (int i = 0; i < count; ++i)
            symbolList.append(QStringLiteral("C%1").arg(i));
        const auto providers = defaultTickerProviders(clock.clock());
        const auto provider
            = std::find_if(providers.cbegin(), providers.cend(), [&](const auto &p) { return p->name() == exchange; });
        QVERIFY(provider != providers.cend());
        const auto requests = (*provider)->requests(symbolList);

        QStringList described;
        QStringList asked;
        for (const TickerRequest &request : requests) {
            QCOMPARE(request.http.inactivityTimeout, std::chrono::milliseconds(5000));
            // One instrument's answer is capped far below a whole book's 8 MiB.
            const bool single = request.symbols.size() == 1 && exchange != QLatin1String("kraken");
            QCOMPARE(request.http.maxBodySize, single ? 256 * 1024 : 8 * 1024 * 1024);
            described.append(request.http.url.toString(QUrl::FullyEncoded) + QLatin1Char(' ')
                + (request.symbols == symbolList && count > 1 ? QStringLiteral("*") : request.symbols.join(u',')));
            asked.append(request.symbols);
        }
        // A row without a list: one request per symbol, for the first symbols up to Coinbase's limit.
        if (expected.isEmpty())
            QCOMPARE(asked, symbolList.mid(0, CoinbaseTickerProvider::perPollLimit));
        else
            QCOMPARE(described, expected);
    }

    void coinbaseParse_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");

        const auto stats = [](const char *last, const char *open) -> QByteArray {
            return QByteArrayLiteral("{\"open\":\"") + open + "\",\"high\":\"1\",\"low\":\"1\",\"volume\":\"5\","
                + "\"last\":\"" + last + "\",\"volume_30day\":\"9\"}";
        };
        // (6250.02 − 5414.18) / 5414.18 × 100
        QTest::newRow("documented example")
            << readFile(QStringLiteral(VANTRELL_RECORDED_DATA_DIR "/coinbase-product-stats-doc-example.json"))
            << QStringLiteral("BTC 6250.02 15.4379795278");
        QTest::newRow("falling") << stats("90", "100") << QStringLiteral("BTC 90 -10");
        QTest::newRow("open zero: no change") << stats("90", "0") << QStringLiteral("BTC 90 -");
        QTest::newRow("open unreadable: no change") << stats("90", "n/a") << QStringLiteral("BTC 90 -");
        QTest::newRow("last zero: no price") << stats("0", "100") << QString();
        QTest::newRow("last with a blank: no price") << stats(" 90", "100") << QString();
        QTest::newRow("last missing") << QByteArray("{\"open\":\"1\"}") << QStringLiteral("error decodingFailed");
        QTest::newRow("last as a number")
            << QByteArray("{\"open\":\"1\",\"last\":2}") << QStringLiteral("error decodingFailed");
        QTest::newRow("an array") << QByteArray("[]") << QStringLiteral("error decodingFailed");
        QTest::newRow("cut") << stats("90", "100").chopped(3) << QStringLiteral("error decodingFailed");
        QTest::newRow("error message") << QByteArray("{\"message\":\"NotFound\"}")
                                       << QStringLiteral("error decodingFailed");
    }

    void coinbaseParse()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        CoinbaseTickerProvider provider;
        QCOMPARE(describe(provider.parse(body, symbols({QStringLiteral("BTC")}))), expected);
    }

    void krakenParse_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");

        const auto pair = [](const char *key, const char *last) -> QByteArray {
            return QByteArrayLiteral("\"") + key + "\":{\"a\":[\"1\",\"1\",\"1.000\"],\"c\":[\"" + last
                + "\",\"0.1\"],\"o\":\"1\"}";
        };
        const auto answer = [](const QByteArrayList &pairs) -> QByteArray {
            return "{\"error\":[],\"result\":{" + pairs.join(',') + "}}";
        };
        // Kraken's "o" is the day's open, not 24 hours ago: no change, ever.
        QTest::newRow("documented example")
            << readFile(QStringLiteral(VANTRELL_RECORDED_DATA_DIR "/kraken-ticker-doc-example.json"))
            << QStringLiteral("BTC 30303.2 -");
        QTest::newRow("both key forms") << answer({pair("XXBTZUSD", "100"), pair("XDGUSD", "0.1"), pair("SOLUSD", "7")})
                                        << QStringLiteral("BTC 100 -; DOGE 0.1 -; SOL 7 -");
        QTest::newRow("pair names that match no coin")
            << answer({pair("XBTUSDT", "100"), pair("XXBTZEUR", "90"), pair("BTCUSD", "1")}) << QString();
        QTest::newRow("last unreadable") << answer({pair("XXBTZUSD", "1,000")}) << QString();
        QTest::newRow("c missing elsewhere")
            << answer({pair("XXBTZUSD", "100"), "\"ETHUSD\":{\"o\":\"1\"}"}) << QStringLiteral("error decodingFailed");
        QTest::newRow("c empty") << answer({"\"XXBTZUSD\":{\"c\":[]}"}) << QStringLiteral("error decodingFailed");
        QTest::newRow("unknown pair") << QByteArray("{\"error\":[\"EQuery:Unknown asset pair\"]}")
                                      << QStringLiteral("error requestRejected");
        QTest::newRow("rate limit") << QByteArray("{\"error\":[\"EGeneral:Too many requests\"]}")
                                    << QStringLiteral("error rateLimited -");
        QTest::newRow("other error") << QByteArray("{\"error\":[\"EService:Unavailable\"]}")
                                     << QStringLiteral("error badServerResponse");
        QTest::newRow("error missing") << QByteArray("{\"result\":{}}") << QStringLiteral("error decodingFailed");
        QTest::newRow("result missing") << QByteArray("{\"error\":[]}") << QStringLiteral("error decodingFailed");
        QTest::newRow("cut") << answer({pair("XXBTZUSD", "100")}).chopped(2) << QStringLiteral("error decodingFailed");
    }

    void krakenParse()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        KrakenTickerProvider provider;
        QCOMPARE(describe(provider.parse(
                     body, symbols({QStringLiteral("BTC"), QStringLiteral("DOGE"), QStringLiteral("SOL")}))),
            expected);
    }

    void bybitParse_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");

        QTest::newRow("fraction becomes percent")
            << bybitBody({bybitItem("BTCUSDT", "20533.13", "-0.025")}) << QStringLiteral("BTC 20533.13 -2.5");
        QTest::newRow("documented example")
            << readFile(QStringLiteral(VANTRELL_RECORDED_DATA_DIR "/bybit-tickers-spot-doc-example.json"))
            << QStringLiteral("BTC 20533.13 0.68");
        QTest::newRow("unreadable change keeps price")
            << bybitBody({bybitItem("BTCUSDT", "2", "")}) << QStringLiteral("BTC 2 -");
        QTest::newRow("change overflowing is absent")
            << bybitBody({bybitItem("BTCUSDT", "2", "1e307")}) << QStringLiteral("BTC 2 -");
        QTest::newRow("price with thousands separator")
            << bybitBody({bybitItem("BTCUSDT", "20,533.13", "0")}) << QString();
        QTest::newRow("price zero") << bybitBody({bybitItem("BTCUSDT", "0", "0")}) << QString();
        QTest::newRow("other quote ignored")
            << bybitBody({bybitItem("BTCUSDC", "1", "0"), bybitItem("ETHUSDT", "3", "0.01")})
            << QStringLiteral("ETH 3 1");
        QTest::newRow("later duplicate wins")
            << bybitBody({bybitItem("ETHUSDT", "3", "0.01"), bybitItem("ETHUSDT", "4", "0.02")})
            << QStringLiteral("ETH 4 2");
        QTest::newRow("error code") << bybitBody({}, "10006") << QStringLiteral("error badServerResponse");
        QTest::newRow("error code without result")
            << QByteArray("{\"retCode\":10001,\"retMsg\":\"params error\",\"result\":{}}")
            << QStringLiteral("error decodingFailed");
        QTest::newRow("pair not listed") << QByteArray("{\"retCode\":10001,\"retMsg\":\"Not supported symbols\","
                                                       "\"result\":{},\"retExtInfo\":{},\"time\":1}")
                                         << QString();
        QTest::newRow("retCode as a string") << bybitBody({}, "\"0\"") << QStringLiteral("error decodingFailed");
        QTest::newRow("retCode not an integer") << bybitBody({}, "0.5") << QStringLiteral("error decodingFailed");
        QTest::newRow("missing change elsewhere")
            << bybitBody({bybitItem("BTCUSDT", "1", "0"), "{\"symbol\":\"XYZUSDT\",\"lastPrice\":\"1\"}"})
            << QStringLiteral("error decodingFailed");
        QTest::newRow("symbol as a number") << bybitBody({"{\"symbol\":1,\"lastPrice\":\"1\",\"price24hPcnt\":\"0\"}"})
                                            << QStringLiteral("error decodingFailed");
        QTest::newRow("bad escape") << bybitBody({bybitItem("BTCUSDT", "1", "0\\q")})
                                    << QStringLiteral("error decodingFailed");
    }

    void bybitParse()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        BybitTickerProvider provider;
        QCOMPARE(describe(provider.parse(body, symbols({QStringLiteral("BTC"), QStringLiteral("ETH")}))), expected);
    }

    // The generated full answers carry the recorded Binance prices.
    void generatedAnswers_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("usdtPairs");

        QTest::newRow("okx") << QStringLiteral("okx-tickers-spot.json")
                             << QStringLiteral("BTC 69010.01 1.25303733392; ETH 3928.82 0.216052138202") << 374;
        QTest::newRow("bybit") << QStringLiteral("bybit-tickers-spot.json")
                               << QStringLiteral("BTC 69010.01 1.25; ETH 3928.82 0.22") << 374;
    }

    void generatedAnswers()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        QFETCH(int, usdtPairs);

        const QByteArray body = readFile(QStringLiteral(VANTRELL_GENERATED_DATA_DIR "/") + file);
        std::unique_ptr<TickerProvider> provider;
        if (file.startsWith(QStringLiteral("okx")))
            provider = std::make_unique<OKXTickerProvider>();
        else
            provider = std::make_unique<BybitTickerProvider>();
        QCOMPARE(describe(provider->parse(
                     body, symbols({QStringLiteral("BTC"), QStringLiteral("ETH"), QStringLiteral("NOSUCHCOIN")}))),
            expected);

        QSet<QString> everything;
        for (const auto &binance : QJsonDocument::fromJson(
                 readFile(QStringLiteral(VANTRELL_RECORDED_DATA_DIR "/binance-ticker-24hr-2024-03.json")))
                                       .array())
            everything.insert(binance.toObject().value(QStringLiteral("symbol")).toString().chopped(4));
        const auto all = provider->parse(body, everything);
        QVERIFY(all.ok());
        QCOMPARE(all->size(), usdtPairs);
    }

    // One provider decodes answer after answer; nothing of an earlier body
    // leaks into a later result, whether the body is read in place or copied.
    void reusedProviderDecodesEachBodyAlone()
    {
        OKXTickerProvider provider;
        const QSet<QString> requested = symbols({QStringLiteral("BTC"), QStringLiteral("ETH")});
        const QByteArray large = readFile(QStringLiteral(VANTRELL_GENERATED_DATA_DIR "/okx-tickers-spot.json"));
        const QByteArray small = okxBody({okxItem("ETH-USDT", "90", "100")});
        QByteArray padded = small;
        padded.reserve(small.size() + 256);
        const QByteArray literal = QByteArray::fromRawData(small.constData(), small.size());

        QCOMPARE(provider.parse(large, requested)->size(), 2);
        QCOMPARE(describe(provider.parse(literal, requested)), QStringLiteral("ETH 90 -10"));
        QCOMPARE(describe(provider.parse(padded, requested)), QStringLiteral("ETH 90 -10"));
        QCOMPARE(describe(provider.parse(QByteArray("{\"code\":\"0\",\"data\":[1]}"), requested)),
            QStringLiteral("error decodingFailed"));
        QCOMPARE(provider.parse(large, requested)->size(), 2);
    }

    // Decoders read up to 64 bytes past the end of a body they read in place.
    void spareBytesBehind_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("spare");

        static const char raw[] = "[1,2,3]";
        QByteArray reserved("[1,2,3]");
        reserved.reserve(200);
        QByteArray exact = reserved;
        exact.squeeze();
        QByteArray frontOnly = QByteArray(300, ' ') + "[1,2,3]";
        frontOnly.remove(0, 300);

        QTest::newRow("room reserved") << reserved << true;
        QTest::newRow("exactly sized") << exact << false;
        QTest::newRow("room only in front") << frontOnly << false;
        QTest::newRow("raw data not owned") << QByteArray::fromRawData(raw, 7) << false;
        QTest::newRow("literal") << QByteArrayLiteral("[1,2,3]") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }

    void spareBytesBehind()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, spare);
        QCOMPARE(hasSpareBytesBehind(bytes, 64), spare);
    }

    void screening_data()
    {
        QTest::addColumn<HttpResponse>("response");
        QTest::addColumn<QString>("expected");

        const QByteArray body = bybitBody({bybitItem("BTCUSDT", "2", "0.01")});
        QTest::newRow("200 parsed") << response(200, body) << QStringLiteral("BTC 2 1");
        QTest::newRow("204 empty body") << response(204) << QStringLiteral("error decodingFailed");
        QTest::newRow("400 rejected") << response(400, "{\"code\":-1121}") << QStringLiteral("error requestRejected");
        QTest::newRow("403 without header") << response(403) << QStringLiteral("error rateLimited 600");
        QTest::newRow("403 with JSON is a ban")
            << response(403, "{\"retCode\":10009}") << QStringLiteral("error rateLimited 600");
        QTest::newRow("403 with a CDN page") << response(403, "<!DOCTYPE HTML><html><h1>403 ERROR</h1></html>")
                                             << QStringLiteral("error networkRefused");
        QTest::newRow("451") << response(451, "{\"code\":0,\"msg\":\"restricted location\"}")
                             << QStringLiteral("error networkRefused");
        QTest::newRow("403 with header") << response(403, {}, "Retry-After", "120")
                                         << QStringLiteral("error rateLimited 120");
        QTest::newRow("403 with zero") << response(403, {}, "Retry-After", "0")
                                       << QStringLiteral("error rateLimited 600");
        QTest::newRow("418 without header") << response(418) << QStringLiteral("error rateLimited -");
        QTest::newRow("418 with two hours is held to one")
            << response(418, {}, "Retry-After", "7200") << QStringLiteral("error rateLimited 3600");
        QTest::newRow("429 with 1e300") << response(429, {}, "Retry-After", "1e300")
                                        << QStringLiteral("error rateLimited 3600");
        QTest::newRow("429 with 30") << response(429, {}, "Retry-After", "30")
                                     << QStringLiteral("error rateLimited 30");
        QTest::newRow("429 header in lower case")
            << response(429, {}, "retry-after", "30") << QStringLiteral("error rateLimited 30");
        QTest::newRow("429 with fraction")
            << response(429, {}, "Retry-After", "1.5") << QStringLiteral("error rateLimited 1.5");
        QTest::newRow("429 with zero") << response(429, {}, "Retry-After", "0")
                                       << QStringLiteral("error rateLimited -");
        QTest::newRow("429 with date") << response(429, {}, "Retry-After", "Wed, 21 Oct 2015 07:28:00 GMT")
                                       << QStringLiteral("error rateLimited -");
        QTest::newRow("429 with blank") << response(429, {}, "Retry-After", "30 ")
                                        << QStringLiteral("error rateLimited -");
        QTest::newRow("429 without header") << response(429, body) << QStringLiteral("error rateLimited -");
        QTest::newRow("301 not followed") << response(301) << QStringLiteral("error badServerResponse");
        QTest::newRow("404") << response(404) << QStringLiteral("error badServerResponse");
        QTest::newRow("500") << response(500, body) << QStringLiteral("error badServerResponse");
        QTest::newRow("503 with header") << response(503, {}, "Retry-After", "30")
                                         << QStringLiteral("error badServerResponse");
        QTest::newRow("not an HTTP response") << response(0, body) << QStringLiteral("error badServerResponse");
    }

    void screening()
    {
        QFETCH(HttpResponse, response);
        QFETCH(QString, expected);
        BybitTickerProvider provider;
        QCOMPARE(describe(screenAndParse(provider, response, symbols({QStringLiteral("BTC")}))), expected);
    }

    // Coinbase answers a product it does not have with 404: no quote, no failure.
    void coinbaseNotListed()
    {
        CoinbaseTickerProvider provider;
        QCOMPARE(describe(screenAndParse(
                     provider, response(404, "{\"message\":\"NotFound\"}"), symbols({QStringLiteral("BTC")}))),
            QString());
        QCOMPARE(describe(screenAndParse(
                     provider, response(404, "<html>Not Found</html>"), symbols({QStringLiteral("BTC")}))),
            QStringLiteral("error badServerResponse"));
    }
};

QTEST_GUILESS_MAIN(TestTickerProviders)
#include "tst_tickerproviders.moc"
