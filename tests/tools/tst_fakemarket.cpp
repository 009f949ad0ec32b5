// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakeclock.h"
#include "fakemarket.h"
#include "testenvironment.h"

#include "market/tickerproviders.h"
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

using namespace Vantrell;
using namespace std::chrono_literals;

namespace {

struct Answer
{
    int status = 0;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray body;
    QByteArray retryAfter;
    qint64 contentLength = -1;

    QJsonDocument json() const { return QJsonDocument::fromJson(body); }
};

// Walks "a/b/c" through nested objects.
QJsonValue at(const QJsonDocument &document, const QString &path)
{
    QJsonValue value = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    for (const QString &key : path.split(u'/', Qt::SkipEmptyParts))
        value = value.toObject().value(key);
    return value;
}

QJsonObject findTicker(const QJsonArray &tickers, const QString &key, const QString &name)
{
    for (const QJsonValue &ticker : tickers) {
        if (ticker.toObject().value(key).toString() == name)
            return ticker.toObject();
    }
    return {};
}

double number(const QJsonValue &value)
{
    return value.toString().toDouble();
}

} // namespace

class TestFakeMarket : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void answersHaveTheHostsShapes_data();
    void answersHaveTheHostsShapes();
    void binanceFiltersRequestedPairsInOrder();
    void binanceRejectsBadPairs_data();
    void binanceRejectsBadPairs();
    void exactQuotesReadBackOnEveryExchange();
    void pricesDriftPerSecondOfTheClock();
    void listingsDifferPerExchange();
    void usdRatesCanBeSet();
    void logos_data();
    void logos();
    void queuedStatusThenNormalAnswer();
    void faultsApplyOnlyWhereScripted();
    void truncatedBodyFailsTheTransfer();
    void oversizedBody_data();
    void oversizedBody();
    void gzipBombIsSmallUntilInflated();
    void garbagePriceOnOneExchange_data();
    void garbagePriceOnOneExchange();
    void slowAnswersArriveIntact();
    void clientGivingUpLeavesTheServerWorking();
    void destroyingTheMarketEndsPendingAnswers();
    void requestLogCountsAndSignals();
    void providersReadTheAnswers_data();
    void providersReadTheAnswers();
    void answersAreCompressedWhenAccepted();

private:
    Answer get(const QString &host, const QString &pathAndQuery);

    Test::IsolatedXdg m_xdg;
    Test::FakeClock m_clock;
    std::unique_ptr<FakeMarket> m_market;
    std::unique_ptr<QNetworkAccessManager> m_network;
};

void TestFakeMarket::init()
{
    m_clock.set(QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC));
    m_market = std::make_unique<FakeMarket>();
    m_market->setClock(m_clock.clock());
    QVERIFY(m_market->listen() != 0);
    m_network = std::make_unique<QNetworkAccessManager>();
}

void TestFakeMarket::cleanup()
{
    m_network.reset();
    m_market.reset();
}

Answer TestFakeMarket::get(const QString &host, const QString &pathAndQuery)
{
    QNetworkRequest request(m_market->url(host, pathAndQuery));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    std::unique_ptr<QNetworkReply> reply(m_network->get(request));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    if (!reply->isFinished() && !finished.wait(30000))
        return {};
    Answer answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.error = reply->error();
    answer.body = reply->readAll();
    answer.retryAfter = reply->rawHeader("Retry-After");
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    answer.contentLength = length.isValid() ? length.toLongLong() : -1;
    return answer;
}

