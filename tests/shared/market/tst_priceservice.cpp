// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakeclock.h"
#include "fakehttpclient.h"
#include "logcapture.h"
#include "market/priceservice.h"

#include <QTest>
#include <QTimer>
#include <QUrlQuery>

using namespace Vantrell;
using Vantrell::Test::FakeClock;
using Vantrell::Test::FakeHTTPClient;
using Code = MarketError::Code;

Q_DECLARE_METATYPE(MarketError::Code)
Q_DECLARE_METATYPE(Vantrell::BaseCurrency)
Q_DECLARE_METATYPE(Vantrell::PriceSnapshot)

namespace {

// Provider keys used in scripts, their exchange names and hosts, in list order.
struct ProviderSetup
{
    const char *key;
    const char *name;
    bool hasAllPairsRequest;
    // One request per symbol, in parallel, as one answer.
    bool perSymbol = false;
};
constexpr ProviderSetup providerSetups[] = {
    {"bm", "binance", true},
    {"bd", "binance", true},
    {"okx", "okx", false},
    {"bybit", "bybit", false},
};
// An exchange asked per symbol, then one asked for all at once.
constexpr ProviderSetup splitSetups[] = {
    {"cb", "coinbase", false, true},
    {"kr", "kraken", false},
};

QStringList strings(std::initializer_list<const char *> items)
{
    QStringList result;
    for (const char *item : items)
        result.append(QString::fromUtf8(item));
    return result;
}

using Pairs = std::initializer_list<std::pair<const char *, double>>;

PriceSnapshot snapshotOf(Pairs prices, Pairs changes, double rate)
{
    PriceSnapshot snapshot;
    for (const auto &[symbol, price] : prices)
        snapshot.prices.insert(QString::fromUtf8(symbol), price);
    for (const auto &[symbol, change] : changes)
        snapshot.changes24h.insert(QString::fromUtf8(symbol), change);
    snapshot.usdToTargetRate = rate;
    return snapshot;
}

QUrl addressOf(const QString &key)
{
    return QUrl(QStringLiteral("https://%1.test/tickers").arg(key));
}

// An exchange whose answers are "BTC=100:2.5,ETH=10" (symbol=price[:change]).
// "ratelimit" is its in-body rate-limit answer, "garbage" undecodable.
class FakeTickerProvider final : public TickerProvider
{
public:
    FakeTickerProvider(QString key, QString name, bool hasAllPairsRequest, bool perSymbol = false)
        : m_key(std::move(key))
        , m_name(std::move(name))
        , m_hasAllPairsRequest(hasAllPairsRequest)
        , m_perSymbol(perSymbol)
    { }

    QString name() const override { return m_name; }

    std::optional<HttpRequest> request(const QStringList &symbols) const override
    {
        QUrl url = addressOf(m_key);
        QUrlQuery query;
        query.addQueryItem(QStringLiteral("symbols"), symbols.join(QLatin1Char(',')));
        url.setQuery(query);
        return HttpRequest {url};
    }

    std::vector<TickerRequest> requests(const QStringList &symbols) const override
    {
        if (!m_perSymbol)
            return TickerProvider::requests(symbols);
        std::vector<TickerRequest> result;
        for (const QString &symbol : symbols)
            result.push_back({*request({symbol}), {symbol}});
        return result;
    }

    std::optional<HttpRequest> fallbackRequest() const override
    {
        if (!m_hasAllPairsRequest)
            return std::nullopt;
        return HttpRequest {addressOf(m_key)};
    }

    Result<QuoteMap> parse(const QByteArray &body, const QSet<QString> &requested) override
    {
        if (body == "ratelimit")
            return MarketError::rateLimited(std::nullopt);
        if (body == "garbage")
            return MarketError::make(Code::decodingFailed);
        QuoteMap quotes;
        for (const QByteArray &item : body.split(',')) {
            const QList<QByteArray> symbolAndValues = item.split('=');
            if (symbolAndValues.size() != 2)
                continue;
            const QString symbol = QString::fromLatin1(symbolAndValues[0]);
            const QList<QByteArray> values = symbolAndValues[1].split(':');
            if (!requested.contains(symbol))
                continue;
            TickerQuote quote {values[0].toDouble(), std::nullopt};
            if (values.size() > 1)
                quote.change24hPercent = values[1].toDouble();
            quotes.insert(symbol, quote);
        }
        return quotes;
    }

private:
    QString m_key;
    QString m_name;
    bool m_hasAllPairsRequest;
    bool m_perSymbol;
};

// Rates answered from the event loop, or held until release().
class FakeRates final : public ExchangeRateServicing
{
public:
    CancelHandle usdRate(BaseCurrency currency, Completion<double> completion) override
    {
        ++calls;
        lastCurrency = currency;
        auto pending = std::make_shared<Pending>();
        pending->owner = this;
        pending->completion = std::move(completion);
        pending->answer = answer;
        if (holding)
            waiting.push_back(pending);
        else
            QTimer::singleShot(0, [pending] { pending->deliver(); });
        return pending;
    }

