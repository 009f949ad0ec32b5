// SPDX-License-Identifier: GPL-3.0-or-later
#include "market/networkhttpclient.h"

#include "logcapture.h"

#include <QAbstractHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrlQuery>

#include <functional>
#include <memory>

using namespace Vantrell;
using namespace std::chrono_literals;

namespace {

// Answers every request by path with raw bytes written straight to the socket,
// so that tests can send any status line, lie about lengths, stall or hang up.
class ScriptedServer final : public QAbstractHttpServer
{
public:
    // Gets the socket to write to; the socket may go away at any time.
    using Script = std::function<void(QPointer<QTcpSocket> socket)>;

    ScriptedServer() { m_port = listen(QHostAddress::LocalHost, 0); }

    quint16 port() const { return m_port; }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    void on(const QString &path, Script script) { m_scripts.insert(path, std::move(script)); }
    const QList<QUrl> &requests() const { return m_requests; }

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override
    {
        m_requests.append(request.url());
        // The responder is not used, but it must outlive the raw writes.
        m_responders.push_back(std::make_shared<QHttpServerResponder>(makeResponder(request, socket)));
        const auto script = m_scripts.value(request.url().path());
        if (script)
            script(QPointer<QTcpSocket>(socket));
        else
            socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
        return true;
    }

    void missingHandler(const QHttpServerRequest &, QTcpSocket *) override { }

private:
    quint16 m_port = 0;
    QHash<QString, Script> m_scripts;
    QList<QUrl> m_requests;
    std::vector<std::shared_ptr<QHttpServerResponder>> m_responders;
};

QByteArray answer(int status, const QByteArray &reason, const QByteArray &body, const QByteArray &extraHeaders = {})
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\nContent-Type: application/json\r\n"
        + extraHeaders + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

ScriptedServer::Script send(QByteArray bytes, bool hangUp = false)
{
    return [bytes = std::move(bytes), hangUp](QPointer<QTcpSocket> socket) {
        socket->write(bytes);
        if (hangUp)
            socket->disconnectFromHost();
    };
}

// Writes `chunk` every `interval` for `count` times (forever when negative),
// then `tail`.
ScriptedServer::Script trickle(
    QObject *owner, QByteArray head, QByteArray chunk, int count, QByteArray tail, std::chrono::milliseconds interval)
{
    return [=](QPointer<QTcpSocket> socket) {
        socket->write(head);
        auto *timer = new QTimer(owner);
        auto remaining = std::make_shared<int>(count);
        QObject::connect(timer, &QTimer::timeout, timer, [=] {
            if (!socket || socket->state() != QAbstractSocket::ConnectedState) {
                timer->deleteLater();
                return;
            }
            if (*remaining == 0) {
                socket->write(tail);
                timer->deleteLater();
                return;
            }
            socket->write(chunk);
            if (*remaining > 0)
                --*remaining;
        });
        timer->start(interval);
    };
}

QByteArray chunked(const QByteArray &data)
{
    return QByteArray::number(data.size(), 16) + "\r\n" + data + "\r\n";
}

struct Outcome
{
    int calls = 0;
    bool onMainThread = true;
    std::optional<Result<HttpResponse>> result;
};

Completion<HttpResponse> recordInto(const std::shared_ptr<Outcome> &outcome)
{
    return [outcome](Result<HttpResponse> result) {
        ++outcome->calls;
        outcome->onMainThread
            = outcome->onMainThread && QThread::currentThread() == QCoreApplication::instance()->thread();
        outcome->result = std::move(result);
    };
}

HttpRequest request(const QString &url, std::chrono::milliseconds inactivity = 5000ms, qint64 maxBodySize = 1 << 20)
{
    HttpRequest request;
    request.url = QUrl(url);
    request.inactivityTimeout = inactivity;
    request.maxBodySize = maxBodySize;
    return request;
}

QString errorOf(const Outcome &outcome)
{
    if (!outcome.result)
        return QStringLiteral("no result");
    return outcome.result->ok() ? QStringLiteral("ok") : codeName(outcome.result->error().code);
}

const QString binance = QStringLiteral("api.binance.com");
const QString vision = QStringLiteral("data-api.binance.vision");

} // namespace

