// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakemarket.h"
#include "fakenotificationserver.h"
#include "fakestatusnotifierwatcher.h"
#include "testenvironment.h"
#include "vantrellprocess.h"

#include <QJsonArray>
#include <QTest>

using namespace Vantrell;
using Node = Test::FakeStatusNotifierWatcher::MenuNode;

namespace {
constexpr int kTimeout = 60000;

constexpr double kBitcoinPrice = 64000.0;
constexpr double kEtherPrice = 3456.78;

// Depth-first: the first entry whose label satisfies `matches`.
const Node *findNode(const Node &node, const std::function<bool(const Node &)> &matches)
{
    if (matches(node))
        return &node;
    for (const Node &child : node.children) {
        if (const Node *found = findNode(child, matches))
            return found;
    }
    return nullptr;
}

const Node *findLabel(const Node &node, const QString &label)
{
    return findNode(node, [&](const Node &n) { return n.label().remove(QLatin1Char('_')) == label; });
}

QJsonObject watchlistEntry(const QString &coinId, const QString &alertKind, double threshold)
{
    return {{QStringLiteral("coinId"), coinId}, {QStringLiteral("alertKind"), alertKind},
        {QStringLiteral("notificationThreshold"), threshold}};
}
} // namespace

// The real program against a fake panel, a fake notification server and a
// fake market, driven as a user would through the panel: one run, step by step.
class TestTrayApp final : public QObject
{
    Q_OBJECT

private:
    Test::IsolatedXdg m_xdg;
    FakeMarket m_market;
    Test::FakeStatusNotifierWatcher m_watcher;
    Test::FakeNotificationServer m_notifications;
    std::unique_ptr<Test::VantrellProcess> m_app;

    // A panel the program does not know gets the square price icon, and the
    // full title in the tooltip.
    QString toolTipTitle() { return m_watcher.itemToolTip().title.trimmed(); }

    std::optional<Node> menu()
    {
        return m_watcher.menuLayout(0, -1,
            {QStringLiteral("label"), QStringLiteral("toggle-type"), QStringLiteral("toggle-state"),
                QStringLiteral("enabled"), QStringLiteral("children-display")});
    }

    int tickerRequests() const
    {
        int count = 0;
        for (const FakeMarketRequest &request : m_market.requests()) {
            if (request.path.contains(QLatin1String("ticker")))
                ++count;
        }
        return count;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_market.listen() != 0);
        m_market.setQuote(QStringLiteral("BTC"), kBitcoinPrice, 1.5);
        m_market.setQuote(QStringLiteral("ETH"), kEtherPrice, -0.75);
        QVERIFY(m_watcher.start());
        QVERIFY(m_notifications.start());

        // Polling every second, and a 2 % change alert on bitcoin only.
        Test::writeAppSettings({
            {QStringLiteral("pollingInterval"), 1.0},
            {QStringLiteral("displayedCoinId"), QStringLiteral("bitcoin")},
            {QStringLiteral("priceChangeNotificationEnabled"), true},
            {QStringLiteral("addedCoins"),
                QJsonArray {watchlistEntry(QStringLiteral("bitcoin"), QStringLiteral("change"), 2.0),
                    watchlistEntry(QStringLiteral("ethereum"), QStringLiteral("notSet"), 0.0)}},
        });

