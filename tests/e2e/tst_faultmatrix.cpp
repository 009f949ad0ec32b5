// SPDX-License-Identifier: GPL-3.0-or-later
// The real program against a fake market that misbehaves, one fault at a time
// on the exchange answering first (all of them at once in one row). For every
// fault the program must keep running, keep the last good price on show (never
// a wrong one), keep polling, show a new price soon after the fault clears and
// raise no alert the prices do not justify. The matrix is printed at the end.
#include "fakemarket.h"
#include "fakenotificationserver.h"
#include "fakestatusnotifierwatcher.h"
#include "testenvironment.h"
#include "vantrellprocess.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScopeGuard>
#include <QTest>

#include <functional>

using namespace Vantrell;
using namespace std::chrono_literals;

namespace {

constexpr int kStartTimeout = 60000;
// The program polls every second; a fault stays on for a few polls.
constexpr double kPollSeconds = 1.0;
constexpr int kPollMs = 1000;
constexpr int kFaultMs = 2500;
// What one exchange request may take before the client gives up: no byte for
// five seconds, or twenty in all. A request already under way when the fault
// clears runs into these before the next poll can start.
constexpr int kInactivityMs = 5000;
constexpr int kDeadlineMs = 20000;
// Scheduling and sanitizer overhead on a loaded machine.
constexpr int kSlackMs = 1500;

const QString kBinance = QStringLiteral("binance");
const QString kOkx = QStringLiteral("okx");
const QString kBybit = QStringLiteral("bybit");
const QString kCoinbase = QStringLiteral("coinbase");
const QString kKraken = QStringLiteral("kraken");
const QString kRefusal = QStringLiteral("The exchanges refuse connections from this network.");

QStringList hostsOf(const QString &exchange)
{
    if (exchange == kBinance)
        return {FakeMarketHost::binance, FakeMarketHost::binanceData};
    if (exchange == kOkx)
        return {FakeMarketHost::okx};
    if (exchange == kCoinbase)
        return {FakeMarketHost::coinbase};
    if (exchange == kKraken)
        return {FakeMarketHost::kraken};
    return {FakeMarketHost::bybit};
}

QString exchangeOf(const QString &host)
{
    if (host == FakeMarketHost::okx)
        return kOkx;
    if (host == FakeMarketHost::bybit)
        return kBybit;
    if (host == FakeMarketHost::coinbase)
        return kCoinbase;
    if (host == FakeMarketHost::kraken)
        return kKraken;
    return kBinance;
}

// Every exchange host in the order the program asks them.
const QStringList &exchangeHosts()
{
    static const QStringList hosts {FakeMarketHost::binance, FakeMarketHost::binanceData, FakeMarketHost::okx,
        FakeMarketHost::bybit, FakeMarketHost::coinbase, FakeMarketHost::kraken};
    return hosts;
}

bool isTickerRequest(const FakeMarketRequest &request)
{
    return hostsOf(exchangeOf(request.host)).contains(request.host);
}

// How one row breaks the market: a fault on the exchange's hosts, or garbage
// in place of its bitcoin price.
struct Fault
{
    std::optional<FakeMarketFault> response;
    std::optional<QByteArray> priceText;
    bool allExchanges = false;
    // The fault goes to these hosts rather than to the answering exchange.
    QStringList hosts;
    // These hosts refuse this network (HTTP 451) while the fault is on, so
    // that the exchange under test is the one asked.
    QStringList refusing;
    // Every host refuses: the tray tooltip must say so.
    bool expectRefusal = false;
    // The exchange keeps its price once the fault clears. An answer without
    // the coin makes the exchange not be asked for it for half an hour.
    bool recovers = true;
    std::chrono::milliseconds duration {kFaultMs};
    // The longest a request caught by the fault may keep the poll waiting after it clears.
    int inFlightMs = 0;
    // The fault leaves a state meant to outlast it (a rate limit's back-off,
    // the exchange's coin not asked for half an hour): the next row gets a
    // fresh program, or three such rows in a row would leave no exchange.
    bool restartAfter = false;
};

Fault response(FakeMarketFault fault, int inFlightMs = 0)
{
    return Fault {.response = std::move(fault), .inFlightMs = inFlightMs};
}

Fault rateLimit(FakeMarketFault fault)
{
    return Fault {.response = std::move(fault), .restartAfter = true};
}

// A fault on `hosts` while the hosts before them in the program's order refuse
// this network. Refused hosts stay set aside for an hour: a fresh program follows.
Fault behindRefusals(FakeMarketFault fault, const QStringList &hosts)
{
    const QStringList &all = exchangeHosts();
    return Fault {.response = std::move(fault),
        .hosts = hosts,
        .refusing = all.mid(0, all.indexOf(hosts.first())),
        .restartAfter = true};
}

Fault price(const char *text)
{
    return Fault {.priceText = QByteArray(text), .restartAfter = true};
}

// How one row breaks the exchange-rate services for a program in euros whose
// cached rate is two hours old.
struct RateFault
{
    FakeMarketFault response;
    // Only the first source fails: the next one must answer at once.
    bool firstSourceOnly = false;
    // The sources ask for a pause: the program keeps the cached rate meanwhile.
    bool backsOff = false;
    int inFlightMs = 0;
};

const QStringList &rateHosts()
{
    static const QStringList hosts {
        FakeMarketHost::erApi, FakeMarketHost::currencyApiCdn, FakeMarketHost::currencyApiMirror};
    return hosts;
}

constexpr double kCachedEurRate = 0.8;
constexpr double kMarketEurRate = 0.9;

struct Outcome
{
    QString fault;
    QString exchange;
    QString result;
    double recoverySeconds = -1;
};

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(RateFault)
Q_DECLARE_METATYPE(FakeMarketFault)

class TestFaultMatrix final : public QObject
{
    Q_OBJECT

private:
    Test::IsolatedXdg m_xdg;
    FakeMarket m_market;
    Test::FakeStatusNotifierWatcher m_watcher;
    Test::FakeNotificationServer m_notifications;
    std::unique_ptr<Test::VantrellProcess> m_app;
    double m_bitcoin = 64000;
    QList<Outcome> m_outcomes;
    QJsonObject m_settings;

