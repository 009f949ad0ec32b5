// SPDX-License-Identifier: GPL-3.0-or-later
// The 24-hour history: reading the exchanges' candles, placing them in the
// window, fetching only what is missing and keeping the last good series.
#include "fakeclock.h"
#include "fakehttpclient.h"
#include "faketimer.h"
#include "market/pricehistory.h"
#include "market/pricehistoryservice.h"
#include "widgetkit/sparkline.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace Vantrell;
using namespace std::chrono_literals;

namespace {

constexpr double gap = std::numeric_limits<double>::quiet_NaN();
constexpr qint64 slot = PriceSeries::slotSeconds;
// 2026-03-01 12:00 UTC, on the grid; the window's open slot starts here.
const QDateTime noon(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
const qint64 noonSeconds = noon.toSecsSinceEpoch();
const qint64 firstSlot = noonSeconds - 96 * slot;

QByteArray recorded(const char *name)
{
    QFile file(QStringLiteral(VANTRELL_RECORDED_DATA_DIR "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

HistorySource source(HistorySource::Exchange exchange)
{
    for (const HistorySource &s : defaultHistorySources()) {
        if (s.exchange == exchange)
            return s;
    }
    return {};
}

// The closes of a window as text, "-" for a gap, only the non-gap slots named: "94:1 95:- 96:3".
QString describe(const PriceSeries &series, qsizetype from)
{
    QStringList parts;
    for (qsizetype i = from; i < series.closes.size(); ++i) {
        const double v = series.closes.at(i);
        parts.append(QStringLiteral("%1:%2").arg(i).arg(std::isnan(v) ? QStringLiteral("-") : QString::number(v)));
    }
    return parts.join(u' ');
}

// A Binance answer with candles opening at the given slots (relative to the open slot) and closing at `close`.
QByteArray binanceCandles(const QList<std::pair<int, double>> &candles)
{
    QByteArrayList rows;
    for (const auto &[slotsBack, close] : candles) {
        const qint64 open = (noonSeconds - slotsBack * slot) * 1000;
        rows.append("[" + QByteArray::number(open) + ",\"1\",\"1\",\"1\",\"" + QByteArray::number(close, 'g', 10)
            + "\",\"1\"," + QByteArray::number(open + slot * 1000 - 1) + "]");
    }
    return "[" + rows.join(',') + "]";
}

// Bodies answered with HTTP 200, by host.
using Answers = QList<std::pair<QString, QByteArray>>;

} // namespace

class TestPriceHistory final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<int>("exchange");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("candles"); // "time:close …" (seconds), or the error code name
        using E = HistorySource::Exchange;
        QTest::newRow("Binance, documented")
            << int(E::binance) << recorded("binance-klines-doc-example.json") << "1499040000:0.015771";
        QTest::newRow("OKX, documented, newest first")
            << int(E::okx) << recorded("okx-candles-doc-example.json") << "1597026383:3.708 1597026383:3.72";
        QTest::newRow("Bybit, documented, newest first") << int(E::bybit) << recorded("bybit-kline-doc-example.json")
                                                         << "1670608800:17055.5 1670605200:17071 1670601600:17071.5";
        QTest::newRow("Coinbase, numbers in seconds, newest first")
            << int(E::coinbase) << recorded("coinbase-candles-sample.json")
            << "1700001900:36781.3 1700001000:36745.2 1700000100:36702.9";
        QTest::newRow("Kraken, strings under its own pair name, oldest first")
            << int(E::kraken) << recorded("kraken-ohlc-sample.json")
            << "1700000100:36702.9 1700001000:36745.2 1700001900:36781.3";
        // As a ticker answer leaves a price of 0 out and keeps the others.
        QTest::newRow("a close of 0 is left out, the rest counts")
            << int(E::binance) << QByteArray(R"([[900000,"1","1","1","0","1",1],[1800000,"1","1","1","2","1",1]])")
            << "1800:2";
        QTest::newRow("Coinbase, a negative close is left out")
            << int(E::coinbase) << QByteArray("[[1800,1,1,1,2,1],[900,1,1,1,-2,1]]") << "1800:2";
        QTest::newRow("empty body") << int(E::binance) << QByteArray() << "decodingFailed";
        QTest::newRow("empty list") << int(E::bybit)
                                    << QByteArray(R"({"retCode":0,"retMsg":"OK","result":{"list":[]}})") << "";
        QTest::newRow("cut short") << int(E::binance) << QByteArray(R"([[900000,"1","1","1","2")") << "decodingFailed";
        QTest::newRow("a row too short") << int(E::binance) << QByteArray(R"([[900000,"1","1","1"]])")
                                         << "decodingFailed";
        QTest::newRow("a close that is no number")
            << int(E::okx) << QByteArray(R"({"code":"0","data":[["900000","1","1","1","abc"]]})") << "decodingFailed";
        QTest::newRow("a negative time") << int(E::binance) << QByteArray(R"([[-900000,"1","1","1","2"]])")
                                         << "decodingFailed";
        QTest::newRow("OKX rate limit") << int(E::okx) << QByteArray(R"({"code":"50011","msg":"Too Many Requests"})")
                                        << "rateLimited";
        QTest::newRow("OKX refusal") << int(E::okx) << QByteArray(R"({"code":"51001","msg":"no such instrument"})")
                                     << "badServerResponse";
        QTest::newRow("Bybit rate limit")
            << int(E::bybit) << QByteArray(R"({"retCode":10006,"retMsg":"Too many"})") << "rateLimited";
        QTest::newRow("Bybit without result")
            << int(E::bybit) << QByteArray(R"({"retCode":0,"retMsg":"OK"})") << "decodingFailed";
        QTest::newRow("an object where Binance lists")
            << int(E::binance) << QByteArray(R"({"code":-1121})") << "decodingFailed";
        QTest::newRow("Coinbase, its error object")
            << int(E::coinbase) << QByteArray(R"({"message":"NotFound"})") << "decodingFailed";
        QTest::newRow("Coinbase, a close as a string")
            << int(E::coinbase) << QByteArray(R"([[900,1,1,1,"2",1]])") << "decodingFailed";
        QTest::newRow("Coinbase, cut short")
            << int(E::coinbase) << QByteArray("[[900,1,1,1,2,1],[1800,1,1") << "decodingFailed";
        QTest::newRow("Kraken, unknown pair in the error field")
            << int(E::kraken) << QByteArray(R"({"error":["EQuery:Unknown asset pair"]})") << "requestRejected";
        QTest::newRow("Kraken, rate limit in the error field")
            << int(E::kraken) << QByteArray(R"({"error":["EAPI:Rate limit exceeded"],"result":{}})") << "rateLimited";
        QTest::newRow("Kraken, an error beside candles")
            << int(E::kraken)
            << QByteArray(R"({"error":["EService:Unavailable"],"result":{"XXBTZUSD":[[900,"1","1","1","2"]]}})")
            << "badServerResponse";
        QTest::newRow("Kraken, a close as a number")
            << int(E::kraken) << QByteArray(R"({"error":[],"result":{"XXBTZUSD":[[900,"1","1","1",2]],"last":0}})")
            << "decodingFailed";
        QTest::newRow("Kraken, two pairs")
            << int(E::kraken) << QByteArray(R"({"error":[],"result":{"XXBTZUSD":[],"XETHZUSD":[]}})")
            << "decodingFailed";
        QTest::newRow("Kraken, no error field")
            << int(E::kraken) << QByteArray(R"({"result":{"XXBTZUSD":[]}})") << "decodingFailed";
    }
    void parse()
    {
        QFETCH(int, exchange);
        QFETCH(QByteArray, body);
        QFETCH(QString, candles);
        const HistorySource s = source(HistorySource::Exchange(exchange));
        const Result<QList<Candle>> result = s.parse(body);
        if (!result) {
            QCOMPARE(codeName(result.error().code), candles);
            return;
        }
        QStringList got;
        for (const Candle &candle : *result)
            got.append(QStringLiteral("%1:%2").arg(candle.openTime).arg(candle.close));
        QCOMPARE(got.join(u' '), candles);
    }

    void requests_data()
    {
        QTest::addColumn<int>("exchange");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("url"); // empty: none
        using E = HistorySource::Exchange;
        QTest::newRow("Binance") << int(E::binance) << "BTC" << 97
                                 << "https://api.binance.com/api/v3/klines?symbol=BTCUSDT&interval=15m&limit=97";
        QTest::newRow("OKX") << int(E::okx) << "ETH" << 2
                             << "https://www.okx.com/api/v5/market/candles?instId=ETH-USDT&bar=15m&limit=2";
        QTest::newRow("Bybit, at most a window")
            << int(E::bybit) << "SOL" << 500
            << "https://api.bybit.com/v5/market/kline?category=spot&symbol=SOLUSDT&interval=15&limit=97";
        QTest::newRow("Coinbase, the whole window as a time range")
            << int(E::coinbase) << "BTC" << 97
            << "https://api.exchange.coinbase.com/products/BTC-USD/candles?granularity=900"
               "&start=2026-02-28T12:00:00Z&end=2026-03-01T12:00:30Z";
        QTest::newRow("Coinbase, the last two")
            << int(E::coinbase) << "ETH" << 2
            << "https://api.exchange.coinbase.com/products/ETH-USD/candles?granularity=900"
               "&start=2026-03-01T11:45:00Z&end=2026-03-01T12:00:30Z";
        QTest::newRow("Kraken, in its own name for bitcoin")
            << int(E::kraken) << "BTC" << 97
            << QStringLiteral("https://api.kraken.com/0/public/OHLC?pair=XBTUSD&interval=15&since=%1")
                   .arg(firstSlot - 1);
        QTest::newRow("Kraken, the open candle")
            << int(E::kraken) << "DOGE" << 1
            << QStringLiteral("https://api.kraken.com/0/public/OHLC?pair=XDGUSD&interval=15&since=%1")
                   .arg(noonSeconds - 1);
        // A symbol that could change the query is not asked for.
        QTest::newRow("a symbol with a query in it") << int(E::binance) << "BTC&limit=1000" << 1 << "";
        QTest::newRow("Kraken, a symbol with a path in it") << int(E::kraken) << "BTC/../x" << 1 << "";
        QTest::newRow("nothing wanted") << int(E::coinbase) << "BTC" << 0 << "";
    }
    void requests()
    {
        QFETCH(int, exchange);
        QFETCH(QString, symbol);
        QFETCH(int, count);
        QFETCH(QString, url);
        const std::optional<HttpRequest> request
            = source(HistorySource::Exchange(exchange)).request(symbol, count, noon.addSecs(30));
        QCOMPARE(request ? request->url.toString() : QString(), url);
        if (request)
            QVERIFY(request->maxBodySize > 0);
    }

    void merge_data()
    {
        QTest::addColumn<PriceSeries>("stored");
        QTest::addColumn<QList<Candle>>("candles");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("lastSlots"); // slots 92 … 96
        QTest::addColumn<int>("needed");

        const auto at = [](int slotsBack, double close) { return Candle {noonSeconds - slotsBack * slot, close}; };
        QTest::newRow("empty: the whole window is needed")
            << PriceSeries() << QList<Candle>() << noon << "92:- 93:- 94:- 95:- 96:-" << 97;
        QTest::newRow("out of order, with a gap and a price of 0")
            << PriceSeries() << QList<Candle> {at(0, 5), at(2, 3), at(4, 1), at(1, 0)} << noon
            << "92:1 93:- 94:3 95:- 96:5" << 1;
        QTest::newRow("off the grid and outside the window are ignored")
            << PriceSeries() << QList<Candle> {{noonSeconds - 60, 9}, at(97, 9), at(-1, 9), at(3, 2)} << noon
            << "92:- 93:2 94:- 95:- 96:-" << 4;
        PriceSeries earlier {firstSlot - 2 * slot, QList<double>(97, 7)};
        QTest::newRow("the window moves on: old closes keep their times")
            << earlier << QList<Candle> {at(0, 8)} << noon << "92:7 93:7 94:7 95:- 96:8" << 1;
        QTest::newRow("a close of 0 leaves the stored one")
            << PriceSeries {firstSlot, QList<double>(97, 7)} << QList<Candle> {at(1, 0), at(0, 9)} << noon
            << "92:7 93:7 94:7 95:7 96:9" << 1;
        QTest::newRow("a later candle of a slot replaces the stored one")
            << PriceSeries {firstSlot, QList<double>(97, 7)} << QList<Candle> {at(0, 9)} << noon.addSecs(299)
            << "92:7 93:7 94:7 95:7 96:9" << 1;
        QTest::newRow("a day old: all of it is needed again")
            << PriceSeries {firstSlot - 97 * slot, QList<double>(97, 7)} << QList<Candle>() << noon
            << "92:- 93:- 94:- 95:- 96:-" << 97;
    }
    void merge()
    {
        QFETCH(PriceSeries, stored);
        QFETCH(QList<Candle>, candles);
        QFETCH(QDateTime, now);
        QFETCH(QString, lastSlots);
        QFETCH(int, needed);
        const PriceSeries merged = mergeCandles(stored, candles, now);
        QCOMPARE(merged.start, firstSlot);
        QCOMPARE(merged.closes.size(), PriceSeries::slots);
        QCOMPARE(describe(merged, 92), lastSlots);
        QCOMPARE(candlesNeeded(merged, now), needed);
    }

    void displayed()
    {
        PriceSeries series {firstSlot, QList<double>(97, gap)};
        series.closes[95] = 100;
        series.closes[96] = 110;
        // In the display currency, ending at the live price; the leading slots stay gaps.
        const QList<double> shown = displayedHistory(series, 2.0, 230.0, noon.addSecs(60));
        QCOMPARE(shown.size(), 97);
        QVERIFY(std::isnan(shown.at(0)));
        QCOMPARE(shown.at(95), 200.0);
        QCOMPARE(shown.at(96), 230.0);
        QVERIFY(displayedHistory(series, 2.0, std::nullopt, noon).isEmpty());
        QVERIFY(displayedHistory(PriceSeries(), 1.0, 1.0, noon).isEmpty());
        QVERIFY(displayedHistory(series, std::nan(""), 1.0, noon).isEmpty());
        // Fifteen minutes on, the series has moved one slot to the left.
        QCOMPARE(displayedHistory(series, 1.0, 1.0, noon.addSecs(slot)).at(94), 100.0);
    }

    void store_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("readable");
        QTest::newRow("written by us") << PriceHistoryStore::encode({{QStringLiteral("BTC"), {firstSlot, {1, gap, 3}}}})
                                       << true;
        QTest::newRow("not JSON") << QByteArray("{\"version\":1,") << false;
        QTest::newRow("another version") << QByteArray(R"({"version":2,"series":{}})") << false;
        QTest::newRow("a start off the grid")
            << QByteArray(R"({"version":1,"series":{"BTC":{"start":5,"closes":[]}}})") << false;
        QTest::newRow("a close of 0") << QByteArray(R"({"version":1,"series":{"BTC":{"start":900,"closes":[0]}}})")
                                      << false;
        QTest::newRow("too many closes") << QByteArray(
            R"({"version":1,"series":{"BTC":{"start":900,"closes":[)" + QByteArray("1,").repeated(97) + "1]}}}")
                                         << false;
    }
    void store()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, readable);
        const auto decoded = PriceHistoryStore::decode(file);
        QCOMPARE(decoded.has_value(), readable);
        if (readable)
            QCOMPARE(describe(decoded->value(QStringLiteral("BTC")), 0), QStringLiteral("0:1 1:- 2:3"));
    }

    // The service: fails over, backs off, fetches only what is missing, keeps the last good series.
    void service()
    {
        QTemporaryDir dir;
        const PriceHistoryStore store {dir.filePath(QStringLiteral("price-history.json"))};
        Test::FakeClock clock(noon.addSecs(30));
        Test::FakeTimerFactory timers(clock);
        Test::FakeHTTPClient http;
        const QList<HistorySource> sources = defaultHistorySources();
        const QUrl binance(QStringLiteral("https://api.binance.com/api/v3/klines"));
        const QUrl vision(QStringLiteral("https://data-api.binance.vision/api/v3/klines"));
        const QUrl okx(QStringLiteral("https://www.okx.com/api/v5/market/candles"));
        http.enqueue(binance, 500);
        http.enqueue(vision, 429, {}, {{"Retry-After", "3600"}});
        http.enqueue(okx, 200,
            R"({"code":"0","data":[[")" + QByteArray::number((noonSeconds - slot) * 1000) + R"(","1","1","1","40"],[")"
                + QByteArray::number(noonSeconds * 1000) + R"(","1","1","1","41"]]})");

        PriceHistoryService service(http, sources, store, timers, clock.clock());
        QSignalSpy changed(&service, &PriceHistoryService::seriesChanged);
        service.setSymbols({QStringLiteral("btc")});
        QVERIFY(changed.wait());
        QCOMPARE(http.requestedUrls().size(), 3);
        QVERIFY(http.requestedUrls().constLast().toString().endsWith(QStringLiteral("limit=97")));
        QCOMPARE(describe(service.series().value(QStringLiteral("BTC")), 95), QStringLiteral("95:40 96:41"));
        QVERIFY(PriceHistoryStore::decode([&] {
            QFile f(store.filePath);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }()));

        // Not again within 15 minutes, asked or not.
        http.clearLog();
        service.setSymbols({QStringLiteral("BTC")});
        timers.advance(10min);
        QCOMPARE(http.requestedUrls().size(), 0);

        // On the quarter hour: both Binance hosts still back off, so OKX is
        // asked first, and only for what is missing; a malformed answer and a
        // failing Bybit, Coinbase and Kraken (unscripted) keep the series.
        http.enqueue(okx, 200, "[[1,");
        http.setStanding(QUrl(QStringLiteral("https://api.bybit.com/v5/market/kline")), 503);
        timers.advance(5min);
        QTRY_VERIFY(!service.isFetching());
        QCOMPARE(http.requestedUrls().size(), 4);
        QCOMPARE(http.requestedUrls().constFirst().host(), QStringLiteral("www.okx.com"));
        QVERIFY(http.requestedUrls().constFirst().toString().endsWith(QStringLiteral("limit=2")));
        QCOMPARE(describe(service.series().value(QStringLiteral("BTC")), 95), QStringLiteral("95:40 96:41"));

        // A coin no longer watched is let go.
        service.setSymbols({});
        QVERIFY(service.series().isEmpty());
    }

    // One round for a coin whose window is full of 7s: which sources are asked
    // (unscripted ones fail) and what the window ends with.
    void serviceRound_data()
    {
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QString>("lastSlots"); // slots 95 and 96

        const QString binance = QStringLiteral("api.binance.com");
        const QString vision = QStringLiteral("data-api.binance.vision");
        const QString coinbase = QStringLiteral("api.exchange.coinbase.com");
        const QString kraken = QStringLiteral("api.kraken.com");
        const QStringList all {
            binance, vision, QStringLiteral("www.okx.com"), QStringLiteral("api.bybit.com"), coinbase, kraken};
        const QByteArray openSlot = QByteArray::number(noonSeconds);
        QTest::newRow("an empty list is no answer: the next source is asked")
            << Answers {{binance, "[]"}, {vision, binanceCandles({{0, 9}})}} << all.mid(0, 2) << "95:7 96:9";
        QTest::newRow("only prices of 0: the next source, and no close is erased")
            << Answers {{binance, binanceCandles({{1, 0}, {0, 0}})}, {vision, binanceCandles({{0, 9}})}}
            << all.mid(0, 2) << "95:7 96:9";
        QTest::newRow("Coinbase after four failures")
            << Answers {{coinbase, "[[" + openSlot + ",1,1,1,9,1]]"}} << all.mid(0, 5) << "95:7 96:9";
        QTest::newRow("Kraken last, after a malformed Coinbase answer") << Answers {{coinbase,
                                                                                        "[[" + openSlot + ",1,1"},
            {kraken,
                R"({"error":[],"result":{"XXBTZUSD":[[)" + openSlot + R"(,"1","1","1","9","1","1",1]],"last":1}})"}}
                                                                        << all << "95:7 96:9";
        QTest::newRow("every source fails: the series stays")
            << Answers {{kraken, R"({"error":["EService:Unavailable"]})"}} << all << "95:7 96:7";
    }
    void serviceRound()
    {
        QFETCH(Answers, answers);
        QFETCH(QStringList, asked);
        QFETCH(QString, lastSlots);
        QTemporaryDir dir;
        const PriceHistoryStore store {dir.filePath(QStringLiteral("price-history.json"))};
        QVERIFY(store.save({{QStringLiteral("BTC"), {firstSlot, QList<double>(97, 7)}}}));
        Test::FakeClock clock(noon.addSecs(30));
        Test::FakeTimerFactory timers(clock);
        Test::FakeHTTPClient http;
        for (const auto &[host, body] : answers) {
            for (const HistorySource &s : defaultHistorySources()) {
                const std::optional<HttpRequest> request = s.request(QStringLiteral("BTC"), 1, clock.now());
                if (request->url.host() == host)
                    http.enqueue(request->url, 200, body);
            }
        }

        PriceHistoryService service(http, defaultHistorySources(), store, timers, clock.clock());
        service.setSymbols({QStringLiteral("BTC")});
        QTRY_VERIFY(!service.isFetching());
        QStringList hosts;
        for (const QUrl &url : http.requestedUrls())
            hosts.append(url.host());
        QCOMPARE(hosts, asked);
        QCOMPARE(describe(service.series().value(QStringLiteral("BTC")), 95), lastSlots);
        // What the round left is what a restart finds.
        QCOMPARE(describe(store.load().value(QStringLiteral("BTC")), 95), lastSlots);
    }

    void sparkline_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("shape"); // lines as "x,y x,y | …", then "dots …"
        QTest::newRow("rising") << QList<double> {1, 2, 3} << "0,10 5,5 10,0";
        QTest::newRow("flat sits in the middle") << QList<double> {4, 4} << "0,5 10,5";
        QTest::newRow("a gap breaks the line, a lone value is a dot")
            << QList<double> {1, 3, gap, 2, gap} << "0,10 2.5,0 | dots 7.5,5";
        QTest::newRow("nothing") << QList<double> {gap, gap} << "";
    }
    void sparkline()
    {
        QFETCH(QList<double>, values);
        QFETCH(QString, shape);
        const SparklineGeometry g = SparklineGeometry::of(values, QRectF(0, 0, 10, 10));
        QStringList parts;
        for (const QPolygonF &line : g.lines) {
            QStringList points;
            for (const QPointF &p : line)
                points.append(QStringLiteral("%1,%2").arg(p.x()).arg(p.y()));
            parts.append(points.join(u' '));
        }
        QString text = parts.join(QStringLiteral(" | "));
        if (!g.dots.isEmpty()) {
            QStringList dots;
            for (const QPointF &p : g.dots)
                dots.append(QStringLiteral("%1,%2").arg(p.x()).arg(p.y()));
            text += QStringLiteral(" | dots ") + dots.join(u' ');
        }
        QCOMPARE(text, shape);
        QCOMPARE(SparklineGeometry::slotAt(7.4, values.size(), QRectF(0, 0, 10, 10)),
            values.size() < 2 ? values.size() - 1 : qsizetype(std::round(0.74 * (values.size() - 1))));
    }
};

QTEST_GUILESS_MAIN(TestPriceHistory)
#include "tst_pricehistory.moc"
