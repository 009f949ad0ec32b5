// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakeclock.h"
#include "fakehttpclient.h"
#include "market/exchangerates.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTest>

using namespace Vantrell;
using Vantrell::Test::FakeClock;
using Vantrell::Test::FakeHTTPClient;
using Code = MarketError::Code;

Q_DECLARE_METATYPE(MarketError::Code)

namespace {

const QUrl erapiURL(ERAPIRateProvider::defaultURL());
const QUrl cdnURL(CurrencyAPIRateProvider::cdnURL());
const QUrl mirrorURL(CurrencyAPIRateProvider::mirrorURL());
const QList<QUrl> sourceURLs {erapiURL, cdnURL, mirrorURL};

QByteArray erapiBody(const QByteArray &rates, const QByteArray &result = "success")
{
    return R"({"result":")" + result + R"(","base_code":"USD","rates":{)" + rates + "}}";
}

QByteArray currencyApiBody(const QByteArray &rates)
{
    return R"({"date":"2026-03-01","usd":{)" + rates + "}}";
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

QByteArray cacheFile(const QByteArray &rates, const QDateTime &fetchedAt)
{
    return R"({"rates":{)" + rates + R"(},"fetchedAt":")" + fetchedAt.toUTC().toString(Qt::ISODate).toLatin1() + "\"}";
}

// The outcome of one call, filled in by its completion.
struct Outcome
{
    int calls = 0;
    std::optional<Result<double>> result;

    Completion<double> completion()
    {
        return [this](Result<double> r) {
            ++calls;
            result = std::move(r);
        };
    }
    bool wait()
    {
        return QTest::qWaitFor([this] { return calls > 0; }, 2000);
    }
    double rate() const { return result && result->ok() ? result->value() : -1; }
    std::optional<Code> error() const
    {
        return result && !result->ok() ? std::optional(result->error().code) : std::nullopt;
    }
};

// A service over a fake network, a fake clock and a cache directory inside
// the isolated XDG cache.
struct Harness
{
    Test::IsolatedXdg xdg;
    FakeClock clock;
    FakeHTTPClient http;
    QString directory = xdg.cacheHome() + QStringLiteral("/vantrell-test");
    std::unique_ptr<ExchangeRateService> service;

    explicit Harness(bool withContainer = true) { create(withContainer); }

    void create(bool withContainer = true)
    {
        service = std::make_unique<ExchangeRateService>(http, defaultExchangeRateProviders(),
            ExchangeRateCacheStore(withContainer ? std::optional(directory) : std::nullopt), clock.clock());
    }
    QString cachePath() const { return directory + QStringLiteral("/exchange-rates.json"); }

    Outcome ask(BaseCurrency currency)
    {
        Outcome outcome;
        service->usdRate(currency, outcome.completion());
        outcome.wait();
        return outcome;
    }
};

} // namespace