    void release()
    {
        for (const auto &pending : std::exchange(waiting, {}))
            QTimer::singleShot(0, [pending] { pending->deliver(); });
    }

    Result<double> answer = 1.0;
    bool holding = false;
    int calls = 0;
    int cancelled = 0;
    std::optional<BaseCurrency> lastCurrency;

private:
    struct Pending final : Cancellable
    {
        FakeRates *owner = nullptr;
        Completion<double> completion;
        std::optional<Result<double>> answer;

        void cancel() override
        {
            if (completion) {
                completion = nullptr;
                ++owner->cancelled;
            }
        }
        void deliver()
        {
            if (auto run = std::exchange(completion, nullptr))
                run(*answer);
        }
    };
    std::vector<std::shared_ptr<Pending>> waiting;
};

struct Outcome
{
    int calls = 0;
    std::optional<Result<PriceSnapshot>> result;
    CancelHandle handle;

    Completion<PriceSnapshot> completion()
    {
        return [this](Result<PriceSnapshot> r) {
            ++calls;
            result = std::move(r);
        };
    }
    bool wait()
    {
        return QTest::qWaitFor([this] { return calls > 0; }, 2000);
    }
    bool ok() const { return result && result->ok(); }
    PriceSnapshot snapshot() const { return ok() ? result->value() : PriceSnapshot {}; }
    std::optional<Code> error() const
    {
        return result && !result->ok() ? std::optional(result->error().code) : std::nullopt;
    }
    QStringList symbols() const
    {
        QStringList keys = snapshot().prices.keys();
        keys.sort();
        return keys;
    }
};

struct Harness
{
    FakeClock clock;
    FakeHTTPClient http;
    FakeRates rates;
    std::unique_ptr<PriceService> service;

    template<size_t N = std::size(providerSetups)>
    explicit Harness(const ProviderSetup (&setups)[N] = providerSetups)
    {
        std::vector<std::unique_ptr<TickerProvider>> providers;
        for (const auto &setup : setups) {
            providers.push_back(std::make_unique<FakeTickerProvider>(
                QLatin1String(setup.key), QLatin1String(setup.name), setup.hasAllPairsRequest, setup.perSymbol));
        }
        service = std::make_unique<PriceService>(http, rates, std::move(providers), clock.clock());
    }

    // Each step answers one request: "<key> <status> [body] [ra=<Retry-After>]"
    // or "<key> timeout"; a body "-" is empty. A provider's steps are used in order.
    void script(const QStringList &steps)
    {
        for (const QString &step : steps) {
            const QStringList parts = step.split(QLatin1Char(' '));
            const QUrl url = addressOf(parts[0]);
            if (parts[1] == QLatin1String("timeout")) {
                http.enqueue(url, MarketError::make(Code::timedOut));
                continue;
            }
            QByteArray body;
            QList<std::pair<QByteArray, QByteArray>> headers;
            for (const QString &part : parts.mid(2)) {
                if (part.startsWith(QLatin1String("ra=")))
                    headers.append({"Retry-After", part.mid(3).toLatin1()});
                else if (part != QLatin1String("-"))
                    body = part.toLatin1();
            }
            http.enqueue(url, parts[1].toInt(), body, headers);
        }
    }

    // The requests made, as "<key> <symbols>" or "<key> *" for all pairs.
    QStringList asked() const
    {
        QStringList result;
        for (const QUrl &url : http.requestedUrls()) {
            const QString key = url.host().section(QLatin1Char('.'), 0, 0);
            const QUrlQuery query(url);
            result.append(key + QLatin1Char(' ')
                + (query.hasQueryItem(QStringLiteral("symbols")) ? query.queryItemValue(QStringLiteral("symbols"))
                                                                 : QStringLiteral("*")));
        }
        return result;
    }