void TestFakeMarket::answersHaveTheHostsShapes_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("pathAndQuery");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("list"); // where the tickers or rates are
    QTest::addColumn<int>("minimum"); // -1: no list expected

    const QString binance = QStringLiteral("/api/v3/ticker/24hr");
    QTest::newRow("binance all pairs") << QString(FakeMarketHost::binance) << binance << 200 << QString() << 2000;
    QTest::newRow("binance data host") << QString(FakeMarketHost::binanceData) << binance << 200 << QString() << 2000;
    QTest::newRow("okx spot") << QString(FakeMarketHost::okx) << QStringLiteral("/api/v5/market/tickers?instType=SPOT")
                              << 200 << QStringLiteral("data") << 300;
    QTest::newRow("okx without instType")
        << QString(FakeMarketHost::okx) << QStringLiteral("/api/v5/market/tickers") << 400 << QString() << -1;
    QTest::newRow("bybit spot") << QString(FakeMarketHost::bybit) << QStringLiteral("/v5/market/tickers?category=spot")
                                << 200 << QStringLiteral("result/list") << 300;
    QTest::newRow("er-api USD") << QString(FakeMarketHost::erApi) << QStringLiteral("/v6/latest/USD") << 200
                                << QStringLiteral("rates") << 100;
    QTest::newRow("currency-api cdn") << QString(FakeMarketHost::currencyApiCdn)
                                      << QStringLiteral(
                                             "/npm/@fawazahmed0/currency-api@latest/v1/currencies/usd.min.json")
                                      << 200 << QStringLiteral("usd") << 300;
    QTest::newRow("currency-api mirror") << QString(FakeMarketHost::currencyApiMirror)
                                         << QStringLiteral("/v1/currencies/usd.min.json") << 200
                                         << QStringLiteral("usd") << 300;
    QTest::newRow("unknown path") << QString(FakeMarketHost::binance) << QStringLiteral("/api/v3/ticker/price") << 404
                                  << QString() << -1;
    QTest::newRow("unknown host") << QStringLiteral("example.com") << binance << 404 << QString() << -1;
}

