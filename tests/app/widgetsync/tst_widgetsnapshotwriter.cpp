// SPDX-License-Identifier: GPL-3.0-or-later
#include "faketimer.h"
#include "logcapture.h"
#include "testenvironment.h"
#include "widgetkit/widgethostbus.h"
#include "widgetsync/widgetreload.h"
#include "widgetsync/widgetsnapshotwriter.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace Vantrell;
using namespace std::chrono_literals;

namespace {

Coin coin(const QString &id, double price)
{
    Coin coin;
    coin.id = id;
    coin.currentPrice = price;
    return coin;
}

WidgetSnapshot base()
{
    WidgetSnapshot snapshot;
    snapshot.writtenAt = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
    snapshot.upColorHex = QStringLiteral("#2CBD84");
    snapshot.downColorHex = QStringLiteral("#F6465D");
    snapshot.displayedCoinId = QStringLiteral("bitcoin");
    snapshot.watchlist = {QStringLiteral("bitcoin"), QStringLiteral("ethereum")};
    snapshot.quotes.insert(QStringLiteral("bitcoin"), {100.0, 1.0});
    return snapshot;
}

// Stands in for the widget host on the test's private bus.
class FakeWidgetHost final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.vantrell.WidgetHost")

public:
    int reloads = 0;

public Q_SLOTS:
    void ReloadAllTimelines() { ++reloads; }
};

} // namespace

Q_DECLARE_METATYPE(std::function<void(WidgetSnapshot &)>)

