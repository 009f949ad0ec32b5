// SPDX-License-Identifier: GPL-3.0-or-later
// vantrell-fake-market [--port N] [--quiet] [--refuse HOSTS] [--candle-fault KIND]: serves the fake
// market on 127.0.0.1 until SIGTERM or SIGINT, after printing the
// VANTRELL_HOST_MAP line to use.

#include "fakemarket.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Candles = Vantrell::FakeMarketFault::Candles;

// The candle faults by their command-line names.
std::optional<Vantrell::FakeMarketFault> candleFault(const QString &name)
{
    using F = Vantrell::FakeMarketFault;
    if (name == QLatin1String("malformed"))
        return F::malformedJson();
    if (name == QLatin1String("cut"))
        return F::truncated();
    if (name == QLatin1String("empty"))
        return F::candleDefect(Candles::Empty);
    if (name == QLatin1String("out-of-order"))
        return F::candleDefect(Candles::OutOfOrder);
    if (name == QLatin1String("gap"))
        return F::candleDefect(Candles::Gap);
    if (name == QLatin1String("zero"))
        return F::candleDefect(Candles::ZeroClose);
    return std::nullopt;
}

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    // Only async-signal-safe work here: wake the event loop through the pipe.
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

bool quitOnSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        notifier->setEnabled(false);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrell-fake-market"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves recorded exchange, exchange-rate and logo answers on 127.0.0.1 for tests and the "
                       "offline demo. Start Vantrell with the printed VANTRELL_HOST_MAP value."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
        QStringLiteral("Port to listen on (default: any free one)."), QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption quietOption(QStringLiteral("quiet"), QStringLiteral("Do not log requests to stderr."));
    const QCommandLineOption refuseOption(QStringLiteral("refuse"),
        QStringLiteral("Answer HTTP 451 from these comma-separated hosts, or from every exchange with \"exchanges\", "
                       "as the exchanges do for a network they refuse."),
        QStringLiteral("HOSTS"));
    const QCommandLineOption candleFaultOption(QStringLiteral("candle-fault"),
        QStringLiteral("Answer every exchange's 15-minute candles with this fault: malformed, cut, empty, "
                       "out-of-order, gap or zero (a candle priced 0)."),
        QStringLiteral("KIND"));
    parser.addOption(portOption);
    parser.addOption(quietOption);
    parser.addOption(refuseOption);
    parser.addOption(candleFaultOption);
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535) {
        std::fprintf(stderr, "vantrell-fake-market: invalid port: %s\n", qPrintable(parser.value(portOption)));
        return 2;
    }
    if (!quitOnSignals(app)) {
        std::perror("vantrell-fake-market: signal handling");
        return 1;
    }

    Vantrell::FakeMarket market;
    QStringList refused = parser.value(refuseOption).split(u',', Qt::SkipEmptyParts);
    if (refused == QStringList {QStringLiteral("exchanges")}) {
        refused
            = {Vantrell::FakeMarketHost::binance, Vantrell::FakeMarketHost::binanceData, Vantrell::FakeMarketHost::okx,
                Vantrell::FakeMarketHost::bybit, Vantrell::FakeMarketHost::coinbase, Vantrell::FakeMarketHost::kraken};
    }
    for (const QString &host : std::as_const(refused))
        market.setFault(host, Vantrell::FakeMarketFault::httpStatus(451));
    if (parser.isSet(candleFaultOption)) {
        const std::optional<Vantrell::FakeMarketFault> fault = candleFault(parser.value(candleFaultOption));
        if (!fault) {
            std::fprintf(stderr, "vantrell-fake-market: unknown candle fault: %s\n",
                qPrintable(parser.value(candleFaultOption)));
            return 2;
        }
        for (const auto &[host, path] : Vantrell::FakeMarket::candleEndpoints())
            market.setFault(host, path, *fault);
    }
    if (market.listen(static_cast<quint16>(port)) == 0) {
        std::fprintf(stderr, "vantrell-fake-market: cannot listen on 127.0.0.1:%u\n", port);
        return 1;
    }
    if (!parser.isSet(quietOption)) {
        QObject::connect(&market, &Vantrell::FakeMarket::requestReceived, [](const Vantrell::FakeMarketRequest &r) {
            const QString query = r.query.isEmpty() ? QString() : u'?' + r.query;
            std::fprintf(stderr, "GET %s%s%s\n", qPrintable(r.host), qPrintable(r.path), qPrintable(query));
        });
    }

    std::printf("VANTRELL_HOST_MAP=%s\n", qPrintable(market.hostMap()));
    std::fflush(stdout);
    return app.exec();
}
