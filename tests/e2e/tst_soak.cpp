// SPDX-License-Identifier: GPL-3.0-or-later
// A day of use in a few minutes: the real program with a 20-coin watchlist in
// euros, polling every half second, while the fake market breaks at random
// (an exchange, a rate service or a logo host at a time). Throughout, the
// program must keep running and showing a price; at the end it must show the
// market's price again, hold the same files and timers as after warm-up, and
// quit cleanly on SIGTERM with no sanitizer report (leaks included, in the
// sanitized build). Prints memory growth, CPU per poll and the counts.
//
// VANTRELL_SOAK_SECONDS sets the length (default 180), VANTRELL_SOAK_SEED the
// faults. The README says how to run it for an hour on an optimised build.
#include "fakemarket.h"
#include "fakestatusnotifierwatcher.h"
#include "testenvironment.h"
#include "vantrellprocess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <unistd.h>

using namespace Vantrell;
using namespace std::chrono_literals;

namespace {

constexpr int kStartTimeout = 60000;
constexpr int kWarmUpMs = 15000;
constexpr int kRoundMs = 2000;
// QNetworkAccessManager keeps up to six connections to one host and port,
// and every fake host is one port here: idle ones may stay open.
constexpr int kConnectionPool = 6;

int soakSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("VANTRELL_SOAK_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 180;
}

const QStringList &watchlistIds()
{
    static const QStringList ids = [] {
        QStringList list;
        for (const char *id : {"bitcoin", "ethereum", "binancecoin", "ripple", "solana", "tron", "dogecoin", "zcash",
                 "chainlink", "cardano", "monero", "stellar", "bitcoin-cash", "litecoin", "shiba-inu", "avalanche-2",
                 "uniswap", "near", "aave", "polkadot"})
            list.append(QString::fromLatin1(id));
        return list;
    }();
    return ids;
}

// One random misbehaviour for a round: which host, and how.
struct RoundFault
{
    QString host;
    FakeMarketFault fault;
};

std::optional<RoundFault> randomFault(QRandomGenerator &random)
{
    // Half the rounds are healthy.
    if (random.bounded(2) == 0)
        return std::nullopt;
    static const QStringList hosts {FakeMarketHost::binance, FakeMarketHost::binanceData, FakeMarketHost::okx,
        FakeMarketHost::bybit, FakeMarketHost::erApi, FakeMarketHost::currencyApiCdn, FakeMarketHost::coinImages,
        FakeMarketHost::coinAssets};
    using F = FakeMarketFault;
    const QList<F> faults {F::httpStatus(500), F::httpStatus(503), F::httpStatus(429).withRetryAfter("1"),
        F::truncated(), F::malformedJson(), F::disconnect(), F::hang(),
        F::httpStatus(200, "<html><body>Captive portal</body></html>"), F::oversized(9 * 1024 * 1024, false)};
    return RoundFault {
        hosts.at(int(random.bounded(int(hosts.size())))), faults.at(int(random.bounded(int(faults.size()))))};
}

// What a process holds, read from /proc from outside.
struct Holdings
{
    int sockets = 0;
    QStringList otherFiles; // what each other descriptor points at, sorted
    QStringList threads; // names, sorted
    qint64 residentKiB = 0;
    double cpuSeconds = 0;
};

Holdings holdingsOf(qint64 pid)
{
    Holdings holdings;
    const QString fdDir = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString &fd : QDir(fdDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)) {
        const QString target = QFileInfo(fdDir + QLatin1Char('/') + fd).symLinkTarget();
        if (target.contains(QLatin1String("socket:")))
            ++holdings.sockets;
        else
            holdings.otherFiles.append(QFileInfo(target).fileName().remove(QRegularExpression(QStringLiteral("\\d+"))));
    }
    holdings.otherFiles.sort();
    const QString taskDir = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString &task : QDir(taskDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(taskDir + QLatin1Char('/') + task + QStringLiteral("/comm"));
        if (comm.open(QIODevice::ReadOnly))
            holdings.threads.append(QString::fromUtf8(comm.readAll().trimmed()));
    }
    holdings.threads.sort();
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        const QRegularExpressionMatch rss
            = QRegularExpression(QStringLiteral("VmRSS:\\s+(\\d+)")).match(QString::fromLatin1(status.readAll()));
        holdings.residentKiB = rss.captured(1).toLongLong();
    }
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        // The fields after the command name, which may hold spaces; utime and stime are the 14th and 15th.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        holdings.cpuSeconds
            = double(fields.value(11).toLongLong() + fields.value(12).toLongLong()) / double(::sysconf(_SC_CLK_TCK));
    }
    return holdings;
}

} // namespace