class TestExchangeRateService final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // --- Sources ------------------------------------------------------------

    void parseRates_data()
    {
        QTest::addColumn<int>("source"); // 0 ExchangeRate-API, 1 currency-api
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("expectedCount"); // -1: fails
        QTest::addColumn<QString>("code");
        QTest::addColumn<double>("expectedRate");
        QTest::addColumn<Code>("expectedError");

        const QByteArray recordedCurrencyApi
            = readFile(QStringLiteral(VANTRELL_RECORDED_DATA_DIR "/currency-api-usd.min.json"));
        const QByteArray recordedErApi
            = readFile(QStringLiteral(VANTRELL_RECORDED_DATA_DIR "/open-er-api-v6-latest-RUB.json"));
        QVERIFY(!recordedCurrencyApi.isEmpty() && !recordedErApi.isEmpty());

        QTest::newRow("er-api recorded") << 0 << recordedErApi << 163 << "EUR" << 0.010736 << Code::badURL;
        QTest::newRow("er-api result error")
            << 0 << erapiBody(R"("EUR":0.5)", "error") << -1 << "" << 0.0 << Code::badServerResponse;
        QTest::newRow("er-api rate as text")
            << 0 << erapiBody(R"("EUR":"0.9")") << -1 << "" << 0.0 << Code::decodingFailed;
        QTest::newRow("er-api zero and negative left out")
            << 0 << erapiBody(R"("EUR":0,"GBP":-0.8,"JPY":150)") << 1 << "JPY" << 150.0 << Code::badURL;
        QTest::newRow("er-api trailing junk")
            << 0 << erapiBody(R"("EUR":0.9)") + "x" << -1 << "" << 0.0 << Code::decodingFailed;

        QTest::newRow("currency-api recorded, upper-cased")
            << 1 << recordedCurrencyApi << 339 << "EUR" << 0.88022588 << Code::badURL;
        QTest::newRow("currency-api codes equal after upper-casing")
            << 1 << currencyApiBody(R"("eur":0.91,"EUR":5)") << 1 << "EUR" << 0.91 << Code::badURL;
        QTest::newRow("currency-api without usd")
            << 1 << QByteArray(R"({"date":"2026-03-01","eur":{}})") << -1 << "" << 0.0 << Code::decodingFailed;
    }

    void parseRates()
    {
        QFETCH(int, source);
        QFETCH(QByteArray, body);
        QFETCH(int, expectedCount);
        QFETCH(QString, code);
        QFETCH(double, expectedRate);
        QFETCH(Code, expectedError);

        std::unique_ptr<ExchangeRateProvider> provider;
        if (source == 0)
            provider = std::make_unique<ERAPIRateProvider>();
        else
            provider = std::make_unique<CurrencyAPIRateProvider>(CurrencyAPIRateProvider::cdnURL());

        // Twice, since the decoder is reused between calls.
        for (int round = 0; round < 2; ++round) {
            const Result<RatesTable> table = provider->parseRates(body);
            if (expectedCount < 0) {
                QVERIFY(!table.ok());
                QCOMPARE(table.error().code, expectedError);
                continue;
            }
            QVERIFY2(table.ok(), qPrintable(table.ok() ? QString() : table.error().description()));
            QCOMPARE(table->size(), expectedCount);
            QCOMPARE(table->value(code), expectedRate);
        }
    }

    // --- Cache file ---------------------------------------------------------

    void decodeCacheFile_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QDateTime>("expectedFetchedAt");

        const QDateTime noon(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
        QTest::newRow("written form") << QByteArray(R"({"rates":{"EUR":0.9},"fetchedAt":"2026-03-01T12:00:00Z"})")
                                      << true << noon;
        QTest::newRow("offset time zone")
            << QByteArray(R"({"rates":{"EUR":0.9},"fetchedAt":"2026-03-01T14:00:00+02:00"})") << true << noon;
        QTest::newRow("fractional seconds")
            << QByteArray(R"({"rates":{"EUR":0.9},"fetchedAt":"2026-03-01T12:00:00.5Z"})") << false << QDateTime();
        QTest::newRow("no time zone") << QByteArray(R"({"rates":{"EUR":0.9},"fetchedAt":"2026-03-01T12:00:00"})")
                                      << false << QDateTime();
        QTest::newRow("rate as text") << QByteArray(R"({"rates":{"EUR":"0.9"},"fetchedAt":"2026-03-01T12:00:00Z"})")
                                      << false << QDateTime();
        QTest::newRow("zero rate") << QByteArray(R"({"rates":{"EUR":0},"fetchedAt":"2026-03-01T12:00:00Z"})") << false
                                   << QDateTime();
        QTest::newRow("truncated")
            << QByteArray(R"({"rates":{"EUR":0.9},"fetchedAt":"2026-03-01T12:00:00Z"})").chopped(12) << false
            << QDateTime();
    }

    void decodeCacheFile()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, valid);
        QFETCH(QDateTime, expectedFetchedAt);

        const auto entry = ExchangeRateCacheStore::decode(data);
        QCOMPARE(entry.has_value(), valid);
        if (entry)
            QCOMPARE(entry->fetchedAt, expectedFetchedAt);
    }

    void cacheFileRoundTripsToTheSecond()
    {
        Test::IsolatedXdg xdg;
        const ExchangeRateCacheStore store(xdg.cacheHome() + QStringLiteral("/group/nested"));
        const QDateTime fetchedAt(QDate(2026, 3, 1), QTime(12, 0, 0, 789), Qt::UTC);
        store.saveEntry({{{QStringLiteral("EUR"), 0.9123456789012345}, {QStringLiteral("JPY"), 151.25}}, fetchedAt});

        const QByteArray written = readFile(*store.filePath());
        const QJsonObject object = QJsonDocument::fromJson(written).object();
        QCOMPARE(object.value(QLatin1String("fetchedAt")).toString(), QStringLiteral("2026-03-01T12:00:00Z"));
        QVERIFY(written.indexOf("\"rates\"") < written.indexOf("\"fetchedAt\""));

        const auto entry = store.loadEntry();
        QVERIFY(entry);
        QCOMPARE(entry->rates.value(QStringLiteral("EUR")), 0.9123456789012345);
        QCOMPARE(entry->rates.value(QStringLiteral("JPY")), 151.25);
        QCOMPARE(entry->fetchedAt, fetchedAt.addMSecs(-789));
    }

    // --- Service: memory, disk and network ----------------------------------

    void usdNeedsNothing()
    {
        Harness h(false);
        Outcome outcome;
        h.service->usdRate(BaseCurrency::usd, outcome.completion());
        QCOMPARE(outcome.calls, 0); // never inside the call
        QVERIFY(outcome.wait());
        QCOMPARE(outcome.rate(), 1.0);
        QCOMPARE(h.http.calls().size(), 0);
    }

    void cacheFreshness_data()
    {
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("downloads");

        QTest::newRow("59 minutes") << 59 * 60 << false;
        QTest::newRow("60 minutes") << 60 * 60 << true;
        QTest::newRow("an hour in the future") << -3600 << true;
    }

    void cacheFreshness()
    {
        QFETCH(int, ageSeconds);
        QFETCH(bool, downloads);

        Harness h;
        writeFile(h.cachePath(), cacheFile(R"("EUR":0.8)", h.clock.now().addSecs(-ageSeconds)));
        h.create();
        h.http.enqueue(erapiURL, 200, erapiBody(R"("EUR":0.9)"));

        const Outcome outcome = h.ask(BaseCurrency::eur);
        QCOMPARE(outcome.rate(), downloads ? 0.9 : 0.8);
        QCOMPARE(h.http.calls().size(), downloads ? 1 : 0);
    }

    void downloadIsStoredInMemoryAndOnDisk()
    {
        Harness h;
        h.clock.advance(0.25); // a clock with milliseconds
        h.http.enqueue(cdnURL, 200, currencyApiBody(R"("eur":0.91,"gbp":0.79)"));
        h.http.enqueue(erapiURL, 503);

        QCOMPARE(h.ask(BaseCurrency::gbp).rate(), 0.79);
        QCOMPARE(h.service->cacheTimestamp(), h.clock.now());
        const auto entry = ExchangeRateCacheStore(h.directory).loadEntry();
        QVERIFY(entry);
        QCOMPARE(entry->rates, (RatesTable {{QStringLiteral("EUR"), 0.91}, {QStringLiteral("GBP"), 0.79}}));
        QCOMPARE(entry->fetchedAt, h.clock.now().addMSecs(-250));

        // Served from memory for the rest of the hour.
        h.clock.advance(3599);
        QCOMPARE(h.ask(BaseCurrency::eur).rate(), 0.91);
        QCOMPARE(h.http.calls().size(), 2);
    }

    void concurrentCallersShareOneDownload()
    {
        Harness h;
        h.http.setHolding(true);
        h.http.enqueue(erapiURL, 200, erapiBody(R"("EUR":0.9,"GBP":0.8,"JPY":150)"));

        Outcome eur, gbp, jpy;
        h.service->usdRate(BaseCurrency::eur, eur.completion());
        h.service->usdRate(BaseCurrency::gbp, gbp.completion());
        const CancelHandle cancelled = h.service->usdRate(BaseCurrency::jpy, jpy.completion());
        QCOMPARE(h.http.calls().size(), 1);
        QVERIFY(h.service->isDownloading());

        cancelled->cancel(); // one caller gives up; the others still get the table
        QCOMPARE(h.http.cancelledCount(), 0);
        QCOMPARE(h.http.release(), 1);
        QVERIFY(eur.wait());
        QVERIFY(gbp.wait());
        QCOMPARE(eur.rate(), 0.9);
        QCOMPARE(gbp.rate(), 0.8);
        QCOMPARE(jpy.calls, 0);
        QCOMPARE(h.http.calls().size(), 1);
        QVERIFY(!h.service->isDownloading());
    }

    void downloadOutlivesItsCancelledCallers()
    {
        Harness h;
        h.http.setHolding(true);
        h.http.enqueue(erapiURL, 200, erapiBody(R"("EUR":0.9)"));

        Outcome first;
        h.service->usdRate(BaseCurrency::eur, first.completion())->cancel();
        h.http.release();
        QVERIFY(QTest::qWaitFor([&] { return !h.service->isDownloading(); }, 2000));
        QCOMPARE(first.calls, 0);
        QCOMPARE(h.http.cancelledCount(), 0);

        // The table was kept: the next caller needs no network.
        h.http.setHolding(false);
        QCOMPARE(h.ask(BaseCurrency::eur).rate(), 0.9);
        QCOMPARE(h.http.calls().size(), 1);
        QVERIFY(QFile::exists(h.cachePath()));
    }

    void sourceChain_data()
    {
        QTest::addColumn<QList<int>>("statuses"); // per source; 0: transport failure
        QTest::addColumn<QByteArrayList>("bodies");
        QTest::addColumn<QList<int>>("expectedSources");
        QTest::addColumn<double>("expectedRate");
        QTest::addColumn<Code>("expectedError");

        const QByteArray good = erapiBody(R"("EUR":0.9)");
        const QByteArray cdnGood = currencyApiBody(R"("eur":0.91)");
        const QByteArray mirrorGood = currencyApiBody(R"("eur":0.92)");

        QTest::newRow("first source answers")
            << QList<int> {200, 200, 200} << QByteArrayList {good, cdnGood, mirrorGood} << QList<int> {0} << 0.9
            << Code::badURL;
        QTest::newRow("result error moves on")
            << QList<int> {200, 200, 200} << QByteArrayList {erapiBody(R"("EUR":0.5)", "error"), cdnGood, mirrorGood}
            << QList<int> {0, 1} << 0.91 << Code::badURL;
        QTest::newRow("server error moves on") << QList<int> {500, 200, 200} << QByteArrayList {"", cdnGood, mirrorGood}
                                               << QList<int> {0, 1} << 0.91 << Code::badURL;
        QTest::newRow("timeout moves on") << QList<int> {0, 200, 200} << QByteArrayList {"", cdnGood, mirrorGood}
                                          << QList<int> {0, 1} << 0.91 << Code::badURL;
        QTest::newRow("malformed body moves on")
            << QList<int> {200, 200, 200} << QByteArrayList {"{\"result\":", cdnGood, mirrorGood} << QList<int> {0, 1}
            << 0.91 << Code::badURL;
        QTest::newRow("only unusable rates move on")
            << QList<int> {200, 200, 200} << QByteArrayList {erapiBody(R"("EUR":0,"GBP":-1)"), cdnGood, mirrorGood}
            << QList<int> {0, 1} << 0.91 << Code::badURL;
        QTest::newRow("mirror as last resort") << QList<int> {500, 404, 200} << QByteArrayList {"", "", mirrorGood}
                                               << QList<int> {0, 1, 2} << 0.92 << Code::badURL;
        QTest::newRow("table without the currency")
            << QList<int> {200, 200, 200} << QByteArrayList {erapiBody(R"("GBP":0.8)"), cdnGood, mirrorGood}
            << QList<int> {0} << -1.0 << Code::cannotParseResponse;
        QTest::newRow("all fail") << QList<int> {500, 0, 429} << QByteArrayList {"", "", ""} << QList<int> {0, 1, 2}
                                  << -1.0 << Code::cannotLoadFromNetwork;
    }

    void sourceChain()
    {
        QFETCH(QList<int>, statuses);
        QFETCH(QByteArrayList, bodies);
        QFETCH(QList<int>, expectedSources);
        QFETCH(double, expectedRate);
        QFETCH(Code, expectedError);

        Harness h;
        for (int i = 0; i < 3; ++i) {
            if (statuses[i] == 0)
                h.http.enqueue(sourceURLs[i], MarketError::make(Code::timedOut));
            else
                h.http.enqueue(sourceURLs[i], statuses[i], bodies[i]);
        }

        const Outcome outcome = h.ask(BaseCurrency::eur);
        QList<QUrl> expectedURLs;
        for (int source : expectedSources)
            expectedURLs.append(sourceURLs[source]);
        QCOMPARE(h.http.requestedUrls(), expectedURLs);
        if (expectedRate > 0) {
            QCOMPARE(outcome.rate(), expectedRate);
        } else {
            QCOMPARE(outcome.error(), std::optional(expectedError));
            QVERIFY(!QFile::exists(h.cachePath()) || expectedError == Code::cannotParseResponse);
        }
    }

    void rateLimitedSourceIsSkippedUntilItsBackOffEnds_data()
    {
        QTest::addColumn<QByteArray>("retryAfter"); // empty: no header
        QTest::addColumn<int>("expectedSeconds");

        QTest::newRow("Retry-After 30") << QByteArray("30") << 30;
        QTest::newRow("no header") << QByteArray() << 1200;
        QTest::newRow("absurdly long is capped at an hour") << QByteArray("1e300") << 3600;
        QTest::newRow("ten to the 300th, written out") << QByteArray("1" + QByteArray(300, '0')) << 3600;
    }

    void rateLimitedSourceIsSkippedUntilItsBackOffEnds()
    {
        QFETCH(QByteArray, retryAfter);
        QFETCH(int, expectedSeconds);

        Harness h;
        QList<std::pair<QByteArray, QByteArray>> headers;
        if (!retryAfter.isEmpty())
            headers.append({"Retry-After", retryAfter});
        h.http.enqueue(erapiURL, 429, {}, headers);
        h.http.setStanding(erapiURL, 200, erapiBody(R"("EUR":0.9,"JPY":150)"));
        // The CDN never has JPY, so every JPY call below downloads again.
        h.http.setStanding(cdnURL, 200, currencyApiBody(R"("eur":0.91)"));

        QCOMPARE(h.ask(BaseCurrency::eur).rate(), 0.91);
        QCOMPARE(h.http.requestedUrls(), (QList<QUrl> {erapiURL, cdnURL}));
        QCOMPARE(h.service->rateLimitedUntil().value(0), h.clock.now().addSecs(expectedSeconds));

        h.http.clearLog();
        h.clock.advance(expectedSeconds - 1);
        QCOMPARE(h.ask(BaseCurrency::jpy).error(), std::optional(Code::cannotParseResponse));
        QCOMPARE(h.http.requestedUrls(), QList<QUrl> {cdnURL});

        h.http.clearLog();
        h.clock.advance(1);
        QCOMPARE(h.ask(BaseCurrency::jpy).rate(), 150.0);
        QCOMPARE(h.http.requestedUrls(), QList<QUrl> {erapiURL});
    }

    void staleRateFallback_data()
    {
        QTest::addColumn<QByteArray>("oldRates");
        QTest::addColumn<int>("newStatus");
        QTest::addColumn<QByteArray>("newRates");
        QTest::addColumn<double>("expectedRate");
        QTest::addColumn<Code>("expectedError");

        QTest::newRow("all fail, two-day-old rate")
            << QByteArray(R"("EUR":0.8)") << 500 << QByteArray() << 0.8 << Code::badURL;
        QTest::newRow("all fail, no rate for the currency")
            << QByteArray(R"("GBP":0.7)") << 500 << QByteArray() << -1.0 << Code::cannotLoadFromNetwork;
        QTest::newRow("new table lacks the currency, old rate kept")
            << QByteArray(R"("EUR":0.8)") << 200 << QByteArray(R"("GBP":0.75)") << 0.8 << Code::badURL;
    }

    void staleRateFallback()
    {
        QFETCH(QByteArray, oldRates);
        QFETCH(int, newStatus);
        QFETCH(QByteArray, newRates);
        QFETCH(double, expectedRate);
        QFETCH(Code, expectedError);

        Harness h(false);
        h.http.enqueue(erapiURL, 200, erapiBody(oldRates));
        h.ask(BaseCurrency::gbp);
        h.clock.advance(2 * 86400);

        h.http.enqueue(erapiURL, newStatus, erapiBody(newRates));
        for (const QUrl &url : {cdnURL, mirrorURL})
            h.http.enqueue(url, 503);
        const Outcome outcome = h.ask(BaseCurrency::eur);
        if (expectedRate > 0)
            QCOMPARE(outcome.rate(), expectedRate);
        else
            QCOMPARE(outcome.error(), std::optional(expectedError));
    }

    void adoptsNewerFileFromTheOtherProcess_data()
    {
        QTest::addColumn<int>("fileOffsetSeconds"); // relative to the table in memory
        QTest::addColumn<bool>("adopted");

        QTest::newRow("newer") << 1800 << true;
        QTest::newRow("equal") << 0 << false;
        QTest::newRow("older") << -60 << false;
    }

    void adoptsNewerFileFromTheOtherProcess()
    {
        QFETCH(int, fileOffsetSeconds);
        QFETCH(bool, adopted);

        Harness h;
        h.http.enqueue(erapiURL, 200, erapiBody(R"("EUR":0.9)"));
        QCOMPARE(h.ask(BaseCurrency::eur).rate(), 0.9);
        const QDateTime downloadedAt = h.clock.now();

        // Within the hour the file is not even looked at.
        writeFile(h.cachePath(), cacheFile(R"("EUR":0.7)", downloadedAt.addSecs(fileOffsetSeconds)));
        h.clock.advance(1800);
        QCOMPARE(h.ask(BaseCurrency::eur).rate(), 0.9);

        h.clock.advance(1800);
        h.http.enqueue(erapiURL, 200, erapiBody(R"("EUR":0.95)"));
        const Outcome outcome = h.ask(BaseCurrency::eur);
        QCOMPARE(outcome.rate(), adopted ? 0.7 : 0.95);
        QCOMPARE(h.http.calls().size(), adopted ? 1 : 2);
    }

    void corruptCacheFileIsReplaced()
    {
        Harness h;
        writeFile(h.cachePath(), QByteArray(R"({"rates":{"EUR":0.8},"fetchedAt":"2026-03-01T12:00:00Z"})").chopped(9));
        h.create();
        QVERIFY(!h.service->cacheTimestamp());

        h.http.enqueue(erapiURL, 200, erapiBody(R"("EUR":0.9)"));
        QCOMPARE(h.ask(BaseCurrency::eur).rate(), 0.9);
        QVERIFY(ExchangeRateCacheStore(h.directory).loadEntry());
    }

    void withoutContainerWorksFromMemory()
    {
        Harness h(false);
        h.http.enqueue(erapiURL, 200, erapiBody(R"("EUR":0.9)"));
        QCOMPARE(h.ask(BaseCurrency::eur).rate(), 0.9);
        QCOMPARE(h.ask(BaseCurrency::eur).rate(), 0.9);
        QCOMPARE(h.http.calls().size(), 1);
        QVERIFY(QDir(h.xdg.cacheHome()).isEmpty());
    }

    void destroyedServiceEndsWaitsWithCancelled()
    {
        Harness h;
        h.http.setHolding(true);
        h.http.enqueue(erapiURL, 200, erapiBody(R"("EUR":0.9)"));
        Outcome outcome;
        h.service->usdRate(BaseCurrency::eur, outcome.completion());
        h.service.reset();

        QVERIFY(outcome.wait());
        QCOMPARE(outcome.error(), std::optional(Code::cancelled));
        QCOMPARE(h.http.cancelledCount(), 1);
        QCOMPARE(h.http.release(), 0);
    }
};

QTEST_GUILESS_MAIN(TestExchangeRateService)
#include "tst_exchangerateservice.moc"