    QString title() { return m_watcher.itemToolTip().title.trimmed(); }
    QString expectedTitle(double rate = 1) const
    {
        return QStringLiteral("BTC ") + QLocale(QLocale::English).toString(m_bitcoin * rate, 'f', 0);
    }

    // The exchange whose answer the program took last: the host of the latest ticker request.
    QString answeringExchange() const
    {
        const QList<FakeMarketRequest> requests = m_market.requests();
        for (auto it = requests.crbegin(); it != requests.crend(); ++it) {
            if (isTickerRequest(*it))
                return exchangeOf(it->host);
        }
        return kBinance;
    }

    // A file of the program, found where the program put it.
    QString pathOf(const QString &fileName) const
    {
        QDirIterator it(m_xdg.root(), {fileName}, QDir::Files, QDirIterator::Subdirectories);
        return it.hasNext() ? it.next() : QString();
    }
    QString rateCachePath() const { return pathOf(QStringLiteral("exchange-rates.json")); }
    QByteArray fileContents(const QString &fileName) const
    {
        const QString path = pathOf(fileName);
        QFile file(path);
        return !path.isEmpty() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Bitcoin's day as the widget snapshot holds it, a value (or null) per slot.
    QJsonArray bitcoinDay() const
    {
        return QJsonDocument::fromJson(fileContents(QStringLiteral("widget-snapshot.json")))
            .object()
            .value(QLatin1String("quotes"))
            .toObject()
            .value(QLatin1String("bitcoin"))
            .toObject()
            .value(QLatin1String("history24h"))
            .toArray();
    }
    int candleRequests() const
    {
        const QList<FakeMarketRequest> requests = m_market.requests();
        const auto endpoints = FakeMarket::candleEndpoints();
        return int(std::count_if(requests.cbegin(), requests.cend(), [&](const FakeMarketRequest &request) {
            return std::any_of(endpoints.cbegin(), endpoints.cend(), [&](const auto &endpoint) {
                return endpoint.first == request.host && FakeMarket::pathMatches(endpoint.second, request.path);
            });
        }));
    }

    int tickerRequests() const
    {
        const QList<FakeMarketRequest> requests = m_market.requests();
        return int(std::count_if(requests.cbegin(), requests.cend(), isTickerRequest));
    }

    void startProgram()
    {
        m_app = std::make_unique<Test::VantrellProcess>(m_market.hostMap());
        m_app->start();
    }

    // Ends the program as a logout does and checks what it left in its log.
    QString stopProgram()
    {
        m_app->process().terminate();
        if (!m_app->waitForExit(20000))
            return QStringLiteral("did not end on SIGTERM");
        const QString log = m_app->log();
        if (log.contains(QLatin1String("ERROR: AddressSanitizer")) || log.contains(QLatin1String("runtime error:")))
            return QStringLiteral("sanitizer report");
        return {};
    }

    // A fresh program in place of the running one, once its item is registered
    // and shows the market's price. Returns the first problem seen.
    QString restartProgram()
    {
        const QString stopped = stopProgram();
        const qsizetype registered = m_watcher.registrations().size();
        startProgram();
        if (!stopped.isEmpty())
            return stopped;
        if (!QTest::qWaitFor([&] { return m_watcher.registrations().size() > registered; }, kStartTimeout))
            return QStringLiteral("the restarted program did not register");
        if (!QTest::qWaitFor([&] { return title() == expectedTitle(); }, kStartTimeout))
            return QStringLiteral("the restarted program shows ") + title();
        return {};
    }

    // Files a row's outcome in the matrix when the row ends (FAILED when the
    // row ended without one) and leaves a healthy market to the next row.
    auto recorder(Outcome &outcome)
    {
        return qScopeGuard([this, &outcome] {
            if (outcome.result.isEmpty())
                outcome.result = QStringLiteral("FAILED");
            m_outcomes.append(outcome);
            m_market.clearFaults();
        });
    }

    // Waits `ms`, checking all along that the program runs and shows `shown`.
    // Returns the first problem seen.
    QString watch(int ms, const QString &shown)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            if (!m_app->isRunning())
                return QStringLiteral("program ended");
            const QString now = title();
            if (now != shown)
                return QStringLiteral("showed \"%1\" instead of \"%2\"").arg(now, shown);
            QTest::qWait(100);
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_market.listen() != 0);
        m_market.setQuote(QStringLiteral("BTC"), m_bitcoin, 1.5);
        m_market.setQuote(QStringLiteral("ETH"), 3456.78, -0.75);
        QVERIFY(m_watcher.start());
        QVERIFY(m_notifications.start());
        // A 2 % change alert on bitcoin: a price taken from garbage would fire it.
        m_settings = QJsonObject {
            {QStringLiteral("pollingInterval"), kPollSeconds},
            {QStringLiteral("displayedCoinId"), QStringLiteral("bitcoin")},
            {QStringLiteral("priceChangeNotificationEnabled"), true},
            {QStringLiteral("addedCoins"),
                QJsonArray {QJsonObject {{QStringLiteral("coinId"), QStringLiteral("bitcoin")},
                                {QStringLiteral("alertKind"), QStringLiteral("change")},
                                {QStringLiteral("notificationThreshold"), 2.0}},
                    QJsonObject {{QStringLiteral("coinId"), QStringLiteral("ethereum")}}}},
        };
        Test::writeAppSettings(m_settings);
        startProgram();
        QTRY_COMPARE_WITH_TIMEOUT(title(), expectedTitle(), kStartTimeout);
    }