void TestFakeMarket::answersHaveTheHostsShapes()
{
    QFETCH(QString, host);
    QFETCH(QString, pathAndQuery);
    QFETCH(int, status);
    QFETCH(QString, list);
    QFETCH(int, minimum);

    const Answer answer = get(host, pathAndQuery);
    QCOMPARE(answer.status, status);
    if (minimum < 0)
        return;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(answer.body, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonValue items = at(document, list);
    const qsizetype count = items.isArray() ? items.toArray().size() : items.toObject().size();
    QVERIFY2(count >= minimum, qPrintable(QString::number(count)));
}

void TestFakeMarket::binanceFiltersRequestedPairsInOrder()
{
    const Answer answer = get(FakeMarketHost::binance,
        QStringLiteral("/api/v3/ticker/24hr?symbols=%5B%22ETHUSDT%22,%22BTCUSDT%22,%22BCCUSDT%22%5D"));
    QCOMPARE(answer.status, 200);
    const QJsonArray tickers = answer.json().array();
    QCOMPARE(tickers.size(), 3);
    QCOMPARE(tickers.at(0)[u"symbol"].toString(), u"ETHUSDT");
    QCOMPARE(tickers.at(1)[u"symbol"].toString(), u"BTCUSDT");
    // Active pairs close now; a delisted one keeps its old close time and zero price.
    QCOMPARE(tickers.at(1)[u"closeTime"].toInteger(), m_clock.now().toMSecsSinceEpoch());
    QCOMPARE(tickers.at(2)[u"closeTime"].toInteger(), 1702617745578);
    QCOMPARE(tickers.at(2)[u"lastPrice"].toString(), u"0.00000000");
    QVERIFY(qAbs(number(tickers.at(1)[u"lastPrice"]) / 69010.01 - 1) < 0.01);
}

void TestFakeMarket::binanceRejectsBadPairs_data()
{
    QTest::addColumn<QString>("symbols");
    QTest::addColumn<int>("code");

    QTest::newRow("unknown pair") << QStringLiteral(R"(["BTCUSDT","NOSUCHUSDT"])") << -1121;
    QTest::newRow("pair the test delisted") << QStringLiteral(R"(["ETHUSDT"])") << -1121;
    QTest::newRow("lower case") << QStringLiteral(R"(["btcusdt"])") << -1100;
    QTest::newRow("blank after comma") << QStringLiteral(R"(["BTCUSDT", "BNBUSDT"])") << -1100;
    QTest::newRow("unquoted") << QStringLiteral("[BTCUSDT]") << -1100;
}

void TestFakeMarket::binanceRejectsBadPairs()
{
    QFETCH(QString, symbols);
    QFETCH(int, code);

    m_market->delist(QStringLiteral("binance"), {QStringLiteral("ETH")});
    const QString query = QString::fromLatin1(QUrl::toPercentEncoding(symbols));
    const Answer answer = get(FakeMarketHost::binanceData, QStringLiteral("/api/v3/ticker/24hr?symbols=") + query);
    QCOMPARE(answer.status, 400);
    QCOMPARE(answer.json()[u"code"].toInt(), code);
    if (code == -1121)
        QCOMPARE(answer.body, QByteArray(R"({"code":-1121,"msg":"Invalid symbol."})"));
}

void TestFakeMarket::exactQuotesReadBackOnEveryExchange()
{
    m_market->setQuote(QStringLiteral("BTC"), 100, 25);
    m_market->setQuote(QStringLiteral("okx"), QStringLiteral("NEWCOIN"), 0.5, -2.5);
    const qint64 now = m_clock.now().toMSecsSinceEpoch();

    const QJsonObject binance
        = get(FakeMarketHost::binance, QStringLiteral("/api/v3/ticker/24hr?symbol=BTCUSDT")).json().object();
    QCOMPARE(binance[u"lastPrice"].toString(), u"100");
    QCOMPARE(number(binance[u"priceChangePercent"]), 25.0);

    const QJsonDocument okx = get(FakeMarketHost::okx, QStringLiteral("/api/v5/market/tickers?instType=SPOT")).json();
    const QJsonObject btc
        = findTicker(at(okx, QStringLiteral("data")).toArray(), QStringLiteral("instId"), QStringLiteral("BTC-USDT"));
    QCOMPARE(number(btc[u"last"]), 100.0);
    QCOMPARE((number(btc[u"last"]) - number(btc[u"open24h"])) / number(btc[u"open24h"]) * 100, 25.0);
    QCOMPARE(btc[u"ts"].toString(), QString::number(now));
    const QJsonObject added = findTicker(
        at(okx, QStringLiteral("data")).toArray(), QStringLiteral("instId"), QStringLiteral("NEWCOIN-USDT"));
    QCOMPARE(number(added[u"last"]), 0.5);

    const QJsonDocument bybit = get(FakeMarketHost::bybit, QStringLiteral("/v5/market/tickers?category=spot")).json();
    const QJsonObject bybitBtc = findTicker(
        at(bybit, QStringLiteral("result/list")).toArray(), QStringLiteral("symbol"), QStringLiteral("BTCUSDT"));
    QCOMPARE(number(bybitBtc[u"lastPrice"]), 100.0);
    QCOMPARE(number(bybitBtc[u"price24hPcnt"]), 0.25);
    QCOMPARE(at(bybit, QStringLiteral("time")).toInteger(), now);
    QVERIFY(findTicker(
        at(bybit, QStringLiteral("result/list")).toArray(), QStringLiteral("symbol"), QStringLiteral("NEWCOINUSDT"))
                .isEmpty());
}

void TestFakeMarket::pricesDriftPerSecondOfTheClock()
{
    const QString path = QStringLiteral("/api/v3/ticker/24hr?symbol=DOGEUSDT");
    const QByteArray first = get(FakeMarketHost::binance, path).body;
    m_clock.advance(0.5);
    QCOMPARE(get(FakeMarketHost::binance, path).body, first);

    m_clock.advance(30);
    const QJsonObject later = get(FakeMarketHost::binance, path).json().object();
    const double before = number(QJsonDocument::fromJson(first)[u"lastPrice"]);
    const double after = number(later[u"lastPrice"]);
    QVERIFY(before != after);
    QVERIFY(qAbs(after / 0.17569 - 1) < 0.01);
    // The change follows the moved price against the unchanged opening price.
    QVERIFY(qAbs(number(later[u"priceChangePercent"]) - (after / 0.16899 - 1) * 100) < 0.001);

    m_market->setDriftEnabled(false);
    QCOMPARE(get(FakeMarketHost::binance, path).json()[u"lastPrice"].toString(), u"0.17569000");
}

void TestFakeMarket::listingsDifferPerExchange()
{
    m_market->setListed(QStringLiteral("okx"), {QStringLiteral("btc")});
    QVERIFY(m_market->isListed(QStringLiteral("okx"), QStringLiteral("BTC")));
    QVERIFY(!m_market->isListed(QStringLiteral("okx"), QStringLiteral("ETH")));

    const QJsonArray okx = at(
        get(FakeMarketHost::okx, QStringLiteral("/api/v5/market/tickers?instType=SPOT")).json(), QStringLiteral("data"))
                               .toArray();
    QStringList usdtPairs;
    for (const QJsonValue &ticker : okx) {
        const QString instrument = ticker[u"instId"].toString();
        if (instrument.endsWith(QLatin1String("-USDT")))
            usdtPairs.append(instrument);
    }
    QCOMPARE(usdtPairs, QStringList {QStringLiteral("BTC-USDT")});
    QCOMPARE(get(FakeMarketHost::binance, QStringLiteral("/api/v3/ticker/24hr?symbol=ETHUSDT")).status, 200);

    m_market->resetListings();
    QVERIFY(m_market->isListed(QStringLiteral("okx"), QStringLiteral("ETH")));
}

void TestFakeMarket::usdRatesCanBeSet()
{
    const QJsonObject erApi = get(FakeMarketHost::erApi, QStringLiteral("/v6/latest/USD")).json().object();
    QCOMPARE(erApi[u"result"].toString(), u"success");
    QCOMPARE(erApi[u"base_code"].toString(), u"USD");
    QCOMPARE(erApi[u"rates"][u"USD"].toDouble(), 1.0);
    QVERIFY(qAbs(erApi[u"rates"][u"EUR"].toDouble() - 0.010736 / 0.012278) < 1e-5);

    m_market->setUsdRate(QStringLiteral("eur"), 0.5);
    m_market->setUsdRate(QStringLiteral("XYZ"), 2);
    const QJsonObject changed = get(FakeMarketHost::erApi, QStringLiteral("/v6/latest/USD")).json().object();
    QCOMPARE(changed[u"rates"][u"EUR"].toDouble(), 0.5);
    QCOMPARE(changed[u"rates"][u"XYZ"].toDouble(), 2.0);
    const QJsonObject dataset
        = get(FakeMarketHost::currencyApiMirror, QStringLiteral("/v1/currencies/usd.min.json")).json().object();
    QCOMPARE(dataset[u"usd"][u"eur"].toDouble(), 0.5);
    QCOMPARE(dataset[u"date"].toString(), u"2026-09-29");
}

void TestFakeMarket::logos_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("pixels"); // 0: SVG

    QTest::newRow("large png") << QString(FakeMarketHost::coinImages)
                               << QStringLiteral("/coins/images/1/large/bitcoin.png") << 200 << 128;
    QTest::newRow("thumb without extension")
        << QString(FakeMarketHost::coinAssets) << QStringLiteral("/coins/images/279/thumb/ethereum") << 200 << 32;
    QTest::newRow("svg") << QString(FakeMarketHost::coinAssets) << QStringLiteral("/coins/images/5/small/coin.svg")
                         << 200 << 0;
    QTest::newRow("unknown size") << QString(FakeMarketHost::coinImages)
                                  << QStringLiteral("/coins/images/1/huge/bitcoin.png") << 404 << -1;
    QTest::newRow("not an image path") << QString(FakeMarketHost::coinImages) << QStringLiteral("/coins/bitcoin.png")
                                       << 404 << -1;
}