class TestNetworkHTTPClient final : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedServer> m_server;

    // A client whose real hosts all live on the scripted server under /<host>.
    std::unique_ptr<NetworkHTTPClient> makeClient(std::chrono::milliseconds deadline = 10s)
    {
        NetworkHTTPClient::HostMap map;
        for (const QString &host : {binance, vision, QStringLiteral("coin-images.coingecko.com")})
            map.insert(host, QUrl(m_server->base() + QLatin1Char('/') + host));
        return std::make_unique<NetworkHTTPClient>(NetworkHTTPClient::marketDataHosts(), map, deadline);
    }

    std::shared_ptr<Outcome> fetch(NetworkHTTPClient &client, const HttpRequest &request)
    {
        auto outcome = std::make_shared<Outcome>();
        client.get(request, recordInto(outcome));
        return outcome;
    }

    static bool waitFor(const std::shared_ptr<Outcome> &outcome)
    {
        return QTest::qWaitFor([&] { return outcome->calls > 0; }, 10000);
    }

private Q_SLOTS:
    // Runs first: nothing else in this process reads the environment's map.
    void environmentMapIsReadOnceAndLogged()
    {
        qputenv("VANTRELL_HOST_MAP", "api.binance.com=http://127.0.0.1:18080/api.binance.com,broken");
        Test::LogCapture log;
        const auto &first = NetworkHTTPClient::hostMapFromEnvironment();
        qputenv("VANTRELL_HOST_MAP", "www.okx.com=http://127.0.0.1:1");
        const auto &second = NetworkHTTPClient::hostMapFromEnvironment();
        qunsetenv("VANTRELL_HOST_MAP");

        QCOMPARE(&first, &second);
        QCOMPARE(first.keys(), QList<QString> {binance});
        const auto records = log.records(QStringLiteral("Network"));
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(0).type, QtWarningMsg);
        QVERIFY(records.at(0).message.contains(QStringLiteral("broken")));
        QCOMPARE(records.at(1).type, QtInfoMsg);
        QVERIFY(records.at(1).message.contains(QStringLiteral("http://127.0.0.1:18080/api.binance.com")));
    }

    void init()
    {
        m_server = std::make_unique<ScriptedServer>();
        QVERIFY(m_server->port() != 0);
    }

    void cleanup() { m_server.reset(); }

    void parsesHostMap_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("warnings");

        QTest::newRow("unset") << QString() << QStringList {} << 0;
        QTest::newRow("two entries with path prefixes")
            << QStringLiteral("api.binance.com=http://127.0.0.1:18080/api.binance.com,www.okx.com=http://"
                              "127.0.0.1:18080/www.okx.com")
            << QStringList {QStringLiteral("api.binance.com=http://127.0.0.1:18080/api.binance.com"),
                   QStringLiteral("www.okx.com=http://127.0.0.1:18080/www.okx.com")}
            << 0;
        QTest::newRow("blanks and case") << QStringLiteral(" API.Bybit.com = http://localhost:9000 , ")
                                         << QStringList {QStringLiteral("api.bybit.com=http://localhost:9000")} << 0;
        QTest::newRow("malformed entries share one warning")
            << QStringLiteral("nohost,=http://x,ftp.host=ftp://127.0.0.1/,q.host=http://127.0.0.1/?a=b,"
                              "bad/host=http://127.0.0.1,rel.host=relative/path,www.okx.com=https://127.0.0.1:8443")
            << QStringList {QStringLiteral("www.okx.com=https://127.0.0.1:8443")} << 1;
    }

    void parsesHostMap()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QFETCH(int, warnings);
        Test::LogCapture log;
        const auto map = NetworkHTTPClient::parseHostMap(text);
        QStringList pairs;
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            pairs.append(it.key() + QLatin1Char('=') + it.value().toString());
        pairs.sort();
        QCOMPARE(pairs, expected);
        QCOMPARE(log.records(QStringLiteral("Network")).size(), warnings);
    }

    void mapsAddresses_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected");

        QTest::newRow("path prefix")
            << QStringLiteral("http://127.0.0.1:18080/api.binance.com")
            << QStringLiteral("https://api.binance.com/api/v3/ticker/24hr?symbols=%5B%22BTCUSDT%22,%22ETHUSDT%22%5D")
            << QStringLiteral("http://127.0.0.1:18080/api.binance.com/api/v3/ticker/"
                              "24hr?symbols=%5B%22BTCUSDT%22,%22ETHUSDT%22%5D");
        QTest::newRow("prefix with slash") << QStringLiteral("http://127.0.0.1:18080/prefix/")
                                           << QStringLiteral("https://api.binance.com/api/v3/x?a=1&b=%2C")
                                           << QStringLiteral("http://127.0.0.1:18080/prefix/api/v3/x?a=1&b=%2C");
        QTest::newRow("no prefix") << QStringLiteral("http://127.0.0.1:18080")
                                   << QStringLiteral("https://api.binance.com/api/v3/time")
                                   << QStringLiteral("http://127.0.0.1:18080/api/v3/time");
        QTest::newRow("other host unchanged")
            << QStringLiteral("http://127.0.0.1:18080")
            << QStringLiteral("https://www.okx.com/api/v5/market/tickers?instType=SPOT")
            << QStringLiteral("https://www.okx.com/api/v5/market/tickers?instType=SPOT");
    }

    void mapsAddresses()
    {
        QFETCH(QString, base);
        QFETCH(QString, url);
        QFETCH(QString, expected);
        const NetworkHTTPClient client(NetworkHTTPClient::marketDataHosts(), {{binance, QUrl(base)}});
        QCOMPARE(client.effectiveUrl(QUrl(url)).toString(QUrl::FullyEncoded), expected);
    }

    void passesStatusHeadersAndBody_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reason");
        QTest::addColumn<QByteArray>("body");

        QTest::newRow("200") << 200 << QByteArray("OK") << QByteArray("[{\"symbol\":\"BTCUSDT\"}]");
        QTest::newRow("400") << 400 << QByteArray("Bad Request")
                             << QByteArray("{\"code\":-1121,\"msg\":\"Invalid symbol.\"}");
        QTest::newRow("404") << 404 << QByteArray("Not Found") << QByteArray("missing");
        QTest::newRow("429") << 429 << QByteArray("Too Many Requests")
                             << QByteArray("{\"msg\":\"Too Many Requests\",\"code\":\"50011\"}");
        QTest::newRow("500") << 500 << QByteArray("Internal Server Error") << QByteArray("oops");
    }

    void passesStatusHeadersAndBody()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, reason);
        QFETCH(QByteArray, body);
        m_server->on(QStringLiteral("/api.binance.com/api/v3/ticker/24hr"),
            send(answer(status, reason, body, "Retry-After: 30\r\nX-MBX-USED-WEIGHT-1M: 80\r\n")));
        auto client = makeClient();
        const auto outcome = fetch(*client, request(QStringLiteral("https://api.binance.com/api/v3/ticker/24hr")));
        QVERIFY(waitFor(outcome));
        QVERIFY2(outcome->result->ok(), qPrintable(errorOf(*outcome)));
        const HttpResponse &response = outcome->result->value();
        QCOMPARE(response.statusCode, status);
        QCOMPARE(response.header("retry-after"), std::optional<QByteArray>("30"));
        QCOMPARE(response.header("X-MBX-Used-Weight-1m"), std::optional<QByteArray>("80"));
        QCOMPARE(response.body, body);
        QCOMPARE(outcome->calls, 1);
        QVERIFY(outcome->onMainThread);
    }

    // The query reaches the server unchanged, behind the host's prefix.
    void sendsToTheMappedAddress()
    {
        m_server->on(QStringLiteral("/api.binance.com/api/v3/ticker/24hr"), send(answer(200, "OK", "[]")));
        auto client = makeClient();
        const auto outcome = fetch(*client,
            request(QStringLiteral(
                "https://api.binance.com/api/v3/ticker/24hr?symbols=%5B%22BTCUSDT%22,%22ETHUSDT%22%5D")));
        QVERIFY(waitFor(outcome));
        QCOMPARE(errorOf(*outcome), QStringLiteral("ok"));
        QCOMPARE(m_server->requests().size(), 1);
        const QUrl seen = m_server->requests().constFirst();
        QCOMPARE(seen.path(), QStringLiteral("/api.binance.com/api/v3/ticker/24hr"));
        QCOMPARE(QUrlQuery(seen).queryItemValue(QStringLiteral("symbols"), QUrl::FullyDecoded),
            QStringLiteral("[\"BTCUSDT\",\"ETHUSDT\"]"));
    }

    void refusesBeforeAnyRequest_data()
    {
        QTest::addColumn<QString>("url");

        QTest::newRow("plain http to an allowed host") << QStringLiteral("http://api.binance.com/api/v3/ticker/24hr");
        QTest::newRow("host not allowed") << QStringLiteral("https://evil.example/api/v3/ticker/24hr");
        QTest::newRow("look-alike host") << QStringLiteral("https://api.binance.com.evil.example/api/v3");
        QTest::newRow("mapped but not allowed") << QStringLiteral("https://coin-images.coingecko.com/coins/1.png");
        QTest::newRow("allowed but not mapped") << QStringLiteral("https://www.okx.com/api/v5/market/tickers");
        QTest::newRow("the local address itself") << QStringLiteral("https://127.0.0.1/api.binance.com/api/v3");
        QTest::newRow("other scheme") << QStringLiteral("ftp://api.binance.com/api/v3");
        QTest::newRow("relative") << QStringLiteral("/api/v3/ticker/24hr");
        QTest::newRow("empty") << QString();
    }

    void refusesBeforeAnyRequest()
    {
        QFETCH(QString, url);
        auto client = makeClient();
        const auto outcome = fetch(*client, request(url));
        // Never inside get(): callers keep the handle before anything completes.
        QCOMPARE(outcome->calls, 0);
        QVERIFY(waitFor(outcome));
        QCOMPARE(errorOf(*outcome), QStringLiteral("badURL"));
        QVERIFY(m_server->requests().isEmpty());
        QTest::qWait(0);
        QCOMPARE(outcome->calls, 1);
    }

    void followsRedirectsOnlyToAllowedHosts_data()
    {
        QTest::addColumn<QByteArray>("location");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("requests");

        QTest::newRow("same host") << QByteArray("/api.binance.com/new") << QStringLiteral("ok") << 2;
        QTest::newRow("other allowed host") << QByteArray("/data-api.binance.vision/new") << QStringLiteral("ok") << 2;
        QTest::newRow("mapped host not allowed")
            << QByteArray("/coin-images.coingecko.com/new") << QStringLiteral("badServerResponse") << 1;
        QTest::newRow("unmapped local address")
            << QByteArray("/elsewhere/new") << QStringLiteral("badServerResponse") << 1;
        QTest::newRow("outside host") << QByteArray("https://evil.example/new") << QStringLiteral("badServerResponse")
                                      << 1;
    }

    void followsRedirectsOnlyToAllowedHosts()
    {
        QFETCH(QByteArray, location);
        QFETCH(QString, expected);
        QFETCH(int, requests);
        m_server->on(QStringLiteral("/api.binance.com/old"),
            send(answer(301, "Moved Permanently", {}, "Location: " + location + "\r\n")));
        for (const QString &path :
            {QStringLiteral("/api.binance.com/new"), QStringLiteral("/data-api.binance.vision/new"),
                QStringLiteral("/coin-images.coingecko.com/new"), QStringLiteral("/elsewhere/new")})
            m_server->on(path, send(answer(200, "OK", "moved")));
        auto client = makeClient();
        const auto outcome = fetch(*client, request(QStringLiteral("https://api.binance.com/old")));
        QVERIFY(waitFor(outcome));
        QCOMPARE(errorOf(*outcome), expected);
        if (expected == QLatin1String("ok"))
            QCOMPARE(outcome->result->value().body, QByteArray("moved"));
        QCOMPARE(m_server->requests().size(), requests);
    }

    void timesOutWhenNothingArrives_data()
    {
        QTest::addColumn<QByteArray>("sent");

        QTest::newRow("no answer at all") << QByteArray();
        QTest::newRow("headers, then silence") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n");
        QTest::newRow("half a body, then silence") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n12345");
    }

    void timesOutWhenNothingArrives()
    {
        QFETCH(QByteArray, sent);
        m_server->on(QStringLiteral("/api.binance.com/slow"), send(sent));
        auto client = makeClient();
        const auto outcome = fetch(*client, request(QStringLiteral("https://api.binance.com/slow"), 150ms));
        QVERIFY(waitFor(outcome));
        QCOMPARE(errorOf(*outcome), QStringLiteral("timedOut"));
    }

    // Bytes keep arriving within the inactivity limit: the transfer lives on.
    void slowButSteadyAnswerCompletes()
    {
        m_server->on(QStringLiteral("/api.binance.com/steady"),
            trickle(m_server.get(), "HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n", "x", 8, {}, 40ms));
        auto client = makeClient();
        const auto outcome = fetch(*client, request(QStringLiteral("https://api.binance.com/steady"), 1000ms));
        QVERIFY(waitFor(outcome));
        QCOMPARE(errorOf(*outcome), QStringLiteral("ok"));
        QCOMPARE(outcome->result->value().body, QByteArray("xxxxxxxx"));
    }

    // A server that trickles a byte now and then never trips the inactivity
    // limit; the total deadline ends it.
    void totalDeadlineEndsATrickle()
    {
        m_server->on(QStringLiteral("/api.binance.com/trickle"),
            trickle(m_server.get(), "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n", "x", -1, {}, 20ms));
        auto client = makeClient(300ms);
        const auto outcome = fetch(*client, request(QStringLiteral("https://api.binance.com/trickle"), 2000ms));
        QVERIFY(waitFor(outcome));
        QCOMPARE(errorOf(*outcome), QStringLiteral("timedOut"));
    }

    void refusesOversizedBodies_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<int>("chunks");
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QString>("expected");

        const QByteArray block(1000, 'x');
        // Only the headers ever arrive: the announced length alone must fail it.
        QTest::newRow("announced length over the cap")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 10001\r\n\r\n") << QByteArray() << 0 << QByteArray()
            << QStringLiteral("badServerResponse");
        QTest::newRow("announced length at the cap") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 10000\r\n\r\n")
                                                     << block << 10 << QByteArray() << QStringLiteral("ok");
        QTest::newRow("chunked without end")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n") << chunked(block) << -1
            << QByteArray() << QStringLiteral("badServerResponse");
        QTest::newRow("chunked one byte over")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n") << chunked(block) << 10
            << QByteArray(chunked("y") + "0\r\n\r\n") << QStringLiteral("badServerResponse");
        QTest::newRow("chunked at the cap") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
                                            << chunked(block) << 10 << QByteArray("0\r\n\r\n") << QStringLiteral("ok");
        QTest::newRow("error status over the cap")
            << QByteArray("HTTP/1.1 500 Internal Server Error\r\nTransfer-Encoding: chunked\r\n\r\n") << chunked(block)
            << -1 << QByteArray() << QStringLiteral("badServerResponse");
    }

    void refusesOversizedBodies()
    {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, chunk);
        QFETCH(int, chunks);
        QFETCH(QByteArray, tail);
        QFETCH(QString, expected);
        m_server->on(QStringLiteral("/api.binance.com/big"), trickle(m_server.get(), head, chunk, chunks, tail, 1ms));
        auto client = makeClient();
        const auto outcome = fetch(*client, request(QStringLiteral("https://api.binance.com/big"), 5000ms, 10000));
        QVERIFY(waitFor(outcome));
        QCOMPARE(errorOf(*outcome), expected);
        if (expected == QLatin1String("ok"))
            QCOMPARE(outcome->result->value().body.size(), 10000);
    }

    // The cap counts the bytes after decompression.
    void capAppliesToDecompressedBody()
    {
        const QByteArray zlib = qCompress(QByteArray(200000, '0')).mid(4);
        m_server->on(QStringLiteral("/api.binance.com/deflated"),
            send(answer(200, "OK", zlib, "Content-Encoding: deflate\r\n")));
        m_server->on(QStringLiteral("/api.binance.com/small"),
            send(answer(200, "OK", qCompress(QByteArray(5000, '1')).mid(4), "Content-Encoding: deflate\r\n")));
        auto client = makeClient();
        const auto small = fetch(*client, request(QStringLiteral("https://api.binance.com/small"), 5000ms, 10000));
        const auto big = fetch(*client, request(QStringLiteral("https://api.binance.com/deflated"), 5000ms, 10000));
        QVERIFY(waitFor(small));
        QVERIFY(waitFor(big));
        QCOMPARE(errorOf(*small), QStringLiteral("ok"));
        QCOMPARE(small->result->value().body, QByteArray(5000, '1'));
        QCOMPARE(errorOf(*big), QStringLiteral("badServerResponse"));
    }

    void truncatedBodyFails_data()
    {
        QTest::addColumn<QByteArray>("sent");

        QTest::newRow("shorter than announced")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n{\"code\":\"0\",\"data\":[");
        QTest::newRow("chunked without last chunk")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + chunked("{\"code\":\"0\""));
        QTest::newRow("error status cut short")
            << QByteArray("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 100\r\n\r\noops");
        QTest::newRow("headers cut short") << QByteArray("HTTP/1.1 200 OK\r\nContent-Le");
        QTest::newRow("not HTTP") << QByteArray("SSH-2.0-OpenSSH_9.2\r\n");
    }

    void truncatedBodyFails()
    {
        QFETCH(QByteArray, sent);
        m_server->on(QStringLiteral("/api.binance.com/cut"), send(sent, true));
        auto client = makeClient();
        const auto outcome = fetch(*client, request(QStringLiteral("https://api.binance.com/cut")));
        QVERIFY(waitFor(outcome));
        QVERIFY2(!outcome->result->ok(), "a cut answer must not pass as a response");
        QCOMPARE(errorOf(*outcome), QStringLiteral("cannotLoadFromNetwork"));
    }

    void refusedConnectionFails()
    {
        const QString closed = m_server->base();
        m_server.reset();
        NetworkHTTPClient client(NetworkHTTPClient::marketDataHosts(), {{binance, QUrl(closed)}}, 10s);
        const auto outcome = fetch(client, request(QStringLiteral("https://api.binance.com/x")));
        QVERIFY(waitFor(outcome));
        QCOMPARE(errorOf(*outcome), QStringLiteral("cannotLoadFromNetwork"));
        m_server = std::make_unique<ScriptedServer>();
    }

    // A cancelled request never completes, even when its answer arrives.
    void cancelledRequestNeverCompletes()
    {
        m_server->on(QStringLiteral("/api.binance.com/late"),
            trickle(m_server.get(), {}, {}, 0, answer(200, "OK", "late"), 100ms));
        m_server->on(QStringLiteral("/api.binance.com/later"),
            trickle(m_server.get(), {}, {}, 0, answer(200, "OK", "later"), 300ms));
        auto client = makeClient();
        auto cancelled = std::make_shared<Outcome>();
        const CancelHandle handle
            = client->get(request(QStringLiteral("https://api.binance.com/late")), recordInto(cancelled));
        auto refused = std::make_shared<Outcome>();
        client->get(request(QStringLiteral("http://nowhere")), recordInto(refused))->cancel();
        const auto witness = fetch(*client, request(QStringLiteral("https://api.binance.com/later")));
        // Cancelled once the server has the request; its answer is still to come.
        QVERIFY(QTest::qWaitFor([&] { return m_server->requests().size() == 2; }, 5000));
        handle->cancel();
        handle->cancel();

        QVERIFY(waitFor(witness));
        QCOMPARE(errorOf(*witness), QStringLiteral("ok"));
        QTest::qWait(0);
        QCOMPARE(cancelled->calls, 0);
        QCOMPARE(refused->calls, 0);
    }

    void cancelAfterCompletionAndDestroyedClientAreHarmless()
    {
        m_server->on(QStringLiteral("/api.binance.com/fast"), send(answer(200, "OK", "fast")));
        m_server->on(QStringLiteral("/api.binance.com/hang"), send({}));
        auto client = makeClient();
        auto outcome = std::make_shared<Outcome>();
        const CancelHandle handle
            = client->get(request(QStringLiteral("https://api.binance.com/fast")), recordInto(outcome));
        QVERIFY(waitFor(outcome));
        handle->cancel();
        QCOMPARE(outcome->calls, 1);

        auto abandoned = std::make_shared<Outcome>();
        const CancelHandle pending
            = client->get(request(QStringLiteral("https://api.binance.com/hang")), recordInto(abandoned));
        QVERIFY(QTest::qWaitFor([&] { return m_server->requests().size() == 2; }, 5000));
        client.reset();
        pending->cancel();
        QTest::qWait(0);
        QCOMPARE(abandoned->calls, 0);
    }
};

QTEST_GUILESS_MAIN(TestNetworkHTTPClient)
#include "tst_networkhttpclient.moc"
