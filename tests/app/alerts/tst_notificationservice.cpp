// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/notificationservice.h"
#include "alerts/pricealerttext.h"
#include "fakeclock.h"
#include "fakenotificationserver.h"
#include "i18n/localizationmanager.h"
#include "logcapture.h"
#include "platform/bundle.h"
#include "testenvironment.h"

#include <QDBusArgument>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace Vantrell;

namespace {

StringBundle strings(AppLanguage language)
{
    return LocalizationManager::bundle(language, Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)));
}

Coin coin(const char *id, const char *symbol, const char *name, std::optional<double> price)
{
    Coin result;
    result.id = QString::fromLatin1(id);
    result.symbol = QString::fromLatin1(symbol);
    result.name = QString::fromLatin1(name);
    result.currentPrice = price;
    return result;
}

Coin bitcoin(std::optional<double> price = 55123.4)
{
    return coin("bitcoin", "BTC", "Bitcoin", price);
}

int countMessages(const Test::LogCapture &log, QtMsgType type, const QString &prefix)
{
    int count = 0;
    for (const auto &record : log.records(QStringLiteral("Notifications"))) {
        if (record.type == type && record.message.startsWith(prefix))
            ++count;
    }
    return count;
}

// Listens to ActionInvoked on the bus next to the service.
class ActionWatcher final : public QObject
{
    Q_OBJECT

public:
    ActionWatcher()
    {
        QDBusConnection::sessionBus().connect(QString(), QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"), this,
            SLOT(seen(uint, QString)));
    }

    QStringList actions;

private Q_SLOTS:
    void seen(uint, const QString &action) { actions.append(action); }
};

} // namespace

class TestNotificationService final : public QObject
{
    Q_OBJECT