void TestFakeMarket::logos()
{
    QFETCH(QString, host);
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(int, pixels);

    const Answer answer = get(host, path);
    QCOMPARE(answer.status, status);
    if (pixels == 0) {
        QVERIFY(answer.body.startsWith("<svg"));
    } else if (pixels > 0) {
        const QImage image = QImage::fromData(answer.body, "PNG");
        QCOMPARE(image.size(), QSize(pixels, pixels));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(pixels / 2, pixels / 2)), 255);
    }
}

void TestFakeMarket::queuedStatusThenNormalAnswer()
{
    const QString path = QStringLiteral("/api/v3/ticker/24hr?symbol=BTCUSDT");
    m_market->queueFault(FakeMarketHost::binance, FakeMarketFault::httpStatus(429).withRetryAfter("30"));
    m_market->queueFault(FakeMarketHost::binance, FakeMarketFault::httpStatus(418), 2);

    const Answer limited = get(FakeMarketHost::binance, path);
    QCOMPARE(limited.status, 429);
    QCOMPARE(limited.retryAfter, QByteArray("30"));
    QCOMPARE(limited.json()[u"code"].toInt(), -1003);
    QCOMPARE(get(FakeMarketHost::binance, path).status, 418);
    QCOMPARE(get(FakeMarketHost::binance, path).status, 418);
    const Answer normal = get(FakeMarketHost::binance, path);
    QCOMPARE(normal.status, 200);
    QVERIFY(normal.retryAfter.isEmpty());

    m_market->queueFault(FakeMarketHost::okx, FakeMarketFault::okxRateLimit());
    const Answer okx = get(FakeMarketHost::okx, QStringLiteral("/api/v5/market/tickers?instType=SPOT"));
    QCOMPARE(okx.status, 200);
    QCOMPARE(okx.json()[u"code"].toString(), u"50011");
}

