// SPDX-License-Identifier: GPL-3.0-or-later
#include "../coinlist/watchlistfixtures.h"
#include "tray/statusmenu.h"

#include <QTest>

using namespace Vantrell;

using Test::catalog;
using Test::withWatchlist;

class TestStatusMenu final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void menuMarksTheDisplayedCoinAndSkipsUnknownIds()
    {
        CoinMenuIds ids;
        const AppSettings settings
            = withWatchlist({QStringLiteral("ethereum"), QStringLiteral("unknown-coin"), QStringLiteral("bitcoin")},
                QStringLiteral("bitcoin"));
        const TrayMenu menu = buildStatusMenu(settings, catalog(), {true}, ids);

        const QList<TrayMenuItem> coins = menu.children(MenuIds::changeCoin);
        QCOMPARE(coins.size(), 2);
        QCOMPARE(coins[0].label, QStringLiteral("ETH - Ethereum"));
        QVERIFY(!coins[0].checked);
        QCOMPARE(coins[1].label, QStringLiteral("BTC - Bitcoin"));
        QVERIFY(coins[1].checked);
        QCOMPARE(ids.coinFor(coins[1].id), QStringLiteral("bitcoin"));

        const QList<TrayMenuItem> top = menu.children(TrayMenu::kRootId);
        QStringList shape;
        for (const auto &item : top)
            shape.append(item.kind == TrayMenuItem::Kind::separator ? QStringLiteral("-") : QString::number(item.id));
        QCOMPARE(shape,
            (QStringList {QStringLiteral("1"), QStringLiteral("-"), QStringLiteral("2"), QStringLiteral("3"),
                QStringLiteral("4"), QStringLiteral("-"), QStringLiteral("5")}));
        QVERIFY(menu.item(MenuIds::settings)->enabled);
        QVERIFY(menu.item(MenuIds::checkForUpdates)->enabled);
        QVERIFY(menu.item(MenuIds::quit)->enabled);
        // Titles fall back to their keys without string tables.
        QCOMPARE(menu.item(MenuIds::quit)->label, QStringLiteral("menu.quit"));
    }

    void coinMenuIdsStayStable()
    {
        CoinMenuIds ids;
        const auto before = buildStatusMenu(
            withWatchlist({QStringLiteral("bitcoin"), QStringLiteral("solana")}, {}), catalog(), {}, ids);
        const int solana = ids.idFor(QStringLiteral("solana"));
        buildStatusMenu(withWatchlist({QStringLiteral("solana")}, {}), catalog(), {}, ids);
        QCOMPARE(ids.idFor(QStringLiteral("solana")), solana);
        QVERIFY(!ids.coinFor(MenuIds::quit));
        QVERIFY(!before.item(MenuIds::checkForUpdates)->enabled);
        // A duplicate watchlist entry shows once.
        const auto duplicate = buildStatusMenu(
            withWatchlist({QStringLiteral("solana"), QStringLiteral("solana")}, {}), catalog(), {}, ids);
        QCOMPARE(duplicate.children(MenuIds::changeCoin).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestStatusMenu)
#include "tst_statusmenu.moc"