    Outcome fetch(const QStringList &symbols, BaseCurrency currency = BaseCurrency::usd)
    {
        Outcome outcome;
        outcome.handle = service->fetchPrices(symbols, currency, outcome.completion());
        outcome.wait();
        return outcome;
    }

    QStringList marks() const
    {
        QStringList keys = service->unavailableSince().keys();
        keys.sort();
        return keys;
    }

    // "name=seconds from now" for every back-off.
    QStringList backOffs() const
    {
        QStringList result;
        const auto &until = service->rateLimitedUntil();
        for (auto it = until.cbegin(); it != until.cend(); ++it)
            result.append(it.key() + QLatin1Char('=') + QString::number(clock.now().secsTo(it.value())));
        result.sort();
        return result;
    }
};

} // namespace

class TestPriceService final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void normalizedSymbols_data()
    {
        QTest::addColumn<QStringList>("symbols");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("case and duplicates") << strings({"btc", "BTC", "eth"}) << strings({"BTC", "ETH"});
        QTest::newRow("empty entries dropped") << strings({"", "doge", ""}) << strings({"DOGE"});
        QTest::newRow("non-ASCII upper-cased") << strings({"hdp.ф"}) << strings({"HDP.Ф"});
    }

    void normalizedSymbols()
    {
        QFETCH(QStringList, symbols);
        QFETCH(QStringList, expected);
        QCOMPARE(PriceService::normalizedSymbols(symbols), expected);
    }

    void oneRequestForNormalizedSymbols()
    {
        Harness h;
        h.script(strings({"bm 200 BTC=100,ETH=10"}));
        const Outcome outcome = h.fetch(strings({"btc", "BTC", "eth"}));
        QCOMPARE(h.asked(), strings({"bm BTC,ETH"}));
        QCOMPARE(outcome.symbols(), (strings({"BTC", "ETH"})));
    }

    void emptyListFailsWithBadURL_data()
    {
        QTest::addColumn<QStringList>("symbols");
        QTest::newRow("no symbols") << strings({});
        QTest::newRow("only empty symbols") << strings({"", ""});
    }

    void emptyListFailsWithBadURL()
    {
        QFETCH(QStringList, symbols);
        Harness h;
        Outcome outcome;
        h.service->fetchPrices(symbols, BaseCurrency::eur, outcome.completion());
        QCOMPARE(outcome.calls, 0); // never inside the call
        QVERIFY(outcome.wait());
        QCOMPARE(outcome.error(), std::optional(Code::badURL));
        QCOMPARE(h.http.calls().size(), 0);
        QCOMPARE(h.rates.calls, 0);
    }

    void attemptOrder_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QStringList>("expectedAsked");
        QTest::addColumn<int>("expectedPreference");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<QStringList>("expectedBackOffs");

        QTest::newRow("preferred exchange answers")
            << strings({"bm 200 BTC=100"}) << strings({"bm BTC"}) << 0 << true << strings({});
        QTest::newRow("server error, other Binance base")
            << strings({"bm 500", "bd 200 BTC=100"}) << strings({"bm BTC", "bd BTC"}) << 1 << true << strings({});
        QTest::newRow("429 with Retry-After skips both Binance bases")
            << strings({"bm 429 ra=120", "okx 200 BTC=100"}) << strings({"bm BTC", "okx BTC"}) << 2 << true
            << strings({"binance=120"});
        QTest::newRow("429 without Retry-After")
            << strings({"bm 429", "okx 200 BTC=100"}) << strings({"bm BTC", "okx BTC"}) << 2 << true
            << strings({"binance=60"});
        QTest::newRow("403 without Retry-After")
            << strings({"bm 403", "okx 200 BTC=100"}) << strings({"bm BTC", "okx BTC"}) << 2 << true
            << strings({"binance=600"});
        QTest::newRow("418 with Retry-After")
            << strings({"bm 418 ra=300", "okx 200 BTC=100"}) << strings({"bm BTC", "okx BTC"}) << 2 << true
            << strings({"binance=300"});
        QTest::newRow("rate limit in the body")
            << strings({"bm 500", "bd 500", "okx 200 ratelimit", "bybit 200 BTC=100"})
            << strings({"bm BTC", "bd BTC", "okx BTC", "bybit BTC"}) << 3 << true << strings({"okx=60"});
        // The empty answer marks BTC for binance, so the second base has no candidate.
        QTest::newRow("answer without usable quotes")
            << strings({"bm 200 -", "okx 200 BTC=100"}) << strings({"bm BTC", "okx BTC"}) << 2 << true << strings({});
        QTest::newRow("400, then all pairs")
            << strings({"bm 400", "bm 200 BTC=100,ETH=5"}) << strings({"bm BTC", "bm *"}) << 0 << true << strings({});
        QTest::newRow("400, all pairs fail too") << strings({"bm 400", "bm 500", "bd 200 BTC=100"})
                                                 << strings({"bm BTC", "bm *", "bd BTC"}) << 1 << true << strings({});
        QTest::newRow("400 from an exchange without all-pairs request")
            << strings({"bm 500", "bd 500", "okx 400", "bybit 200 BTC=100"})
            << strings({"bm BTC", "bd BTC", "okx BTC", "bybit BTC"}) << 3 << true << strings({});
        QTest::newRow("all fail") << strings({"bm 500", "bd timeout", "okx 200 garbage", "bybit 503"})
                                  << strings({"bm BTC", "bd BTC", "okx BTC", "bybit BTC"}) << 0 << false << strings({});
    }

    void attemptOrder()
    {
        QFETCH(QStringList, script);
        QFETCH(QStringList, expectedAsked);
        QFETCH(int, expectedPreference);
        QFETCH(bool, succeeds);
        QFETCH(QStringList, expectedBackOffs);

        Harness h;
        h.script(script);
        const Outcome outcome = h.fetch(strings({"BTC"}));
        QCOMPARE(h.asked(), expectedAsked);
        QCOMPARE(h.service->preferredProviderIndex(), expectedPreference);
        QCOMPARE(h.backOffs(), expectedBackOffs);
        if (succeeds) {
            QCOMPARE(outcome.snapshot().prices.value(QStringLiteral("BTC")), 100.0);
        } else {
            // Not the last exchange's own error.
            QCOMPARE(outcome.error(), std::optional(Code::cannotLoadFromNetwork));
        }
        QCOMPARE(h.http.unscriptedCount(), 0);
    }

    void nextFetchStartsWithThePreferredExchange()
    {
        Harness h;
        h.script(strings({"bm 500", "bd 500", "okx 200 BTC=100"}));
        QVERIFY(h.fetch(strings({"BTC"})).ok());
        QCOMPARE(h.service->preferredProviderIndex(), 2);

        h.http.clearLog();
        h.script(strings({"okx 500", "bybit 500", "bm 500", "bd 500"}));
        QCOMPARE(h.fetch(strings({"BTC"})).error(), std::optional(Code::cannotLoadFromNetwork));
        QCOMPARE(h.asked(), (strings({"okx BTC", "bybit BTC", "bm BTC", "bd BTC"})));
        QCOMPARE(h.service->preferredProviderIndex(), 2);
    }

    void backOffEnds_data()
    {
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<QStringList>("expectedAsked");

        QTest::newRow("one second early") << 119 << strings({"okx BTC", "bybit BTC"});
        QTest::newRow("at its end") << 120 << strings({"okx BTC", "bybit BTC", "bm BTC"});
    }

    void backOffEnds()
    {
        QFETCH(int, elapsed);
        QFETCH(QStringList, expectedAsked);

        Harness h;
        h.script(strings({"bm 429 ra=120", "okx 200 BTC=100"}));
        QVERIFY(h.fetch(strings({"BTC"})).ok());

        h.clock.advance(elapsed);
        h.http.clearLog();
        h.http.clearScript();
        h.script(strings({"okx 500", "bybit 500", "bm 200 BTC=101"}));
        const Outcome outcome = h.fetch(strings({"BTC"}));
        QCOMPARE(h.asked(), expectedAsked);
        QCOMPARE(outcome.ok(), expectedAsked.size() == 3);
    }

    void fillIn_data()
    {
        QTest::addColumn<QStringList>("symbols");
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QStringList>("expectedAsked");
        QTest::addColumn<QStringList>("expectedSymbols");
        QTest::addColumn<QStringList>("expectedMarks");
        QTest::addColumn<int>("expectedPreference");

        QTest::newRow("Binance lacks XYZ, OKX has it")
            << strings({"BTC", "XYZ"}) << strings({"bm 200 BTC=100", "okx 200 XYZ=2"})
            << strings({"bm BTC,XYZ", "okx XYZ"}) << strings({"BTC", "XYZ"}) << strings({"binance/XYZ"}) << 0;
        QTest::newRow("listed nowhere") << strings({"BTC", "XYZ"})
                                        << strings({"bm 200 BTC=100", "okx 200 -", "bybit 200 -"})
                                        << strings({"bm BTC,XYZ", "okx XYZ", "bybit XYZ"}) << strings({"BTC"})
                                        << strings({"binance/XYZ", "bybit/XYZ", "okx/XYZ"}) << 0;
        QTest::newRow("failures keep the result so far")
            << strings({"BTC", "XYZ"}) << strings({"bm 200 BTC=100", "okx 500", "bybit timeout"})
            << strings({"bm BTC,XYZ", "okx XYZ", "bybit XYZ"}) << strings({"BTC"}) << strings({"binance/XYZ"}) << 0;
        QTest::newRow("winner OKX fills in from Binance main, then Bybit")
            << strings({"ABC", "BTC", "XYZ"})
            << strings({"bm 500", "bd 500", "okx 200 BTC=100", "bm 200 XYZ=2", "bybit 200 ABC=3"})
            << strings({"bm ABC,BTC,XYZ", "bd ABC,BTC,XYZ", "okx ABC,BTC,XYZ", "bm ABC,XYZ", "bybit ABC"})
            << strings({"ABC", "BTC", "XYZ"}) << strings({"binance/ABC", "okx/ABC", "okx/XYZ"}) << 2;
        QTest::newRow("fill-in uses the all-pairs retry")
            << strings({"BTC", "XYZ"}) << strings({"bm 500", "bd 500", "okx 200 BTC=100", "bm 400", "bm 200 XYZ=2"})
            << strings({"bm BTC,XYZ", "bd BTC,XYZ", "okx BTC,XYZ", "bm XYZ", "bm *"}) << strings({"BTC", "XYZ"})
            << strings({"okx/XYZ"}) << 2;
    }

    void fillIn()
    {
        QFETCH(QStringList, symbols);
        QFETCH(QStringList, script);
        QFETCH(QStringList, expectedAsked);
        QFETCH(QStringList, expectedSymbols);
        QFETCH(QStringList, expectedMarks);
        QFETCH(int, expectedPreference);

        Harness h;
        h.script(script);
        const Outcome outcome = h.fetch(symbols);
        QVERIFY(outcome.ok());
        QCOMPARE(h.asked(), expectedAsked);
        QCOMPARE(outcome.symbols(), expectedSymbols);
        QCOMPARE(h.marks(), expectedMarks);
        QCOMPARE(h.service->preferredProviderIndex(), expectedPreference);
        QCOMPARE(h.http.unscriptedCount(), 0);
    }

    void marksExpire_data()
    {
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<QStringList>("expectedAsked");

        QTest::newRow("1799 s: every exchange skipped") << 1799 << strings({});
        QTest::newRow("1800 s: asked again") << 1800 << strings({"bm XYZ"});
    }

    void marksExpire()
    {
        QFETCH(int, elapsed);
        QFETCH(QStringList, expectedAsked);

        Harness h;
        h.script(strings({"bm 200 BTC=100", "okx 200 -", "bybit 200 -"}));
        QVERIFY(h.fetch(strings({"BTC", "XYZ"})).ok());
        QCOMPARE(h.marks(), (strings({"binance/XYZ", "bybit/XYZ", "okx/XYZ"})));

        h.clock.advance(elapsed);
        h.http.clearLog();
        h.script(strings({"bm 200 XYZ=1"}));
        const Outcome outcome = h.fetch(strings({"XYZ"}));
        QCOMPARE(h.asked(), expectedAsked);
        if (expectedAsked.isEmpty())
            QCOMPARE(outcome.error(), std::optional(Code::cannotLoadFromNetwork));
        else
            QCOMPARE(outcome.symbols(), strings({"XYZ"}));
    }

    void snapshot_data()
    {
        QTest::addColumn<QStringList>("symbols");
        QTest::addColumn<BaseCurrency>("currency");
        QTest::addColumn<double>("rate");
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<PriceSnapshot>("expected");

        QTest::newRow("EUR converts prices, not changes")
            << strings({"BTC", "ETH"}) << BaseCurrency::eur << 0.9 << strings({"bm 200 BTC=100:2.5,ETH=10:-1"})
            << snapshotOf({{"BTC", 100 * 0.9}, {"ETH", 10 * 0.9}}, {{"BTC", 2.5}, {"ETH", -1.0}}, 0.9);
        QTest::newRow("missing change") << strings({"BTC", "ETH"}) << BaseCurrency::usd << 1.0
                                        << strings({"bm 200 BTC=100:2.5,ETH=10"})
                                        << snapshotOf({{"BTC", 100.0}, {"ETH", 10.0}}, {{"BTC", 2.5}}, 1.0);
        QTest::newRow("USDT alone asks no exchange") << strings({"usdt"}) << BaseCurrency::jpy << 150.0 << strings({})
                                                     << snapshotOf({{"USDT", 150.0}}, {{"USDT", 0.0}}, 150.0);
        QTest::newRow("USDT with BTC in EUR")
            << strings({"USDT", "BTC"}) << BaseCurrency::eur << 0.9 << strings({"bm 200 BTC=100:2.5"})
            << snapshotOf({{"USDT", 0.9}, {"BTC", 100 * 0.9}}, {{"USDT", 0.0}, {"BTC", 2.5}}, 0.9);
    }

    void snapshot()
    {
        QFETCH(QStringList, symbols);
        QFETCH(BaseCurrency, currency);
        QFETCH(double, rate);
        QFETCH(QStringList, script);
        QFETCH(PriceSnapshot, expected);

        Harness h;
        h.rates.answer = rate;
        h.script(script);
        const Outcome outcome = h.fetch(symbols, currency);
        QVERIFY(outcome.ok());
        // Every quote names its exchange; the fixed USDT price none.
        for (auto price = expected.prices.cbegin(); price != expected.prices.cend(); ++price) {
            if (price.key() != QLatin1String("USDT"))
                expected.sources.insert(price.key(), QStringLiteral("binance"));
        }
        QCOMPARE(outcome.snapshot(), expected);
        QCOMPARE(h.rates.lastCurrency, std::optional(currency));
        QCOMPARE(h.http.calls().size(), script.size());
        // USDT is never asked of an exchange.
        for (const QString &asked : h.asked())
            QVERIFY(!asked.contains(QLatin1String("USDT")));
    }

    void rateFailureFailsTheFetch()
    {
        Harness h;
        h.rates.answer = MarketError::make(Code::cannotParseResponse);
        h.http.setHolding(true);
        h.script(strings({"bm 200 BTC=100"}));
        Outcome outcome;
        h.service->fetchPrices(strings({"BTC"}), BaseCurrency::eur, outcome.completion());
        QVERIFY(outcome.wait());
        QCOMPARE(outcome.error(), std::optional(Code::cannotParseResponse));
        // The ticker request still running is abandoned.
        QCOMPARE(h.http.cancelledCount(), 1);
        QCOMPARE(h.http.release(), 0);
    }

    void quotesFailureAbandonsTheRateWait()
    {
        Harness h;
        h.rates.holding = true;
        h.script(strings({"bm 500", "bd 500", "okx 500", "bybit 500"}));
        const Outcome outcome = h.fetch(strings({"BTC"}), BaseCurrency::eur);
        QCOMPARE(outcome.error(), std::optional(Code::cannotLoadFromNetwork));
        QCOMPARE(h.rates.cancelled, 1);
    }

    void cancelledFetchNeverCompletes()
    {
        Harness h;
        h.http.setHolding(true);
        h.rates.holding = true;
        h.script(strings({"bm 429"}));
        Outcome outcome;
        const CancelHandle handle = h.service->fetchPrices(strings({"BTC"}), BaseCurrency::eur, outcome.completion());
        QCOMPARE(h.http.waitingCount(), 1);
        handle->cancel();
        QCOMPARE(h.http.cancelledCount(), 1);
        QCOMPARE(h.rates.cancelled, 1);

        h.http.release();
        h.rates.release();
        QTest::qWait(0);
        QCoreApplication::processEvents();
        QCOMPARE(outcome.calls, 0);
        // The abandoned answer leaves no trace.
        QVERIFY(h.service->rateLimitedUntil().isEmpty());
        QCOMPARE(h.http.calls().size(), 1);
    }

    void releasedServiceEndsTheFetchWithCancelled()
    {
        Harness h;
        h.http.setHolding(true);
        h.script(strings({"bm 200 BTC=100"}));
        Outcome outcome;
        h.service->fetchPrices(strings({"BTC"}), BaseCurrency::usd, outcome.completion());
        h.service.reset();
        QVERIFY(outcome.wait());
        QCOMPARE(outcome.error(), std::optional(Code::cancelled));
        QCOMPARE(h.http.cancelledCount(), 1);
    }

    void logsOneLinePerFailedExchange()
    {
        Test::LogCapture log;
        Harness h;
        h.script(strings({"bm 500", "bd timeout", "okx 429 ra=5", "bybit 200 -"}));
        h.fetch(strings({"BTC", "ETH", "SOL"}));

        QStringList failures;
        for (const auto &record : log.records(QStringLiteral("Market"))) {
            if (record.type != QtDebugMsg)
                failures.append(record.message);
        }
        QCOMPARE(failures.size(), 4);
        QVERIFY(failures[0].contains(QLatin1String("binance")) && failures[0].contains(QLatin1String("status 500")));
        QVERIFY(failures[2].contains(QLatin1String("okx")) && failures[2].contains(QLatin1String("retryAfter: 5")));
        for (const QString &line : failures)
            QVERIFY2(!line.contains(QLatin1String("ETH")), qPrintable(line));
    }

    // The requests of one exchange in one poll are one answer: all delivered,
    // or the weightiest failure among them decides for the whole exchange.
    void partsCountAsOneAnswer_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QStringList>("expectedAsked");
        QTest::addColumn<QString>("expectedSources");
        QTest::addColumn<QStringList>("expectedBackOffs");
        QTest::addColumn<QStringList>("expectedMarks");

        QTest::newRow("all parts deliver")
            << strings({"cb 200 BTC=100", "cb 200 ETH=10"}) << strings({"cb BTC", "cb ETH"})
            << QStringLiteral("BTC=coinbase ETH=coinbase") << strings({}) << strings({});
        QTest::newRow("one part fails: the exchange failed")
            << strings({"cb 200 BTC=100", "cb 500", "kr 200 BTC=101,ETH=11"})
            << strings({"cb BTC", "cb ETH", "kr BTC,ETH"}) << QStringLiteral("BTC=kraken ETH=kraken") << strings({})
            << strings({});
        QTest::newRow("one part rate-limited: the exchange backs off")
            << strings({"cb 429 ra=30", "cb 200 ETH=10", "kr 200 BTC=101,ETH=11"})
            << strings({"cb BTC", "cb ETH", "kr BTC,ETH"}) << QStringLiteral("BTC=kraken ETH=kraken")
            << strings({"coinbase=30"}) << strings({});
        QTest::newRow("a refusal outweighs a rate limit")
            << strings({"cb 429 ra=30", "cb 451", "kr 200 BTC=101,ETH=11"})
            << strings({"cb BTC", "cb ETH", "kr BTC,ETH"}) << QStringLiteral("BTC=kraken ETH=kraken") << strings({})
            << strings({});
        QTest::newRow("a part without the coin marks it; the fill-in finds it")
            << strings({"cb 200 BTC=100", "cb 200 -", "kr 200 ETH=11"}) << strings({"cb BTC", "cb ETH", "kr ETH"})
            << QStringLiteral("BTC=coinbase ETH=kraken") << strings({}) << strings({"coinbase/ETH"});
    }

    void partsCountAsOneAnswer()
    {
        QFETCH(QStringList, script);
        QFETCH(QStringList, expectedAsked);
        QFETCH(QString, expectedSources);
        QFETCH(QStringList, expectedBackOffs);
        QFETCH(QStringList, expectedMarks);

        Harness h(splitSetups);
        h.script(script);
        const Outcome outcome = h.fetch(strings({"BTC", "ETH"}));
        QVERIFY(outcome.ok());
        QCOMPARE(h.asked(), expectedAsked);
        QStringList sources;
        for (auto it = outcome.snapshot().sources.cbegin(); it != outcome.snapshot().sources.cend(); ++it)
            sources.append(it.key() + QLatin1Char('=') + it.value());
        sources.sort();
        QCOMPARE(sources.join(QLatin1Char(' ')), expectedSources);
        QCOMPARE(h.backOffs(), expectedBackOffs);
        QCOMPARE(h.marks(), expectedMarks);
    }

    // HTTP 451 and a 403 page that is not JSON set the host aside for an hour,
    // logged once; a JSON 403 stays a rate limit of the exchange.
    void refusalSetsTheHostAside_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QStringList>("expectedAsked");
        QTest::addColumn<QStringList>("expectedBackOffs");

        // A refusal is the host's: the other Binance host still answers. A ban
        // is the exchange's: both Binance hosts wait.
        QTest::newRow("451") << QStringLiteral("bm 451") << true << strings({"bm BTC", "bd BTC"}) << strings({});
        QTest::newRow("403 with a CDN page")
            << QStringLiteral("bm 403 <html>blocked</html>") << true << strings({"bm BTC", "bd BTC"}) << strings({});
        QTest::newRow("403 with JSON is a ban") << QStringLiteral("bm 403 {\"code\":0}") << false
                                                << strings({"bm BTC", "okx BTC"}) << strings({"binance=600"});
        QTest::newRow("403 without a body is a ban")
            << QStringLiteral("bm 403") << false << strings({"bm BTC", "okx BTC"}) << strings({"binance=600"});
    }

    void refusalSetsTheHostAside()
    {
        QFETCH(QString, answer);
        QFETCH(bool, refused);
        QFETCH(QStringList, expectedAsked);
        QFETCH(QStringList, expectedBackOffs);

        Test::LogCapture log;
        Harness h;
        for (const char *key : {"bm", "bd", "okx"})
            h.http.setStanding(addressOf(QLatin1String(key)), FakeHTTPClient::response(200, "BTC=100"));
        h.script({answer});
        QVERIFY(h.fetch(strings({"BTC"})).ok());
        QCOMPARE(h.asked(), expectedAsked);
        QCOMPARE(h.backOffs(), expectedBackOffs);

        // Set aside for the whole hour (the ban's back-off is over long before).
        h.clock.advance(HostRefusals::setAsideSeconds - 1);
        h.fetch(strings({"BTC"}));
        h.fetch(strings({"BTC"}));
        QCOMPARE(h.service->refusals().isRefused(QStringLiteral("bm.test"), h.clock.now()), refused);
        h.clock.advance(1);
        QVERIFY(!h.service->refusals().isRefused(QStringLiteral("bm.test"), h.clock.now()));

        const auto records = log.records(QStringLiteral("Market"));
        const auto warnings = std::count_if(records.cbegin(), records.cend(), [](const auto &record) {
            return record.type == QtWarningMsg && record.message.contains(QLatin1String("refuses"));
        });
        QCOMPARE(warnings, refused ? 1 : 0);
    }

    void everySourceRefusing_data()
    {
        QTest::addColumn<QStringList>("refusing");
        QTest::addColumn<int>("secondsLater");
        QTest::addColumn<bool>("expected");

        const QStringList all = strings({"bm.test", "bd.test", "okx.test", "bybit.test"});
        QTest::newRow("none") << QStringList() << 0 << false;
        QTest::newRow("all but one") << all.mid(1) << 0 << false;
        QTest::newRow("all") << all << 0 << true;
        QTest::newRow("all, a second before the hour ends") << all << HostRefusals::setAsideSeconds - 1 << true;
        QTest::newRow("all, the hour over") << all << HostRefusals::setAsideSeconds << false;
    }

    void everySourceRefusing()
    {
        QFETCH(QStringList, refusing);
        QFETCH(int, secondsLater);
        QFETCH(bool, expected);

        HostRefusals refusals;
        const QDateTime start = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
        for (const QString &host : refusing)
            QVERIFY(refusals.refuse(host, start));
        const QStringList all = strings({"bm.test", "bd.test", "okx.test", "bybit.test"});
        QCOMPARE(refusals.refusesAll(all, start.addSecs(secondsLater)), expected);
    }

    // When every host refuses, polling goes on without a request and the
    // fetch says why; one host answering again ends it.
    void everyHostRefusingFailsWithNetworkRefused()
    {
        Harness h;
        h.script(strings({"bm 451", "bd 451", "okx 403 <html></html>", "bybit 451"}));
        QCOMPARE(h.fetch(strings({"BTC"})).error(), std::optional(Code::networkRefused));
        h.http.clearLog();
        QCOMPARE(h.fetch(strings({"BTC"})).error(), std::optional(Code::networkRefused));
        QCOMPARE(h.http.calls().size(), 0);

        h.clock.advance(HostRefusals::setAsideSeconds);
        h.script(strings({"bm 451", "bd 500", "okx 451", "bybit 451"}));
        QCOMPARE(h.fetch(strings({"BTC"})).error(), std::optional(Code::cannotLoadFromNetwork));
    }
};

QTEST_GUILESS_MAIN(TestPriceService)
#include "tst_priceservice.moc"