void TestFakeMarket::faultsApplyOnlyWhereScripted()
{
    const QString cdnPath = QStringLiteral("/npm/@fawazahmed0/currency-api@latest/v1/currencies/usd.min.json");
    m_market->setFault(FakeMarketHost::currencyApiCdn, cdnPath, FakeMarketFault::httpStatus(503, "busy"));
    m_market->queueFault(FakeMarketHost::erApi, FakeMarketFault::malformedJson());

    QCOMPARE(get(FakeMarketHost::currencyApiCdn, cdnPath).status, 503);
    QCOMPARE(get(FakeMarketHost::currencyApiCdn, cdnPath).body, QByteArray("busy"));
    QCOMPARE(get(FakeMarketHost::currencyApiCdn, QStringLiteral("/other")).status, 404);
    QCOMPARE(get(FakeMarketHost::currencyApiMirror, QStringLiteral("/v1/currencies/usd.min.json")).status, 200);

    const Answer malformed = get(FakeMarketHost::erApi, QStringLiteral("/v6/latest/USD"));
    QCOMPARE(malformed.status, 200);
    QVERIFY(malformed.json().isNull());
    QVERIFY(!get(FakeMarketHost::erApi, QStringLiteral("/v6/latest/USD")).json().isNull());

    m_market->clearFaults(FakeMarketHost::currencyApiCdn);
    QCOMPARE(get(FakeMarketHost::currencyApiCdn, cdnPath).status, 200);
}

void TestFakeMarket::truncatedBodyFailsTheTransfer()
{
    m_market->queueFault(FakeMarketHost::bybit, FakeMarketFault::truncated(1000));
    const Answer answer = get(FakeMarketHost::bybit, QStringLiteral("/v5/market/tickers?category=spot"));
    QVERIFY(answer.error != QNetworkReply::NoError);
    QVERIFY(answer.contentLength > 1000);
    QVERIFY(answer.body.size() <= 1000);
}

void TestFakeMarket::oversizedBody_data()
{
    QTest::addColumn<bool>("withContentLength");
    QTest::newRow("with Content-Length") << true;
    QTest::newRow("without Content-Length") << false;
}

void TestFakeMarket::oversizedBody()
{
    QFETCH(bool, withContentLength);
    const qint64 size = 9 * 1024 * 1024;
    m_market->queueFault(FakeMarketHost::binance, FakeMarketFault::oversized(size, withContentLength));
    const Answer answer = get(FakeMarketHost::binance, QStringLiteral("/api/v3/ticker/24hr"));
    QCOMPARE(answer.error, QNetworkReply::NoError);
    QCOMPARE(answer.contentLength, withContentLength ? size : -1);
    QCOMPARE(answer.body.size(), size);
    QVERIFY(answer.body.startsWith("[0,0,") && answer.body.endsWith(']'));
}

void TestFakeMarket::gzipBombIsSmallUntilInflated()
{
    const qint64 inflated = 4 * 1024 * 1024;
    const FakeMarketFault bomb = FakeMarketFault::gzipBomb(inflated);
    QVERIFY(bomb.givenBody.size() < inflated / 100);
    m_market->queueFault(FakeMarketHost::okx, bomb);
    const Answer answer = get(FakeMarketHost::okx, QStringLiteral("/api/v5/market/tickers?instType=SPOT"));
    QCOMPARE(answer.error, QNetworkReply::NoError);
    QCOMPARE(answer.body, QByteArray(inflated, ' '));
}

void TestFakeMarket::garbagePriceOnOneExchange_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("NaN") << QByteArray("NaN");
    QTest::newRow("too large for a double") << QByteArray("1e400");
}

void TestFakeMarket::garbagePriceOnOneExchange()
{
    QFETCH(QByteArray, text);
    m_market->setQuote(QStringLiteral("BTC"), 100, 1);
    m_market->setQuoteText(QStringLiteral("binance"), QStringLiteral("BTC"), text);
    const QByteArray binance = get(FakeMarketHost::binance, QStringLiteral("/api/v3/ticker/24hr?symbol=BTCUSDT")).body;
    QVERIFY2(binance.contains(QByteArray("\"lastPrice\":\"" + text + '"')), binance.constData());
    const QJsonDocument okx = get(FakeMarketHost::okx, QStringLiteral("/api/v5/market/tickers?instType=SPOT")).json();
    const QJsonObject btc
        = findTicker(at(okx, QStringLiteral("data")).toArray(), QStringLiteral("instId"), QStringLiteral("BTC-USDT"));
    QCOMPARE(number(btc[u"last"]), 100.0);
}