class TestWidgetSnapshotWriter final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void shouldReload_data()
    {
        QTest::addColumn<std::function<void(WidgetSnapshot &)>>("change");
        QTest::addColumn<bool>("reload");

        using Change = std::function<void(WidgetSnapshot &)>;
        const auto price = [](double value) {
            return Change([value](WidgetSnapshot &s) { s.quotes[QStringLiteral("bitcoin")].price = value; });
        };
        QTest::newRow("nothing changed") << Change([](WidgetSnapshot &) {}) << false;
        QTest::newRow("299 s later") << Change([](WidgetSnapshot &s) { s.writtenAt = s.writtenAt.addSecs(299); })
                                     << false;
        QTest::newRow("300 s later") << Change([](WidgetSnapshot &s) { s.writtenAt = s.writtenAt.addSecs(300); })
                                     << true;
        QTest::newRow("language") << Change([](WidgetSnapshot &s) { s.language = AppLanguage::zhHans; }) << true;
        QTest::newRow("currency") << Change([](WidgetSnapshot &s) { s.currency = BaseCurrency::eur; }) << true;
        QTest::newRow("colouring") << Change([](WidgetSnapshot &s) { s.colorByChange = false; }) << true;
        QTest::newRow("down colour") << Change([](WidgetSnapshot &s) { s.downColorHex = QStringLiteral("#000000"); })
                                     << true;
        QTest::newRow("displayed coin") << Change([](WidgetSnapshot &s) {
            s.displayedCoinId = QStringLiteral("ethereum");
        }) << true;
        QTest::newRow("watchlist order") << Change([](WidgetSnapshot &s) { s.watchlist.swapItemsAt(0, 1); }) << true;
        QTest::newRow("a new coin") << Change([](WidgetSnapshot &s) {
            s.quotes.insert(QStringLiteral("ethereum"), {2.0, {}});
        }) << true;
        QTest::newRow("a coin gone") << Change([](WidgetSnapshot &s) { s.quotes.clear(); }) << false;
        QTest::newRow("change alone") << Change([](WidgetSnapshot &s) {
            s.quotes[QStringLiteral("bitcoin")].change24hPercent = 9.0;
        }) << false;
        QTest::newRow("exactly 1 % up") << price(101) << false;
        QTest::newRow("exactly 1 % down") << price(99) << false;
        QTest::newRow("more than 1 %") << price(101.01) << true;
    }

    void shouldReload()
    {
        QFETCH(std::function<void(WidgetSnapshot &)>, change);
        QFETCH(bool, reload);
        WidgetSnapshot next = base();
        change(next);
        const WidgetSnapshotWriter::LastReload last {base().writtenAt, base()};
        QCOMPARE(WidgetSnapshotWriter::shouldReload(last, next), reload);
        QVERIFY(WidgetSnapshotWriter::shouldReload(std::nullopt, next));

        // A zero reference price never triggers by itself.
        WidgetSnapshot zero = base();
        zero.quotes[QStringLiteral("bitcoin")].price = 0;
        QVERIFY(!WidgetSnapshotWriter::shouldReload(WidgetSnapshotWriter::LastReload {zero.writtenAt, zero}, base()));
    }

    // Holdings that come or go reload; their total reloads on a move above 1 %.
    void holdingsReload_data()
    {
        using Holdings = std::optional<WidgetSnapshot::Holdings>;
        QTest::addColumn<Holdings>("before");
        QTest::addColumn<Holdings>("after");
        QTest::addColumn<bool>("reload");
        const auto total = [](double value) { return Holdings(WidgetSnapshot::Holdings {value, 1.0}); };
        QTest::newRow("held at last") << Holdings() << total(1000) << true;
        QTest::newRow("hidden") << total(1000) << Holdings() << true;
        QTest::newRow("1 % more") << total(1000) << total(1010) << false;
        QTest::newRow("more than 1 % less") << total(1000) << total(989.9) << true;
    }

    void holdingsReload()
    {
        using Holdings = std::optional<WidgetSnapshot::Holdings>;
        QFETCH(Holdings, before);
        QFETCH(Holdings, after);
        QFETCH(bool, reload);
        WidgetSnapshot last = base();
        last.holdings = before;
        WidgetSnapshot next = base();
        next.holdings = after;
        QCOMPARE(
            WidgetSnapshotWriter::shouldReload(WidgetSnapshotWriter::LastReload {last.writtenAt, last}, next), reload);
    }

    // Small moves add up: the comparison is with the last reload, not the last write.
    void debouncesWritesAndThrottlesReloads()
    {
        Test::IsolatedXdg xdg;
        Test::FakeClock clock;
        Test::FakeTimerFactory timers(clock);
        const WidgetSnapshotStore store {xdg.cacheHome() + QStringLiteral("/group")};
        int reloads = 0;
        WidgetSnapshotWriter writer(
            store, [&reloads] { ++reloads; }, timers, clock.clock());

        AppSettings settings;
        writer.setCoins({coin(QStringLiteral("bitcoin"), 100)});
        timers.advance(2s);
        QVERIFY2(!store.load(), "nothing is written before both inputs have a value");

        writer.setSettings(settings);
        timers.advance(500ms);
        writer.setCoins({coin(QStringLiteral("bitcoin"), 100.5)});
        timers.advance(999ms);
        QVERIFY(!store.load());
        timers.advance(1ms);
        QCOMPARE(store.load()->quotes.value(QStringLiteral("bitcoin")).price, 100.5);
        QCOMPARE(reloads, 1);

        // +0.6 % twice: each write lands, the second crosses 1 % since the reload.
        const QList<double> prices {101.1, 101.7};
        for (double price : prices) {
            writer.setCoins({coin(QStringLiteral("bitcoin"), price)});
            timers.advance(1s);
            QCOMPARE(store.load()->quotes.value(QStringLiteral("bitcoin")).price, price);
        }
        QCOMPARE(reloads, 2);
        QCOMPARE(writer.lastReload()->snapshot.quotes.value(QStringLiteral("bitcoin")).price, 101.7);
    }

    // Prices every half second never leave a quiet second; the file still follows them.
    void fastPollingStillWrites()
    {
        Test::IsolatedXdg xdg;
        Test::FakeClock clock;
        Test::FakeTimerFactory timers(clock);
        const WidgetSnapshotStore store {xdg.cacheHome() + QStringLiteral("/group")};
        WidgetSnapshotWriter writer(store, nullptr, timers, clock.clock());
        writer.setSettings(AppSettings());
        QList<double> written;
        for (int tick = 1; tick <= 12; ++tick) {
            writer.setCoins({coin(QStringLiteral("bitcoin"), 100 + tick)});
            timers.advance(500ms);
            if (const auto snapshot = store.load()) {
                const double price = snapshot->quotes.value(QStringLiteral("bitcoin")).price;
                if (written.isEmpty() || written.constLast() != price)
                    written.append(price);
            }
        }
        // Every WidgetSnapshotWriter::maxWait, with the newest price of the moment.
        QCOMPARE(written, (QList<double> {104, 108, 112}));
    }

    // The panel front ends default to the coin the tray shows: the displayed
    // one when it has a price, else the first of the list, none in icon mode.
    void panelCoinIsTheTrayItemsCoin_data()
    {
        QTest::addColumn<QString>("displayed");
        QTest::addColumn<MenuBarContent>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the displayed coin") << "ethereum" << MenuBarContent::price << "ethereum";
        QTest::newRow("displayed coin not in the list") << "solana" << MenuBarContent::price << "bitcoin";
        QTest::newRow("icon only") << "ethereum" << MenuBarContent::icon << "";
    }

    void panelCoinIsTheTrayItemsCoin()
    {
        QFETCH(QString, displayed);
        QFETCH(MenuBarContent, content);
        QFETCH(QString, expected);
        Test::IsolatedXdg xdg;
        Test::FakeTimerFactory timers;
        const WidgetSnapshotStore store {xdg.cacheHome() + QStringLiteral("/group")};
        WidgetSnapshotWriter writer(store, {}, timers, systemClock());
        AppSettings settings;
        settings.displayedCoinId = displayed;
        settings.menuBarContent = content;
        writer.runWriteCycle({coin(QStringLiteral("bitcoin"), 1), coin(QStringLiteral("ethereum"), 2)}, settings);
        const auto written = store.load();
        QVERIFY(written);
        QCOMPARE(written->panelCoinId, expected);
    }

    void failedWriteLogsAndRequestsNoReload()
    {
        Test::IsolatedXdg xdg;
        QFile blocker(xdg.cacheHome() + QStringLiteral("/file"));
        QVERIFY(QDir().mkpath(xdg.cacheHome()) && blocker.open(QIODevice::WriteOnly));
        Test::FakeTimerFactory timers;
        int reloads = 0;
        WidgetSnapshotWriter writer(
            WidgetSnapshotStore {blocker.fileName() + QStringLiteral("/group")}, [&reloads] { ++reloads; }, timers,
            systemClock());
        Test::LogCapture log;
        writer.runWriteCycle({coin(QStringLiteral("bitcoin"), 1)}, AppSettings());
        QCOMPARE(reloads, 0);
        QVERIFY(!writer.lastReload());
        const QList<Test::LogRecord> records = log.records(QStringLiteral("Widget"));
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().type, QtCriticalMsg);
        QVERIFY2(records.first().message.startsWith(QStringLiteral("Widget snapshot not written: ")),
            qPrintable(records.first().message));

        // Without a container nothing is written and the reload still follows.
        WidgetSnapshotWriter noContainer(
            WidgetSnapshotStore {}, [&reloads] { ++reloads; }, timers, systemClock());
        noContainer.runWriteCycle({}, AppSettings());
        QCOMPARE(reloads, 1);
    }

    void reloadReachesTheHostAndNeverStartsOne()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.isConnected());
        // No host: the call goes nowhere and nothing is started.
        requestWidgetReload(bus);
        QTest::qWait(50);
        QVERIFY(!bus.interface()->isServiceRegistered(WidgetHostBus::service()));

        FakeWidgetHost host;
        QVERIFY(bus.registerObject(WidgetHostBus::path(), &host, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(WidgetHostBus::service()));
        requestWidgetReload(bus);
        requestWidgetReload(bus);
        QTRY_COMPARE(host.reloads, 2);
    }
};

QTEST_GUILESS_MAIN(TestWidgetSnapshotWriter)
#include "tst_widgetsnapshotwriter.moc"