        m_app = std::make_unique<Test::VantrellProcess>(m_market.hostMap());
        m_app->start();
    }

    void cleanup()
    {
        if (QTest::currentTestFailed())
            qWarning().noquote() << "vantrell wrote:\n" << m_app->log();
    }

    void registersWithThePanel()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!m_watcher.registrations().isEmpty(), kTimeout);
        QVERIFY(m_app->isRunning());
        QCOMPARE(m_watcher.itemProperty(QStringLiteral("Status")).toString(), QStringLiteral("Active"));
    }

    void showsTheDisplayedCoinsPrice()
    {
        QTRY_COMPARE_WITH_TIMEOUT(toolTipTitle(), QStringLiteral("BTC 64,000"), kTimeout);
        QCOMPARE(m_watcher.itemProperty(QStringLiteral("XAyatanaLabel")).toString(), QString());
        for (const QImage &icon : m_watcher.itemIconPixmaps())
            QCOMPARE(icon.width(), icon.height());
    }

    void menuListsTheWatchlistWithTheDisplayedCoinChecked()
    {
        const QDBusMessage contextMenu = m_watcher.callItem(QStringLiteral("ContextMenu"), {700, 10});
        QCOMPARE(contextMenu.type(), QDBusMessage::ReplyMessage);

        const std::optional<Node> root = menu();
        QVERIFY(root);
        const Node *change = findLabel(*root, QStringLiteral("Change Coin"));
        QVERIFY(change);
        QCOMPARE(change->properties.value(QStringLiteral("children-display")).toString(), QStringLiteral("submenu"));
        QStringList coins;
        QList<int> states;
        for (const Node &entry : change->children) {
            coins.append(entry.label());
            QCOMPARE(entry.properties.value(QStringLiteral("toggle-type")).toString(), QStringLiteral("radio"));
            states.append(entry.properties.value(QStringLiteral("toggle-state")).toInt());
        }
        QCOMPARE(coins, QStringList({QStringLiteral("BTC - Bitcoin"), QStringLiteral("ETH - Ethereum")}));
        QCOMPARE(states, QList<int>({1, 0}));
        QVERIFY(findLabel(*root, QStringLiteral("Quit Vantrell")));
        QVERIFY(m_app->isRunning());
    }

    void choosingACoinStoresItAndRetitlesTheItem()
    {
        const std::optional<Node> root = menu();
        QVERIFY(root);
        const Node *ether = findLabel(*root, QStringLiteral("ETH - Ethereum"));
        QVERIFY(ether);
        m_watcher.sendMenuEvent(ether->id);

        QTRY_COMPARE_WITH_TIMEOUT(Test::readAppSettings().value(QStringLiteral("displayedCoinId")).toString(),
            QStringLiteral("ethereum"), kTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(toolTipTitle(), QStringLiteral("ETH 3,457"), kTimeout);
        // The rest of the stored settings survive the change.
        QCOMPARE(Test::readAppSettings().value(QStringLiteral("pollingInterval")).toDouble(), 1.0);
        QCOMPARE(Test::readAppSettings().value(QStringLiteral("addedCoins")).toArray().size(), 2);

        // The check mark moves with it.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const std::optional<Node> now = menu();
                const Node *btc = now ? findLabel(*now, QStringLiteral("BTC - Bitcoin")) : nullptr;
                const Node *eth = now ? findLabel(*now, QStringLiteral("ETH - Ethereum")) : nullptr;
                return btc && eth && btc->properties.value(QStringLiteral("toggle-state")).toInt() == 0
                    && eth->properties.value(QStringLiteral("toggle-state")).toInt() == 1;
            }(),
            kTimeout);
    }

    void clickingTheItemTogglesThePopover()
    {
        const qsizetype shown = m_app->countInLog(QStringLiteral("Popover shown"));
        const qsizetype hidden = m_app->countInLog(QStringLiteral("Popover hidden"));
        QCOMPARE(m_watcher.callItem(QStringLiteral("Activate"), {700, 10}).type(), QDBusMessage::ReplyMessage);
        QVERIFY2(m_app->waitForLog(QStringLiteral("Popover shown"), shown + 1), qPrintable(m_app->log()));

        QCOMPARE(m_watcher.callItem(QStringLiteral("Activate"), {700, 10}).type(), QDBusMessage::ReplyMessage);
        QVERIFY2(m_app->waitForLog(QStringLiteral("Popover hidden"), hidden + 1), qPrintable(m_app->log()));
    }

    void aPriceMovePastTheAlertNotifiesOnce()
    {
        QCOMPARE(m_notifications.notifications().size(), 0);
        m_market.setQuote(QStringLiteral("BTC"), kBitcoinPrice * 1.05, 6.5);

        QTRY_COMPARE_WITH_TIMEOUT(m_notifications.notifications().size(), 1, kTimeout);
        const Test::FakeNotificationServer::Notification notification = m_notifications.notifications().constFirst();
        QVERIFY2(notification.summary.contains(QLatin1String("Bitcoin")), qPrintable(notification.summary));
        QVERIFY2(notification.body.contains(QLatin1String("BTC")), qPrintable(notification.body));
        QVERIFY2(notification.body.contains(QLatin1String("5.00%")), qPrintable(notification.body));
        QVERIFY2(notification.body.contains(QLatin1String("67,200")), qPrintable(notification.body));

        // The new price is the new reference: later polls at the same price stay quiet.
        const int polled = tickerRequests();
        QTRY_VERIFY_WITH_TIMEOUT(tickerRequests() >= polled + 3, kTimeout);
        QCOMPARE(m_notifications.notifications().size(), 1);
    }

    void quittingFromTheMenuEndsTheProgram()
    {
        const std::optional<Node> root = menu();
        QVERIFY(root);
        const Node *quit = findLabel(*root, QStringLiteral("Quit Vantrell"));
        QVERIFY(quit);
        m_watcher.sendMenuEvent(quit->id);

        QVERIFY2(m_app->waitForExit(kTimeout), qPrintable(m_app->log()));
        QCOMPARE(m_app->process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_app->process().exitCode(), 0);
        QVERIFY2(!m_app->log().contains(QLatin1String("ERROR: AddressSanitizer")), qPrintable(m_app->log()));
        QVERIFY2(!m_app->log().contains(QLatin1String("runtime error:")), qPrintable(m_app->log()));
    }
};

QTEST_GUILESS_MAIN(TestTrayApp)
#include "tst_trayapp.moc"