void TestFakeMarket::slowAnswersArriveIntact()
{
    const QByteArray body = R"({"retCode":0})";
    m_market->queueFault(FakeMarketHost::bybit, FakeMarketFault::httpStatus(200, body).withTrickle(1ms));
    m_market->queueFault(FakeMarketHost::bybit, FakeMarketFault::delayed(5ms));
    QCOMPARE(get(FakeMarketHost::bybit, QStringLiteral("/v5/market/tickers?category=spot")).body, body);
    const Answer delayed = get(FakeMarketHost::bybit, QStringLiteral("/v5/market/tickers?category=spot"));
    QCOMPARE(delayed.status, 200);
    QVERIFY(delayed.body.size() > 10000);
}

void TestFakeMarket::clientGivingUpLeavesTheServerWorking()
{
    m_market->queueFault(FakeMarketHost::okx, FakeMarketFault::hang());
    m_market->queueFault(FakeMarketHost::okx, FakeMarketFault::trickled(1ms));
    for (int i = 0; i < 2; ++i) {
        QSignalSpy received(m_market.get(), &FakeMarket::requestReceived);
        QNetworkReply *reply = m_network->get(QNetworkRequest(
            m_market->url(FakeMarketHost::okx, QStringLiteral("/api/v5/market/tickers?instType=SPOT"))));
        QVERIFY(received.wait());
        reply->abort();
        delete reply;
    }
    QCOMPARE(get(FakeMarketHost::okx, QStringLiteral("/api/v5/market/tickers?instType=SPOT")).status, 200);

    // Permanent: the client resends once when a kept-alive connection closes unanswered.
    m_market->setFault(FakeMarketHost::okx, FakeMarketFault::disconnect());
    QVERIFY(get(FakeMarketHost::okx, QStringLiteral("/api/v5/market/tickers?instType=SPOT")).error
        != QNetworkReply::NoError);
}

void TestFakeMarket::destroyingTheMarketEndsPendingAnswers()
{
    m_market->setFault(FakeMarketHost::binance, FakeMarketFault::hang());
    m_market->setFault(FakeMarketHost::bybit, FakeMarketFault::trickled(50ms));
    QSignalSpy received(m_market.get(), &FakeMarket::requestReceived);
    std::unique_ptr<QNetworkReply> hanging(
        m_network->get(QNetworkRequest(m_market->url(FakeMarketHost::binance, QStringLiteral("/api/v3/ticker/24hr")))));
    std::unique_ptr<QNetworkReply> trickling(m_network->get(
        QNetworkRequest(m_market->url(FakeMarketHost::bybit, QStringLiteral("/v5/market/tickers?category=spot")))));
    QTRY_COMPARE(received.size(), 2);

    m_market.reset();
    QTRY_VERIFY(hanging->isFinished() && trickling->isFinished());
    QVERIFY(hanging->error() != QNetworkReply::NoError);
    QVERIFY(trickling->error() != QNetworkReply::NoError);
}

void TestFakeMarket::requestLogCountsAndSignals()
{
    QVERIFY(m_market->hostMap().contains(QStringLiteral("api.bybit.com=http://127.0.0.1:")
        + QString::number(m_market->port()) + QStringLiteral("/api.bybit.com")));
    QCOMPARE(m_market->hostMap().count(u'='), FakeMarket::hosts().size());

    QSignalSpy received(m_market.get(), &FakeMarket::requestReceived);
    get(FakeMarketHost::binance, QStringLiteral("/api/v3/ticker/24hr?symbols=%5B%22BTCUSDT%22%5D"));
    get(FakeMarketHost::binance, QStringLiteral("/nothing"));
    get(FakeMarketHost::okx, QStringLiteral("/api/v5/market/tickers?instType=SPOT"));

    QCOMPARE(received.size(), 3);
    QCOMPARE(m_market->requestCount(), 3);
    QCOMPARE(m_market->requestCount(FakeMarketHost::binance), 2);
    QCOMPARE(m_market->requestCount(FakeMarketHost::binance, QStringLiteral("/api/v3/ticker/24hr")), 1);
    const FakeMarketRequest first = m_market->requests().constFirst();
    QCOMPARE(first.path, u"/api/v3/ticker/24hr");
    QCOMPARE(first.queryItem(QStringLiteral("symbols")), u"[\"BTCUSDT\"]");
    QCOMPARE(first.time, m_clock.now());

    m_market->clearLog();
    QCOMPARE(m_market->requestCount(), 0);
}

