// SPDX-License-Identifier: GPL-3.0-or-later
// What the 24-hour history costs on the network: a simulated day of the
// history service against the fake market over loopback, 5 and 20 coins, with
// each exchange answering in turn (the ones before it refusing). The clock is
// virtual and shared with the market, so a day takes a few seconds; every
// quarter hour the service asks for what is missing. Prints requests and
// bytes per day (bodies as received, and with 400 bytes of headers per
// request added, the order of an HTTP/1.1 exchange of these sizes).
#include "fakemarket.h"
#include "idletimer.h"
#include "market/networkhttpclient.h"
#include "market/pricehistoryservice.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

using namespace Vantrell;

namespace {

constexpr qint64 headerBytes = 400;

// Counts what the client receives.
class CountingClient final : public HTTPClient
{
public:
    explicit CountingClient(HTTPClient &inner)
        : m_inner(inner)
    { }

    CancelHandle get(const HttpRequest &request, Completion<HttpResponse> completion) override
    {
        ++requests;
        return m_inner.get(request, [this, completion = std::move(completion)](Result<HttpResponse> answer) {
            if (answer)
                bodyBytes += answer->body.size();
            completion(std::move(answer));
        });
    }

    int requests = 0;
    qint64 bodyBytes = 0;

private:
    HTTPClient &m_inner;
};

const QStringList coins20 = {QStringLiteral("BTC"), QStringLiteral("ETH"), QStringLiteral("BNB"), QStringLiteral("SOL"),
    QStringLiteral("XRP"), QStringLiteral("ADA"), QStringLiteral("DOGE"), QStringLiteral("AVAX"), QStringLiteral("DOT"),
    QStringLiteral("LINK"), QStringLiteral("LTC"), QStringLiteral("TRX"), QStringLiteral("ATOM"), QStringLiteral("UNI"),
    QStringLiteral("ETC"), QStringLiteral("BCH"), QStringLiteral("XLM"), QStringLiteral("NEAR"), QStringLiteral("FIL"),
    QStringLiteral("APT")};

void runDay(FakeMarket &market, QDateTime &now, int coinCount, const QString &answering)
{
    QList<QLatin1String> refusing;
    if (answering != QLatin1String("binance"))
        refusing = {FakeMarketHost::binance, FakeMarketHost::binanceData};
    if (answering == QLatin1String("bybit"))
        refusing.append(FakeMarketHost::okx);
    market.clearFaults();
    for (const QLatin1String host : refusing)
        market.setFault(QString(host), FakeMarketFault::httpStatus(503));
    NetworkHTTPClient network(NetworkHTTPClient::marketDataHosts(), NetworkHTTPClient::parseHostMap(market.hostMap()));
    CountingClient client(network);
    // The day is driven by refreshAll() below.
    Bench::IdleTimers timers;
    PriceHistoryService service(client, defaultHistorySources(), PriceHistoryStore {}, timers, [&now] { return now; });
    const auto settle = [&service] {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!service.isFetching())
                loop.quit();
        });
        poll.start(1);
        loop.exec();
    };
    service.setSymbols(coins20.mid(0, coinCount));
    settle();
    // The first fetch fills the day; what follows is the steady cost.
    const int firstRequests = client.requests;
    const qint64 firstBytes = client.bodyBytes;
    for (int quarter = 0; quarter < 96; ++quarter) {
        now = now.addSecs(15 * 60);
        service.refreshAll();
        settle();
    }
    const int requests = client.requests - firstRequests;
    const qint64 bytes = client.bodyBytes - firstBytes;
    std::printf("%2d coins, %-7s answering: first fill %4d requests %8lld bytes; per day %5d requests %9lld body "
                "bytes, %9lld with headers (%.2f MB)\n",
        coinCount, qPrintable(answering), firstRequests, firstBytes, requests, bytes, bytes + requests * headerBytes,
        double(bytes + requests * headerBytes) / 1e6);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QDateTime now(QDate(2026, 3, 1), QTime(12, 3), Qt::UTC);
    FakeMarket market;
    market.setClock([&now] { return now; });
    if (market.listen() == 0) {
        std::fprintf(stderr, "the fake market could not listen\n");
        return 1;
    }
    for (const int coins : {5, 20}) {
        for (const QString &answering : {QStringLiteral("binance"), QStringLiteral("okx"), QStringLiteral("bybit")})
            runDay(market, now, coins, answering);
    }
    return 0;
}