class TestSoak final : public QObject
{
    Q_OBJECT

private:
    Test::IsolatedXdg m_xdg;
    FakeMarket m_market;
    Test::FakeStatusNotifierWatcher m_watcher;
    std::unique_ptr<Test::VantrellProcess> m_app;
    int m_tickerRequests = 0;

    QString title() { return m_watcher.itemToolTip().title.trimmed(); }

    // The most timers the program reports over three seconds: more than one
    // poll and write cycle, so that the count does not depend on the moment.
    int activeTimers()
    {
        const QRegularExpression line(QStringLiteral("Resources: \\d+ open files, (\\d+) active timers"));
        int most = -1;
        for (int sample = 0; sample < 10; ++sample) {
            const qsizetype before = m_app->countInLog(QStringLiteral("Resources: "));
            ::kill(pid_t(m_app->process().processId()), SIGUSR1);
            if (!m_app->waitForLog(QStringLiteral("Resources: "), before + 1, 10000))
                return -1;
            QRegularExpressionMatchIterator it = line.globalMatch(m_app->log());
            QRegularExpressionMatch last;
            while (it.hasNext())
                last = it.next();
            most = std::max(most, last.captured(1).toInt());
            QTest::qWait(300);
        }
        return most;
    }

    // Lets the market be healthy until the program's connections settle.
    void quietPeriod()
    {
        m_market.clearFaults();
        QTest::qWait(6000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_market.listen() != 0);
        m_market.setUsdRate(QStringLiteral("EUR"), 0.9);
        connect(&m_market, &FakeMarket::requestReceived, this, [this](const FakeMarketRequest &request) {
            if (request.path.contains(QLatin1String("ticker")))
                ++m_tickerRequests;
        });
        QVERIFY(m_watcher.start());
        QJsonArray coins;
        for (const QString &id : watchlistIds()) {
            QJsonObject coin {{QStringLiteral("coinId"), id}};
            // Alerts that prices drifting by random faults may well fire.
            if (coins.size() % 4 == 0) {
                coin.insert(QStringLiteral("alertKind"), QStringLiteral("change"));
                coin.insert(QStringLiteral("notificationThreshold"), 0.05);
            }
            coins.append(coin);
        }
        Test::writeAppSettings({
            {QStringLiteral("pollingInterval"), 0.5},
            {QStringLiteral("baseCurrency"), QStringLiteral("EUR")},
            {QStringLiteral("displayedCoinId"), QStringLiteral("bitcoin")},
            {QStringLiteral("priceChangeNotificationEnabled"), true},
            {QStringLiteral("addedCoins"), coins},
        });
    }