// Every request the providers make for a few coins is answered in the shape
// the provider reads, including the answers for a coin that is not listed.
void TestFakeMarket::providersReadTheAnswers_data()
{
    QTest::addColumn<QString>("exchange");
    QTest::addColumn<QStringList>("symbols");
    QTest::addColumn<QString>("expected");

    const QStringList three {QStringLiteral("BTC"), QStringLiteral("DOGE"), QStringLiteral("ETH")};
    const QString quoted = QStringLiteral("BTC 50000; DOGE 0.25; ETH 3000");
    for (const char *exchange : {"binance", "okx", "bybit", "coinbase", "kraken"})
        QTest::addRow("%s", exchange) << QString::fromLatin1(exchange) << three << quoted;
    QTest::newRow("okx, one not listed") << QStringLiteral("okx")
                                         << QStringList {QStringLiteral("BTC"), QStringLiteral("NOSUCH")}
                                         << QStringLiteral("BTC 50000");
    QTest::newRow("bybit, one not listed")
        << QStringLiteral("bybit") << QStringList {QStringLiteral("BTC"), QStringLiteral("NOSUCH")}
        << QStringLiteral("BTC 50000");
    QTest::newRow("coinbase, one not listed")
        << QStringLiteral("coinbase") << QStringList {QStringLiteral("BTC"), QStringLiteral("NOSUCH")}
        << QStringLiteral("BTC 50000");
    QTest::newRow("kraken, one not listed: the request is refused")
        << QStringLiteral("kraken") << QStringList {QStringLiteral("BTC"), QStringLiteral("NOSUCH")}
        << QStringLiteral("requestRejected");
}

void TestFakeMarket::providersReadTheAnswers()
{
    QFETCH(QString, exchange);
    QFETCH(QStringList, symbols);
    QFETCH(QString, expected);

    m_market->setQuote(QStringLiteral("BTC"), 50000, 2);
    m_market->setQuote(QStringLiteral("DOGE"), 0.25, -1);
    m_market->setQuote(QStringLiteral("ETH"), 3000, 0.5);
    const auto providers = defaultTickerProviders(m_clock.clock());
    TickerProvider *provider = nullptr;
    for (const auto &candidate : providers) {
        if (candidate->name() == exchange && !provider)
            provider = candidate.get();
    }
    QVERIFY(provider);

    QStringList quotes;
    for (const TickerRequest &request : provider->requests(symbols)) {
        const QUrl url = request.http.url;
        const Answer answer
            = get(url.host(), url.path() + (url.hasQuery() ? u'?' + url.query(QUrl::FullyEncoded) : QString()));
        HttpResponse response;
        response.statusCode = answer.status;
        response.body = answer.body;
        const Result<QuoteMap> parsed
            = screenAndParse(*provider, response, QSet<QString>(request.symbols.cbegin(), request.symbols.cend()));
        if (!parsed) {
            quotes.append(codeName(parsed.error().code));
            continue;
        }
        for (auto it = parsed->cbegin(); it != parsed->cend(); ++it) {
            quotes.append(it.key() + u' ' + QString::number(it->priceUsd, 'g', 10));
            // Kraken alone gives no change; the others give the one set.
            QCOMPARE(it->change24hPercent.has_value(), exchange != QLatin1String("kraken"));
        }
    }
    quotes.sort();
    QCOMPARE(quotes.join(QStringLiteral("; ")), expected);
}

void TestFakeMarket::answersAreCompressedWhenAccepted()
{
    // Qt asks for gzip and inflates; the bytes counted are the compressed ones.
    const qint64 before = m_market->bytesOnWire();
    const Answer answer = get(FakeMarketHost::okx, QStringLiteral("/api/v5/market/tickers?instType=SPOT"));
    QCOMPARE(answer.status, 200);
    const qint64 wire = m_market->bytesOnWire() - before;
    QVERIFY2(wire < answer.body.size() / 3, qPrintable(QStringLiteral("%1 of %2").arg(wire).arg(answer.body.size())));
    QVERIFY(QJsonDocument::fromJson(answer.body).isObject());
}

QTEST_GUILESS_MAIN(TestFakeMarket)
#include "tst_fakemarket.moc"