    Test::IsolatedXdg m_xdg;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The tables must be there, or every row below would compare keys.
        QCOMPARE(strings(AppLanguage::zhHans).language(), QStringLiteral("zh-Hans"));
        QCOMPARE(strings(AppLanguage::zhHant).language(), QStringLiteral("zh-Hant"));
    }

    void init() { LocalizationManager::shared().setBundle(strings(AppLanguage::en)); }

    void text_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<Coin>("coin");
        QTest::addColumn<CoinAlertKind>("kind");
        QTest::addColumn<BaseCurrency>("currency");
        QTest::addColumn<double>("threshold");
        QTest::addColumn<double>("change");
        QTest::addColumn<double>("rate");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");

        const auto en = AppLanguage::en;
        const auto s = [](const char *text) { return QString::fromUtf8(text); };
        QTest::newRow("en above, USD threshold shown in EUR")
            << en << bitcoin() << CoinAlertKind::above << BaseCurrency::eur << 60000.0 << 3.0 << 0.9
            << s("Bitcoin Price Alert") << s("BTC rose above €54,000 — now 55,123");
        QTest::newRow("en below, small threshold in USD")
            << en << coin("dogecoin", "DOGE", "Dogecoin", 0.38209) << CoinAlertKind::below << BaseCurrency::usd << 0.4
            << -4.5 << 1.0 << s("Dogecoin Price Alert") << s("DOGE fell below $0.4000 — now 0.3821");
        QTest::newRow("en below, no rate known: threshold as stored")
            << en << bitcoin(99.5) << CoinAlertKind::below << BaseCurrency::krw << 100.0 << -1.0 << 0.0
            << s("Bitcoin Price Alert") << s("BTC fell below ₩100 — now 99.5");
        QTest::newRow("en change down, rounded to two decimals")
            << en << bitcoin(0.98765) << CoinAlertKind::change << BaseCurrency::usd << 2.0 << -3.456 << 1.0
            << s("Bitcoin Price Alert") << s("BTC is down 3.46% — now 0.9877");
        QTest::newRow("en change of exactly zero counts as up")
            << en << bitcoin(100) << CoinAlertKind::change << BaseCurrency::gbp << 0.0 << 0.0 << 0.8
            << s("Bitcoin Price Alert") << s("BTC is up 0.00% — now 100");
        QTest::newRow("en notSet without a price")
            << en << bitcoin(std::nullopt) << CoinAlertKind::notSet << BaseCurrency::usd << 0.0 << 0.0 << 1.0
            << s("Bitcoin Price Alert") << s("BTC is now --");
        QTest::newRow("zh-Hans above in CNY")
            << AppLanguage::zhHans << bitcoin(720000) << CoinAlertKind::above << BaseCurrency::cny << 100000.0 << 5.0
            << 7.2 << s("Bitcoin 价格提醒") << s("BTC 已涨破 ¥720,000，现价 720,000");
        QTest::newRow("zh-Hans change up")
            << AppLanguage::zhHans << coin("ethereum", "ETH", "Ethereum", 3210.987) << CoinAlertKind::change
            << BaseCurrency::usd << 2.0 << 2.345 << 1.0 << s("Ethereum 价格提醒") << s("ETH 上涨 2.35%，现价 3,211");
        QTest::newRow("zh-Hant below in HKD")
            << AppLanguage::zhHant << bitcoin(499000) << CoinAlertKind::below << BaseCurrency::hkd << 64000.0 << -2.0
            << 7.8 << s("Bitcoin 價格提醒") << s("BTC 已跌破 HK$499,200，現價 499,000");
        QTest::newRow("zh-Hant change down in TWD")
            << AppLanguage::zhHant << bitcoin(12.5) << CoinAlertKind::change << BaseCurrency::twd << 5.0 << -12.0
            << 32.0 << s("Bitcoin 價格提醒") << s("BTC 下跌 12.00%，現價 12.5");
        QTest::newRow("zh-Hant notSet") << AppLanguage::zhHant << bitcoin(1234) << CoinAlertKind::notSet
                                        << BaseCurrency::jpy << 0.0 << 0.0 << 150.0 << s("Bitcoin 價格提醒")
                                        << s("BTC 現價 1,234");
    }

    void text()
    {
        QFETCH(AppLanguage, language);
        QFETCH(Coin, coin);
        QFETCH(CoinAlertKind, kind);
        QFETCH(BaseCurrency, currency);
        QFETCH(double, threshold);
        QFETCH(double, change);
        QFETCH(double, rate);
        QFETCH(QString, title);
        QFETCH(QString, text);

        const PriceAlertText content = priceAlertText(coin, kind, currency, threshold, change, rate, strings(language));
        QCOMPARE(content.title, title);
        QCOMPARE(content.text, text);
    }

    void identifier_data()
    {
        QTest::addColumn<qint64>("msecs");
        QTest::addColumn<QString>("identifier");
        QTest::newRow("with a fraction") << qint64(1733612345678)
                                         << QStringLiteral("price-alert-bitcoin-1733612345.678");
        QTest::newRow("whole second") << qint64(1733612345000) << QStringLiteral("price-alert-bitcoin-1733612345");
        QTest::newRow("one millisecond later")
            << qint64(1733612345001) << QStringLiteral("price-alert-bitcoin-1733612345.001");
    }

    void identifier()
    {
        QFETCH(qint64, msecs);
        QFETCH(QString, identifier);
        QCOMPARE(priceAlertIdentifier(QStringLiteral("bitcoin"), QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC)),
            identifier);
    }

    void deliversThroughTheBus()
    {
        Test::FakeNotificationServer server;
        QVERIFY(server.start());
        Test::FakeClock clock(QDateTime::fromMSecsSinceEpoch(1733612345678, Qt::UTC));
        NotificationService service(QDBusConnection::sessionBus(), clock.clock());
        Test::LogCapture log;

        service.notify(bitcoin(), CoinAlertKind::above, BaseCurrency::eur, 60000, 3, 0.9);
        QTRY_COMPARE(server.notifications().size(), 1);
        const auto sent = server.notifications().constFirst();
        QCOMPARE(sent.appName, QStringLiteral("Vantrell"));
        QCOMPARE(sent.replacesId, 0u);
        QCOMPARE(sent.appIcon, QStringLiteral(VANTRELL_APP_ID));
        QCOMPARE(sent.summary, QStringLiteral("Bitcoin Price Alert"));
        QCOMPARE(sent.body, QString::fromUtf8("BTC rose above €54,000 — now 55,123"));
        QCOMPARE(sent.actions, (QStringList {QStringLiteral("default"), QStringLiteral("Show Prices")}));
        QCOMPARE(sent.hints.value(QStringLiteral("sound-name")).toString(), QStringLiteral("message-new-instant"));
        QCOMPARE(sent.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral(VANTRELL_APP_ID));
        QCOMPARE(sent.expireTimeout, -1);
        QTRY_COMPARE(countMessages(log, QtInfoMsg,
                         QStringLiteral("Delivered price-alert-bitcoin-1733612345.678 as notification 1")),
            1);

        // The current language at the moment of the alert counts.
        LocalizationManager::shared().setBundle(strings(AppLanguage::zhHans));
        clock.advance(0.25);
        service.notify(bitcoin(), CoinAlertKind::above, BaseCurrency::eur, 60000, 3, 0.9);
        QTRY_COMPARE(server.notifications().size(), 2);
        QCOMPARE(server.notifications().at(1).summary, QString::fromUtf8("Bitcoin 价格提醒"));
        QCOMPARE(server.notifications().at(1).actions.at(1), QString::fromUtf8("查看行情"));
        QCOMPARE(server.notifications().at(1).replacesId, 0u);
        QTRY_COMPARE(countMessages(log, QtInfoMsg, QStringLiteral("Delivered price-alert-bitcoin-1733612345.928")), 1);
        QCOMPARE(countMessages(log, QtCriticalMsg, QString()), 0);
    }

    // Where the icon theme lacks the application's icon (a run from the build
    // tree), the icon travels as pixels.
    void iconImageTravelsAsImageData()
    {
        Test::FakeNotificationServer server;
        QVERIFY(server.start());
        NotificationService service(QDBusConnection::sessionBus(), systemClock());
        QImage icon(3, 2, QImage::Format_ARGB32);
        icon.fill(QColor(10, 20, 30, 255));
        icon.setPixelColor(2, 1, QColor(200, 100, 50, 128));
        service.setIconImage(icon);

        service.notify(bitcoin(), CoinAlertKind::above, BaseCurrency::usd, 60000, 3, 1);
        QTRY_COMPARE(server.notifications().size(), 1);
        const QDBusArgument hint
            = server.notifications().constFirst().hints.value(QStringLiteral("image-data")).value<QDBusArgument>();
        QCOMPARE(hint.currentSignature(), QStringLiteral("(iiibiiay)"));
        int width = 0, height = 0, rowStride = 0, bits = 0, channels = 0;
        bool alpha = false;
        QByteArray pixels;
        hint.beginStructure();
        hint >> width >> height >> rowStride >> alpha >> bits >> channels >> pixels;
        hint.endStructure();
        QCOMPARE((QList<int> {width, height, bits, channels}), (QList<int> {3, 2, 8, 4}));
        QVERIFY(alpha);
        QCOMPARE(pixels.size(), rowStride * 2);
        QCOMPARE(pixels.mid(0, 4), QByteArray("\x0a\x14\x1e\xff", 4));
        QCOMPARE(pixels.mid(rowStride + 8, 4), QByteArray("\xc8\x64\x32\x80", 4));

        service.setIconImage(std::nullopt);
        service.notify(bitcoin(), CoinAlertKind::above, BaseCurrency::usd, 60000, 3, 1);
        QTRY_COMPARE(server.notifications().size(), 2);
        QVERIFY(!server.notifications().at(1).hints.contains(QStringLiteral("image-data")));
    }

    void clickOpensPopover_data()
    {
        QTest::addColumn<bool>("ours");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("closedFirst");
        QTest::addColumn<int>("opened");
        QTest::newRow("default action of our notification") << true << QStringLiteral("default") << false << 1;
        QTest::newRow("another action") << true << QStringLiteral("snooze") << false << 0;
        QTest::newRow("another application's notification") << false << QStringLiteral("default") << false << 0;
        QTest::newRow("after it was closed") << true << QStringLiteral("default") << true << 0;
    }

    void clickOpensPopover()
    {
        QFETCH(bool, ours);
        QFETCH(QString, action);
        QFETCH(bool, closedFirst);
        QFETCH(int, opened);

        Test::FakeNotificationServer server;
        QVERIFY(server.start());
        NotificationService service(QDBusConnection::sessionBus(), systemClock());
        QSignalSpy openRequests(&service, &NotificationService::openPopoverRequested);
        ActionWatcher watcher;
        Test::LogCapture log;

        service.notify(bitcoin(), CoinAlertKind::change, BaseCurrency::usd, 2, 2.5, 1);
        // The service learns the server's id from the reply.
        QTRY_COMPARE(countMessages(log, QtInfoMsg, QStringLiteral("Delivered ")), 1);
        QCOMPARE(server.notifications().size(), 1);
        const uint id = ours ? 1u : 77u;
        if (closedFirst)
            server.closeNotification(id);
        server.invokeAction(id, action);
        // Signals arrive in order: once the marker is seen, so has everything before it.
        server.invokeAction(0, QStringLiteral("marker"));
        QTRY_VERIFY(watcher.actions.contains(QStringLiteral("marker")));
        QCOMPARE(openRequests.size(), opened);
    }

    void deliveryFailureIsLogged()
    {
        Test::FakeNotificationServer server;
        QVERIFY(server.start());
        server.setNotifyError(QStringLiteral("org.freedesktop.Notifications.Error.ExcessNotificationGeneration"));
        NotificationService service(QDBusConnection::sessionBus(), systemClock());
        Test::LogCapture log;
        service.notify(bitcoin(), CoinAlertKind::change, BaseCurrency::usd, 2, 2.5, 1);
        QTRY_COMPARE(countMessages(log, QtCriticalMsg, QStringLiteral("Failed to deliver notification: ")), 1);
        QCOMPARE(
            countMessages(log, QtCriticalMsg, QStringLiteral("Failed to deliver notification: refused by the test")),
            1);
        QCOMPARE(countMessages(log, QtInfoMsg, QStringLiteral("Delivered ")), 0);
    }

    void serverCheck_data()
    {
        QTest::addColumn<bool>("serverRuns");
        QTest::newRow("server answers") << true;
        QTest::newRow("no server") << false;
    }

    void serverCheck()
    {
        QFETCH(bool, serverRuns);
        Test::FakeNotificationServer server;
        if (serverRuns)
            QVERIFY(server.start());
        NotificationService service(QDBusConnection::sessionBus(), systemClock());
        Test::LogCapture log;
        service.requestAuthorization();
        if (serverRuns) {
            QTRY_COMPARE(
                countMessages(log, QtInfoMsg, QStringLiteral("Notification server: fake-notification-server")), 1);
            QCOMPARE(server.serverInformationRequests(), 1);
            QCOMPARE(countMessages(log, QtCriticalMsg, QString()), 0);
        } else {
            QTRY_COMPARE(countMessages(log, QtCriticalMsg, QStringLiteral("Notification permission error: ")), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestNotificationService)
#include "tst_notificationservice.moc"