    void soak()
    {
        m_app = std::make_unique<Test::VantrellProcess>(m_market.hostMap());
        // Leaks are reported at exit in the sanitized build; the libraries' own are listed in the file.
        m_app->setEnvironmentValue(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=1"));
        m_app->setEnvironmentValue(QStringLiteral("LSAN_OPTIONS"),
            QStringLiteral("suppressions=" VANTRELL_LSAN_SUPPRESSIONS ":print_suppressions=0"));
        m_app->start();
        QTRY_VERIFY_WITH_TIMEOUT(title().startsWith(QLatin1String("BTC ")), kStartTimeout);
        const qint64 pid = m_app->process().processId();

        QTest::qWait(kWarmUpMs);
        quietPeriod();
        const Holdings start = holdingsOf(pid);
        const int timersAtStart = activeTimers();
        QVERIFY(timersAtStart > 0);
        const int requestsAtStart = m_tickerRequests;

        QRandomGenerator random(quint32(qEnvironmentVariableIntValue("VANTRELL_SOAK_SEED")) + 20261209);
        QElapsedTimer clock;
        clock.start();
        int rounds = 0;
        int faultyRounds = 0;
        QList<std::pair<double, double>> samples; // seconds, MiB resident
        while (clock.elapsed() < soakSeconds() * 1000) {
            m_market.clearFaults();
            if (const std::optional<RoundFault> fault = randomFault(random)) {
                m_market.setFault(fault->host, fault->fault);
                ++faultyRounds;
            }
            ++rounds;
            QTest::qWait(kRoundMs);
            if (rounds % 60 == 0) {
                samples.append({clock.elapsed() / 1000.0, holdingsOf(pid).residentKiB / 1024.0});
                qInfo("soak: %.0f s, %.1f MiB resident", samples.constLast().first, samples.constLast().second);
            }
            QVERIFY2(m_app->isRunning(), qPrintable(m_app->log().right(4000)));
            QVERIFY2(title().startsWith(QLatin1String("BTC ")), qPrintable(title()));
        }
        const double soakedSeconds = clock.elapsed() / 1000.0;
        const int polls = m_tickerRequests - requestsAtStart;

        // A healthy market again: the program must show its exact price.
        quietPeriod();
        m_market.setQuote(QStringLiteral("BTC"), 50000, 1);
        QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("BTC 45,000"), 20000);
        QTest::qWait(2000);
        const Holdings end = holdingsOf(pid);
        const int timersAtEnd = activeTimers();

        const double growthMiB = (end.residentKiB - start.residentKiB) / 1024.0;
        qInfo("soak: %.0f s, %d rounds (%d with a fault), %d polls", soakedSeconds, rounds, faultyRounds, polls);
        qInfo("soak: resident %.1f MiB after warm-up, %.1f MiB at the end: %+.2f MiB, %+.2f MiB per hour",
            start.residentKiB / 1024.0, end.residentKiB / 1024.0, growthMiB, growthMiB * 3600.0 / soakedSeconds);
        // The heap's high-water mark rises while every kind of fault has yet
        // to happen once; the second half of a long run shows the trend.
        if (samples.size() >= 4) {
            const auto &middle = samples.at(samples.size() / 2);
            const auto &last = samples.constLast();
            qInfo("soak: from %.0f s to %.0f s: %+.2f MiB, %+.2f MiB per hour", middle.first, last.first,
                last.second - middle.second, (last.second - middle.second) * 3600.0 / (last.first - middle.first));
        }
        qInfo("soak: CPU %.1f ms per poll", polls > 0 ? (end.cpuSeconds - start.cpuSeconds) * 1000.0 / polls : 0.0);
        qInfo("soak: open files %lld (+%d sockets) after warm-up, %lld (+%d sockets) at the end; timers %d and %d",
            qsizetype(start.otherFiles.size()), start.sockets, qsizetype(end.otherFiles.size()), end.sockets,
            timersAtStart, timersAtEnd);

        QVERIFY(polls > 0);
        qInfo("soak: threads after warm-up: %s; at the end: %s", qPrintable(start.threads.join(QStringLiteral(", "))),
            qPrintable(end.threads.join(QStringLiteral(", "))));
        QVERIFY2(end.otherFiles == start.otherFiles,
            qPrintable(
                QStringLiteral("open files after warm-up: %1\nat the end: %2")
                    .arg(start.otherFiles.join(QStringLiteral(", ")), end.otherFiles.join(QStringLiteral(", ")))));
        QVERIFY2(end.sockets <= start.sockets + kConnectionPool,
            qPrintable(QStringLiteral("%1 sockets, %2 after warm-up").arg(end.sockets).arg(start.sockets)));
        QCOMPARE(timersAtEnd, timersAtStart);

        m_app->process().terminate();
        QVERIFY(m_app->waitForExit(60000));
        const QString log = m_app->log();
        QVERIFY2(!log.contains(QLatin1String("Sanitizer")) && !log.contains(QLatin1String("runtime error:")),
            qPrintable(log.right(8000)));
        QCOMPARE(m_app->process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_app->process().exitCode(), 0);
    }
};

int main(int argc, char *argv[])
{
    // The soak outlasts QtTest's five minutes per test function.
    qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number((qint64(soakSeconds()) + 600) * 1000));
    QCoreApplication app(argc, argv);
    TestSoak test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_soak.moc"