    void cleanup()
    {
        if (QTest::currentTestFailed())
            qWarning().noquote() << "vantrell wrote (last 4000 characters):\n" << m_app->log().right(4000);
    }

    void cleanupTestCase()
    {
        qInfo().noquote() << QStringLiteral("\n%1 %2 %3 %4")
                                 .arg(QStringLiteral("fault"), -40)
                                 .arg(QStringLiteral("exchange"), -9)
                                 .arg(QStringLiteral("outcome"), -40)
                                 .arg(QStringLiteral("recovered in"));
        for (const Outcome &outcome : std::as_const(m_outcomes)) {
            qInfo().noquote() << QStringLiteral("%1 %2 %3 %4")
                                     .arg(outcome.fault, -40)
                                     .arg(outcome.exchange, -9)
                                     .arg(outcome.result, -40)
                                     .arg(outcome.recoverySeconds < 0
                                             ? QStringLiteral("-")
                                             : QString::number(outcome.recoverySeconds, 'f', 1) + QStringLiteral(" s"));
        }
        if (!m_app || !m_app->isRunning())
            return;
        const QString stopped = stopProgram();
        QVERIFY2(stopped.isEmpty(), qPrintable(stopped + QLatin1Char('\n') + m_app->log()));
    }

    // Rows run in order against one program; those that leave a state meant
    // to last (see Fault::restartAfter) hand a fresh one to the next row.
    void faults_data()
    {
        QTest::addColumn<Fault>("fault");

        using F = FakeMarketFault;
        QTest::newRow("accepts, never answers") << response(F::hang(), kInactivityMs);
        QTest::newRow("a byte a second") << response(F::trickled(1000ms), kDeadlineMs);
        QTest::newRow("429, Retry-After garbage") << rateLimit(F::httpStatus(429).withRetryAfter("soon"));
        QTest::newRow("429, Retry-After 120") << rateLimit(F::httpStatus(429).withRetryAfter("120"));
        QTest::newRow("body cut short") << response(F::truncated());
        QTest::newRow("over the cap, Content-Length") << response(F::oversized(9 * 1024 * 1024, true));
        QTest::newRow("over the cap, no Content-Length") << response(F::oversized(9 * 1024 * 1024, false));
        // Qt inflates a good part of the bomb before its own check stops it: seconds in a sanitized build.
        QTest::newRow("gzip bomb") << response(F::gzipBomb(), kInactivityMs);
        QTest::newRow("400") << response(F::httpStatus(400));
        QTest::newRow("403") << rateLimit(F::httpStatus(403));
        QTest::newRow("418") << rateLimit(F::httpStatus(418));
        QTest::newRow("429, Retry-After 0") << rateLimit(F::httpStatus(429).withRetryAfter("0"));
        QTest::newRow("500") << response(F::httpStatus(500));
        QTest::newRow("502") << response(F::httpStatus(502));
        QTest::newRow("503") << response(F::httpStatus(503));
        QTest::newRow("HTML error page with 200")
            << response(F::httpStatus(200, "<!DOCTYPE html><html><body><h1>Oops</h1></body></html>"));
        QTest::newRow("malformed JSON") << response(F::malformedJson());
        QTest::newRow("connection reset") << response(F::disconnect());
        QTest::newRow("price 0") << price("0");
        QTest::newRow("price negative") << price("-64000");
        QTest::newRow("price NaN") << price("NaN");
        QTest::newRow("price 1e400") << price("1e400");
        QTest::newRow("price empty") << price("");
        QTest::newRow("every exchange fails for a minute")
            << Fault {.response = F::httpStatus(503), .allExchanges = true, .duration = 60s};
        QTest::newRow("429, Retry-After 1e300") << rateLimit(F::httpStatus(429).withRetryAfter("1e300"));

        // Countries whose networks the exchanges refuse, and the two sources after Bybit.
        const QString binance = FakeMarketHost::binance;
        const QString binanceData = FakeMarketHost::binanceData;
        const QString bybit = FakeMarketHost::bybit;
        const QString coinbase = FakeMarketHost::coinbase;
        const QString kraken = FakeMarketHost::kraken;
        QTest::newRow("451 from both Binance hosts") << behindRefusals(F::httpStatus(451), {binance, binanceData});
        QTest::newRow("Bybit 403 with a CDN page")
            << behindRefusals(F::httpStatus(403,
                                  "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"><HTML><BODY><H1>403 ERROR</H1>"
                                  "The request could not be satisfied.</BODY></HTML>"),
                   {bybit});
        QTest::newRow("Coinbase malformed JSON") << behindRefusals(F::malformedJson(), {coinbase});
        QTest::newRow("Coinbase body cut short") << behindRefusals(F::truncated(), {coinbase});
        QTest::newRow("Coinbase over the cap") << behindRefusals(F::oversized(9 * 1024 * 1024, false), {coinbase});
        QTest::newRow("Kraken malformed JSON") << behindRefusals(F::malformedJson(), {kraken});
        QTest::newRow("Kraken body cut short") << behindRefusals(F::truncated(), {kraken});
        QTest::newRow("Kraken over the cap") << behindRefusals(F::oversized(9 * 1024 * 1024, true), {kraken});
        // Nothing quoted: the coins are not asked of Kraken for half an hour, so no recovery is awaited.
        Fault mismatch = behindRefusals(
            F::httpStatus(200, R"({"error":[],"result":{"XBTUSDT":{"c":["1.0","1"]},"XXBTZEUR":{"c":["2.0","1"]}}})"),
            {kraken});
        mismatch.recovers = false;
        QTest::newRow("Kraken pair names that match no coin") << mismatch;
        Fault everyone = behindRefusals(F::httpStatus(451), {kraken});
        everyone.expectRefusal = true;
        QTest::newRow("all six sources refuse") << everyone;
    }

