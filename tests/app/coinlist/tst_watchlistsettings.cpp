// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinlist/watchlistsettings.h"
#include "faketimer.h"
#include "watchlistfixtures.h"

#include <QTest>

using namespace Vantrell;
using namespace std::chrono_literals;

using Test::catalog;
using Test::withWatchlist;

class TestWatchlistSettings final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each step: a settings change (or none) then time passing; the reload count after it.
    void reloadDebounce_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("reloads");

        // "c" = currency EUR, "u" = currency USD, "p" = polling 30, "s" = colour scheme, "+N" = N ms pass.
        QTest::newRow("first value never reloads") << QStringList {QStringLiteral("+1000")} << 0;
        QTest::newRow("one change") << QStringList {QStringLiteral("c"), QStringLiteral("+500")} << 1;
        QTest::newRow("not yet quiet") << QStringList {QStringLiteral("c"), QStringLiteral("+499")} << 0;
        QTest::newRow("two changes within the delay")
            << QStringList {QStringLiteral("c"), QStringLiteral("+300"), QStringLiteral("p"), QStringLiteral("+499")}
            << 0;
        QTest::newRow("two changes, one reload")
            << QStringList {QStringLiteral("c"), QStringLiteral("+300"), QStringLiteral("p"), QStringLiteral("+500")}
            << 1;
        QTest::newRow("changed and back still reloads") << QStringList {QStringLiteral("c"), QStringLiteral("+100"),
            QStringLiteral("u"), QStringLiteral("+500")} << 1;
        QTest::newRow("colour scheme restarts nothing")
            << QStringList {QStringLiteral("s"), QStringLiteral("+1000")} << 0;
        QTest::newRow("separate changes")
            << QStringList {QStringLiteral("c"), QStringLiteral("+600"), QStringLiteral("p"), QStringLiteral("+600")}
            << 2;
    }

    void reloadDebounce()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, reloads);
        Test::FakeTimerFactory timers;
        int count = 0;
        ReloadDebouncer debouncer(timers, [&] { ++count; });
        AppSettings settings;
        debouncer.push(settings);
        for (const QString &step : steps) {
            if (step.startsWith(QLatin1Char('+'))) {
                timers.advance(std::chrono::milliseconds(step.mid(1).toInt()));
                continue;
            }
            if (step == QLatin1String("c"))
                settings.baseCurrency = BaseCurrency::eur;
            else if (step == QLatin1String("u"))
                settings.baseCurrency = BaseCurrency::usd;
            else if (step == QLatin1String("p"))
                settings.pollingInterval = 30;
            else if (step == QLatin1String("s"))
                settings.colorScheme = PriceColorScheme::custom;
            debouncer.push(settings);
        }
        QCOMPARE(count, reloads);
    }

    void watchlistRecordsKeepOrder()
    {
        const auto records = watchlistRecords(
            withWatchlist({QStringLiteral("solana"), QStringLiteral("nope"), QStringLiteral("bitcoin")}, {}),
            catalog());
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].id, QStringLiteral("solana"));
        QCOMPARE(records[1].id, QStringLiteral("bitcoin"));
    }
};

QTEST_GUILESS_MAIN(TestWatchlistSettings)
#include "tst_watchlistsettings.moc"