    void faults()
    {
        QFETCH(Fault, fault);
        Outcome outcome {QString::fromUtf8(QTest::currentDataTag()), QStringLiteral("all"), {}, -1};
        const auto healthyQuote = qScopeGuard([&] { m_market.setQuote(QStringLiteral("BTC"), m_bitcoin, 1.5); });
        const auto record = recorder(outcome);

        const QString shown = expectedTitle();
        QCOMPARE(title(), shown);
        const int alertsBefore = int(m_notifications.notifications().size());
        const int requestsBefore = tickerRequests();

        QStringList exchanges {kBinance, kOkx, kBybit, kCoinbase, kKraken};
        if (!fault.allExchanges) {
            exchanges = {answeringExchange()};
            outcome.exchange = exchanges.first();
        }
        if (!fault.hosts.isEmpty()) {
            exchanges.clear();
            outcome.exchange = exchangeOf(fault.hosts.first());
        }
        for (const QString &host : std::as_const(fault.refusing))
            m_market.setFault(host, FakeMarketFault::httpStatus(451));
        for (const QString &host : std::as_const(fault.hosts))
            m_market.setFault(host, *fault.response);
        for (const QString &exchange : std::as_const(exchanges)) {
            if (fault.priceText)
                m_market.setQuoteText(exchange, QStringLiteral("BTC"), *fault.priceText);
            for (const QString &host : hostsOf(exchange)) {
                if (fault.response)
                    m_market.setFault(host, *fault.response);
            }
        }

        const QString during = watch(int(fault.duration.count()), shown);
        outcome.result = during;
        QVERIFY2(during.isEmpty(), qPrintable(during));
        QVERIFY2(tickerRequests() > requestsBefore, "no request while the fault was on");
        if (!fault.expectRefusal)
            QVERIFY2(!m_watcher.itemToolTip().text.contains(kRefusal), qPrintable(m_watcher.itemToolTip().text));

        if (fault.expectRefusal) {
            // The reason in one sentence, the last price kept, polls going on
            // (without a request: every host is set aside for the hour).
            if (!QTest::qWaitFor([&] { return m_watcher.itemToolTip().text.contains(kRefusal); }, 3 * kPollMs)) {
                outcome.result = QStringLiteral("no refusal sentence: ") + m_watcher.itemToolTip().text;
                QFAIL(qPrintable(outcome.result));
            }
            m_market.clearFaults();
            const QString after = watch(3 * kPollMs, shown);
            QVERIFY2(after.isEmpty(), qPrintable(after));
            QVERIFY(m_watcher.itemToolTip().text.contains(kRefusal));
            const QString restarted = restartProgram();
            QVERIFY2(restarted.isEmpty(), qPrintable(restarted));
            QVERIFY(!m_watcher.itemToolTip().text.contains(kRefusal));
            outcome.result = QStringLiteral("ok (sentence shown, then restarted)");
            return;
        }

        if (!fault.recovers) {
            m_market.clearFaults();
            const QString after = watch(2 * kPollMs, shown);
            outcome.result = after.isEmpty() ? QStringLiteral("ok (keeps the last price)") : after;
            QVERIFY2(after.isEmpty(), qPrintable(after));
            const QString restarted = restartProgram();
            QVERIFY2(restarted.isEmpty(), qPrintable(restarted));
            outcome.result += QStringLiteral(", then restarted");
            return;
        }

        // The fault clears and the market moves a little (far below the alert's 2 %).
        m_market.clearFaults();
        m_bitcoin += 10;
        m_market.setQuote(QStringLiteral("BTC"), m_bitcoin, 1.5);
        QElapsedTimer recovery;
        recovery.start();
        const int limitMs = 2 * kPollMs + fault.inFlightMs + kSlackMs;
        const bool recovered = QTest::qWaitFor([&] { return title() == expectedTitle(); }, limitMs + 10000);
        outcome.recoverySeconds = recovered ? recovery.elapsed() / 1000.0 : -1;
        if (!recovered || recovery.elapsed() > limitMs) {
            outcome.result = recovered ? QStringLiteral("recovered late") : QStringLiteral("did not recover");
            QFAIL(qPrintable(outcome.result + QStringLiteral(", shows ") + title()));
        }
        if (m_notifications.notifications().size() != alertsBefore) {
            outcome.result = QStringLiteral("alerted: ") + m_notifications.notifications().constLast().body;
            QFAIL(qPrintable(outcome.result));
        }
        QVERIFY(m_app->isRunning());
        outcome.result = QStringLiteral("ok");

        if (fault.restartAfter) {
            const QString stopped = stopProgram();
            const qsizetype registered = m_watcher.registrations().size();
            startProgram();
            if (!stopped.isEmpty()) {
                outcome.result = stopped;
                QFAIL(qPrintable(stopped));
            }
            QTRY_VERIFY_WITH_TIMEOUT(m_watcher.registrations().size() > registered, kStartTimeout);
            QTRY_COMPARE_WITH_TIMEOUT(title(), expectedTitle(), kStartTimeout);
            outcome.result = QStringLiteral("ok (then restarted)");
        }
    }

    // Each row starts a program while every exchange's candles carry one
    // fault, so that it asks for them at once: it must keep running and
    // showing the price, and still draw bitcoin's day. A fault that spoils
    // every answer must leave the stored series as it was.
    void candleFaults_data()
    {
        QTest::addColumn<FakeMarketFault>("fault");
        QTest::addColumn<bool>("spoilsEveryAnswer");
        using F = FakeMarketFault;
        QTest::newRow("candles: malformed JSON") << F::malformedJson() << true;
        QTest::newRow("candles: body cut short") << F::truncated() << true;
        QTest::newRow("candles: none") << F::candleDefect(F::Candles::Empty) << true;
        QTest::newRow("candles: out of order") << F::candleDefect(F::Candles::OutOfOrder) << false;
        QTest::newRow("candles: four missing") << F::candleDefect(F::Candles::Gap) << false;
        QTest::newRow("candles: a close of 0") << F::candleDefect(F::Candles::ZeroClose) << false;
    }

    void candleFaults()
    {
        QFETCH(FakeMarketFault, fault);
        QFETCH(bool, spoilsEveryAnswer);
        Outcome outcome {QString::fromUtf8(QTest::currentDataTag()), QStringLiteral("all"), {}, -1};
        const auto record = recorder(outcome);

        // A program with bitcoin's day stored and drawn, stopped to start again under the fault.
        QTRY_VERIFY_WITH_TIMEOUT(m_app->isRunning() && bitcoinDay().size() == 97, kStartTimeout);
        QString problem = stopProgram();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const QByteArray stored = fileContents(QStringLiteral("price-history.json"));
        QVERIFY(!stored.isEmpty());
        for (const auto &[host, path] : FakeMarket::candleEndpoints())
            m_market.setFault(host, path, fault);
        const int before = candleRequests();
        const qsizetype registered = m_watcher.registrations().size();
        startProgram();
        QTRY_VERIFY_WITH_TIMEOUT(m_watcher.registrations().size() > registered, kStartTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(title(), expectedTitle(), kStartTimeout);
        // Both coins asked of every source, or of the first that answers.
        const int expected = spoilsEveryAnswer ? 2 * int(FakeMarket::candleEndpoints().size()) : 2;
        QTRY_VERIFY_WITH_TIMEOUT(candleRequests() - before >= expected, kStartTimeout);
        problem = watch(kFaultMs, expectedTitle());
        if (problem.isEmpty() && bitcoinDay().size() != 97)
            problem = QStringLiteral("the snapshot holds %1 slots of bitcoin's day").arg(bitcoinDay().size());
        if (problem.isEmpty() && spoilsEveryAnswer && fileContents(QStringLiteral("price-history.json")) != stored)
            problem = QStringLiteral("the stored series changed");
        outcome.result = problem.isEmpty() ? QStringLiteral("ok (keeps the day)") : problem;
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // Each row starts a program in euros with a cached rate too old to use
    // unasked: while every rate service fails it must show prices at the
    // cached rate, and the market's rate within two polls once they answer.
    void rateSources_data()
    {
        QTest::addColumn<RateFault>("fault");

        using F = FakeMarketFault;
        QTest::newRow("rates: accepts, never answers")
            << RateFault {.response = F::hang(), .inFlightMs = kInactivityMs};
        QTest::newRow("rates: body cut short") << RateFault {.response = F::truncated()};
        QTest::newRow("rates: over the cap, no Content-Length")
            << RateFault {.response = F::oversized(9 * 1024 * 1024, false)};
        QTest::newRow("rates: 500") << RateFault {.response = F::httpStatus(500)};
        QTest::newRow("rates: 503") << RateFault {.response = F::httpStatus(503)};
        QTest::newRow("rates: HTML error page with 200")
            << RateFault {.response = F::httpStatus(200, "<!DOCTYPE html><html><body>Oops</body></html>")};
        QTest::newRow("rates: malformed JSON") << RateFault {.response = F::malformedJson()};
        QTest::newRow("rates: connection reset") << RateFault {.response = F::disconnect()};
        QTest::newRow("rates: first source 500") << RateFault {.response = F::httpStatus(500), .firstSourceOnly = true};
        QTest::newRow("rates: 429, Retry-After 1e300")
            << RateFault {.response = F::httpStatus(429).withRetryAfter("1e300"), .backsOff = true};
    }

    void rateSources()
    {
        QFETCH(RateFault, fault);
        Outcome outcome {QString::fromUtf8(QTest::currentDataTag()), QStringLiteral("rates"), {}, -1};
        const auto record = recorder(outcome);

        // A fresh program: the rate is fetched at start only when the cache is old.
        if (m_app && m_app->isRunning()) {
            const QString stopped = stopProgram();
            QVERIFY2(stopped.isEmpty(), qPrintable(stopped));
        }
        QJsonObject settings = m_settings;
        settings.insert(QStringLiteral("baseCurrency"), QStringLiteral("EUR"));
        Test::writeAppSettings(settings);
        m_market.setUsdRate(QStringLiteral("EUR"), kMarketEurRate);
        QString cache = rateCachePath();
        if (cache.isEmpty()) {
            // The first row: a healthy run in euros writes the cache, wherever the program keeps it.
            startProgram();
            QTRY_COMPARE_WITH_TIMEOUT(title(), expectedTitle(kMarketEurRate), kStartTimeout);
            QTRY_VERIFY_WITH_TIMEOUT(!rateCachePath().isEmpty(), 10000);
            const QString stopped = stopProgram();
            QVERIFY2(stopped.isEmpty(), qPrintable(stopped));
            cache = rateCachePath();
        }
        const QByteArray stale = QStringLiteral(R"({"rates": {"EUR": %1}, "fetchedAt": "%2"})")
                                     .arg(kCachedEurRate)
                                     .arg(QDateTime::currentDateTimeUtc().addSecs(-7200).toString(Qt::ISODate))
                                     .toUtf8();
        QFile file(cache);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(stale) == stale.size());
        file.close();
        for (const QString &host : fault.firstSourceOnly ? rateHosts().mid(0, 1) : rateHosts())
            m_market.setFault(host, fault.response);

        startProgram();
        const QString cached = expectedTitle(fault.firstSourceOnly ? kMarketEurRate : kCachedEurRate);
        if (!QTest::qWaitFor([&] { return title() == cached; }, kStartTimeout)) {
            outcome.result = QStringLiteral("showed \"%1\" instead of \"%2\"").arg(title(), cached);
            QFAIL(qPrintable(outcome.result));
        }
        const QString during = watch(kFaultMs, cached);
        if (!during.isEmpty()) {
            outcome.result = during;
            QFAIL(qPrintable(during));
        }

        m_market.clearFaults();
        QElapsedTimer recovery;
        recovery.start();
        if (fault.backsOff) {
            // Asked to wait, it waits (an hour at most) and keeps the cached rate.
            const QString after = watch(3 * kPollMs, cached);
            outcome.result = after.isEmpty() ? QStringLiteral("ok (keeps the cached rate, backs off)") : after;
            QVERIFY2(after.isEmpty(), qPrintable(after));
            return;
        }
        const int limitMs = 2 * kPollMs + fault.inFlightMs + kSlackMs;
        const bool recovered
            = QTest::qWaitFor([&] { return title() == expectedTitle(kMarketEurRate); }, limitMs + 10000);
        outcome.recoverySeconds = recovered ? recovery.elapsed() / 1000.0 : -1;
        if (!recovered || recovery.elapsed() > limitMs) {
            outcome.result = recovered ? QStringLiteral("recovered late") : QStringLiteral("did not recover");
            QFAIL(qPrintable(outcome.result + QStringLiteral(", shows ") + title()));
        }
        outcome.result = QStringLiteral("ok");
    }
};

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
