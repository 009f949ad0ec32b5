// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/localizationmanager.h"
#include "platform/bundle.h"
#include "popover/coinpopoverview.h"
#include "popover/coinrowview.h"
#include "popover/historychartview.h"
#include "popover/popoverlayout.h"
#include "popovertestsupport.h"
#include "settingsstore/settingsviewmodel.h"
#include "testenvironment.h"
#include "ui/notificationcenter.h"
#include "ui/popoverwidgets.h"
#include "widgetkit/priceformatter.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <memory>

Q_DECLARE_METATYPE(Vantrell::AppLanguage)

using namespace Vantrell;

namespace {

StringBundle strings(AppLanguage language)
{
    return LocalizationManager::bundle(language, Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)), {});
}

// Everything a popover view needs, with the view shown on the offscreen screen.
struct Fixture
{
    Test::MemorySettingsStore store;
    SettingsViewModel settings {store};
    Test::FakeCoinListFeed coins;
    UpdateController updates;
    Test::CountingUpdaterBackend backend;
    AppNotificationCenter notifications;
    CoinPopoverView view {coins, settings, updates, notifications, nullptr};

    explicit Fixture(int coinCount = 3)
    {
        updates.setBackend(&backend);
        updates.refresh();
        coins.setCoins(Test::sampleCoins(coinCount));
        view.show();
    }
    ~Fixture() { updates.setBackend(nullptr); }
};

// The texts a user can see: labels and buttons shown inside `root`.
QStringList visibleTexts(QWidget *root)
{
    QStringList texts;
    const auto widgets = root->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        if (!widget->isVisibleTo(root))
            continue;
        if (auto *label = qobject_cast<QLabel *>(widget); label && !label->text().isEmpty())
            texts << label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(widget); button && !button->text().isEmpty())
            texts << button->text();
    }
    return texts;
}

template<typename T>
T *widgetWithText(QWidget *root, const QString &text)
{
    const auto widgets = root->findChildren<T *>();
    for (T *widget : widgets) {
        if (widget->text() == text)
            return widget;
    }
    return nullptr;
}

QAbstractButton *buttonWithToolTip(QWidget *root, const QString &toolTip)
{
    const auto buttons = root->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (button->toolTip() == toolTip)
            return button;
    }
    return nullptr;
}

bool near(QColor a, QColor b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

// Pixels of `color` in `area` of `image` (glyph cores are fully covered, so
// they carry the text colour itself).
int pixelsOf(const QImage &image, const QRect &area, const QColor &color, int tolerance = 12)
{
    int count = 0;
    const QRect bounded = area.intersected(image.rect());
    for (int y = bounded.top(); y <= bounded.bottom(); ++y) {
        for (int x = bounded.left(); x <= bounded.right(); ++x) {
            if (near(image.pixelColor(x, y), color, tolerance))
                ++count;
        }
    }
    return count;
}

QRect geometryIn(QWidget *widget, QWidget *root)
{
    return QRect(widget->mapTo(root, QPoint(0, 0)), widget->size());
}

QString outputDirectory()
{
    const QString path = QDir::temp().filePath(QStringLiteral("vantrell-popover-views"));
    QDir().mkpath(path);
    return path;
}

} // namespace

class TestCoinPopoverView final : public QObject
{
    Q_OBJECT

private:
    Test::IsolatedXdg m_xdg;

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        LocalizationManager::shared().setBundle(strings(AppLanguage::en));
    }

    void cleanup() { LocalizationManager::shared().setBundle(strings(AppLanguage::en)); }

    void rendersWhatTheUserSees_data()
    {
        QTest::addColumn<int>("coinCount");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<int>("height");
        QTest::addColumn<QStringList>("expectedTexts");
        QTest::addColumn<QStringList>("absentTexts");

        const QStringList chrome {QStringLiteral("Vantrell"), QStringLiteral("Edit Watchlist")};
        const QStringList empty {QStringLiteral("Your watchlist is empty"), QStringLiteral("Add Coins")};
        const QStringList threeCoins {QStringLiteral("Bitcoin"), QStringLiteral("BTC"), QStringLiteral("97,343"),
            QStringLiteral("+2.31%"), QStringLiteral("Ethereum"), QStringLiteral("3,421"), QStringLiteral("-1.50%"),
            QStringLiteral("DOGE"), QStringLiteral("0.38214"), QStringLiteral("+0.00%")};
        const QStringList tenCoins {QStringLiteral("Bitcoin"), QStringLiteral("Toncoin"), QStringLiteral("--"),
            QStringLiteral("Terra Luna Classic"), QStringLiteral("0.000091"), QStringLiteral("Delisted"),
            QStringLiteral("Avalanche"), QStringLiteral("-0.08%")};

        QTest::newRow("empty") << 0 << false << 298 << chrome + empty << QStringList {QStringLiteral("Bitcoin")};
        QTest::newRow("three coins") << 3 << false << 298 << chrome + threeCoins
                                     << empty + QStringList {QStringLiteral("Solana")};
        QTest::newRow("three coins, dark theme") << 3 << true << 298 << chrome + threeCoins << empty;
        // The delisted coin shows its label instead of its change; the eleventh coin is not there.
        QTest::newRow("ten coins") << 10 << false << 506 << chrome + tenCoins
                                   << QStringList {QStringLiteral("-12.40%"), QStringLiteral("Polkadot"),
                                          QStringLiteral("Add Coins")};
    }

    void rendersWhatTheUserSees()
    {
        QFETCH(int, coinCount);
        QFETCH(bool, dark);
        QFETCH(int, height);
        QFETCH(QStringList, expectedTexts);
        QFETCH(QStringList, absentTexts);

        Fixture fixture(coinCount);
        if (dark)
            fixture.view.setPalette(Test::darkPalette());
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.view));
        const QImage image = fixture.view.grab().toImage();
        QCOMPARE(image.size() / image.devicePixelRatio(), QSize(320, height));
        QCOMPARE(fixture.view.size(), QSize(320, height));

        const QStringList texts = visibleTexts(&fixture.view);
        for (const QString &text : std::as_const(expectedTexts))
            QVERIFY2(texts.contains(text), qPrintable(text + QStringLiteral(" missing from ") + texts.join(u'|')));
        for (const QString &text : std::as_const(absentTexts))
            QVERIFY2(!texts.contains(text), qPrintable(text + QStringLiteral(" shown")));

        const QString tag = QString::fromUtf8(QTest::currentDataTag()).remove(u',').replace(u' ', u'-');
        const QString path = QStringLiteral("%1/popover-%2.png").arg(outputDirectory(), tag);
        QVERIFY(image.save(path));
        qInfo("rendered to %s", qPrintable(path));
    }

    // Holdings under the header and under the row prices; hidden, every amount
    // is dots. Rendered in English and Simplified Chinese, light and dark.
    void holdings_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QStringList>("expectedTexts");
        QTest::addColumn<QStringList>("absentTexts");

        const QStringList amounts {QStringLiteral("$55,513"), QStringLiteral("$48,671"), QStringLiteral("$6,842")};
        const QString dots = QStringLiteral("••••");
        QTest::newRow("en-light") << AppLanguage::en << false << false
                                  << amounts + QStringList {QStringLiteral("2 of 3 coins priced")}
                                  << QStringList {dots};
        QTest::newRow("en-dark-hidden") << AppLanguage::en << true << true
                                        << QStringList {dots, QStringLiteral("97,343")} << amounts;
        QTest::newRow("zh-Hans-dark") << AppLanguage::zhHans << true << false
                                      << amounts + QStringList {QStringLiteral("3 个币中 2 个有价格")}
                                      << QStringList {dots};
        QTest::newRow("zh-Hans-light-hidden") << AppLanguage::zhHans << false << true << QStringList {dots} << amounts;
        QTest::newRow("zh-Hant-light") << AppLanguage::zhHant << false << false
                                       << amounts + QStringList {QStringLiteral("3 個幣中 2 個有價格")}
                                       << QStringList {dots};
    }

    void holdings()
    {
        QFETCH(AppLanguage, language);
        QFETCH(bool, dark);
        QFETCH(bool, hidden);
        QFETCH(QStringList, expectedTexts);
        QFETCH(QStringList, absentTexts);
        LocalizationManager::shared().setBundle(strings(language));

        Fixture fixture(3);
        // Bitcoin with its 24 hours, so that its sparkline shares the row with the holding's value.
        QList<Coin> coins = Test::sampleCoins(3);
        for (int i = 0; i < 97; ++i) {
            coins[0].history24h.values.append(90000 + i * 70);
            coins[2].history24h.values.append(0.4 - i * 0.0002);
        }
        fixture.coins.setCoins(coins);
        QVERIFY(fixture.view.holdingsBlock()->isHidden());
        QCOMPARE(fixture.view.size(), QSize(320, 298));
        fixture.settings.update([hidden](AppSettings &s) {
            s.hideBalances = hidden;
            s.watchlistCoins = {{QStringLiteral("bitcoin"), CoinAlertKind::change, 2.0, 0.5, 50000.0},
                {QStringLiteral("ethereum"), CoinAlertKind::change, 2.0, 2.0},
                {QStringLiteral("dogecoin"), CoinAlertKind::change, 2.0},
                {QStringLiteral("solana"), CoinAlertKind::change, 2.0, 3.0}};
        });
        if (dark)
            fixture.view.setPalette(Test::darkPalette());
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.view));
        QVERIFY(fixture.view.holdingsBlock()->isVisible());
        // A held coin's wider price column does not push its sparkline out of line.
        const QList<CoinRowView *> rows = fixture.view.rows();
        QCOMPARE(rows.at(0)->hasChart(), true);
        QCOMPARE(widgetWithText<QLabel>(rows.at(0), QStringLiteral("97,343"))->x(),
            widgetWithText<QLabel>(rows.at(2), QStringLiteral("0.38214"))->x());
        QCOMPARE(fixture.view.size(), QSize(320, 298 + PopoverMetrics::holdingsWithGainHeight));

        const QStringList texts = visibleTexts(&fixture.view);
        for (const QString &text : std::as_const(expectedTexts))
            QVERIFY2(texts.contains(text), qPrintable(text + QStringLiteral(" missing from ") + texts.join(u'|')));
        for (const QString &text : std::as_const(absentTexts))
            QVERIFY2(!texts.join(u'|').contains(text), qPrintable(text + QStringLiteral(" shown")));

        const QString path = QStringLiteral("%1/popover-holdings-%2.png")
                                 .arg(outputDirectory(), QString::fromUtf8(QTest::currentDataTag()));
        QVERIFY(fixture.view.grab().save(path));
        qInfo("rendered to %s", qPrintable(path));

        // The eye in the header flips the setting.
        QTest::mouseClick(fixture.view.hideBalancesButton(), Qt::LeftButton);
        QCOMPARE(fixture.store.stored->hideBalances, !hidden);
    }

    void risingPriceIsDrawnInTheRiseColour()
    {
        Fixture fixture(3);
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.view));
        const QImage image = fixture.view.grab().toImage();
        QLabel *rising = widgetWithText<QLabel>(&fixture.view, QStringLiteral("97,343"));
        QLabel *falling = widgetWithText<QLabel>(&fixture.view, QStringLiteral("-1.50%"));
        QVERIFY(rising && falling);
        QVERIFY(pixelsOf(image, geometryIn(rising, &fixture.view), kRiseGreen) >= 8);
        QCOMPARE(pixelsOf(image, geometryIn(rising, &fixture.view), kFallRed), 0);
        QVERIFY(pixelsOf(image, geometryIn(falling, &fixture.view), kFallRed) >= 4);
    }

    // The view model publishes a change before it stores it: the rows must
    // show the published record, not the one still stored.
    void turningColoursOffRedrawsAtOnce()
    {
        Fixture fixture(3);
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.view));
        fixture.settings.update([](AppSettings &settings) { settings.priceColorEnabled = false; });
        const QImage image = fixture.view.grab().toImage();
        QCOMPARE(pixelsOf(image, image.rect(), kRiseGreen), 0);
        QCOMPARE(pixelsOf(image, image.rect(), kFallRed), 0);
        QLabel *price = widgetWithText<QLabel>(&fixture.view, QStringLiteral("97,343"));
        QVERIFY(price);
        QCOMPARE(price->palette().color(QPalette::WindowText),
            fixture.view.palette().color(QPalette::Active, QPalette::WindowText));
    }

    // A row with history draws its line; a click opens the chart under it,
    // the arrow keys move its readout (skipping gaps), and the chart goes when
    // charts are switched off.
    void chartOpensUnderItsRow()
    {
        Fixture fixture(3);
        QList<Coin> coins = Test::sampleCoins(3);
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QList<double> rising;
        for (int i = 0; i < 97; ++i)
            rising.append(i == 94 ? nan : 90000 + i * 70);
        rising.last() = *coins[0].currentPrice;
        coins[0].history24h.values = rising;
        coins[0].lastUpdated = QDateTime(QDate(2026, 3, 1), QTime(12, 5), Qt::UTC);
        fixture.coins.setCoins(coins);
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.view));
        CoinRowView *row = fixture.view.rows().at(0);
        QVERIFY(row->hasChart());
        QVERIFY(!fixture.view.rows().at(1)->hasChart());
        QVERIFY(pixelsOf(fixture.view.grab().toImage(), geometryIn(row, &fixture.view), kRiseGreen) >= 20);

        QTest::mouseClick(row, Qt::LeftButton);
        HistoryChartView *chart = fixture.view.chart();
        QVERIFY(chart && chart->isVisible());
        QTRY_COMPARE(chart->y(), row->geometry().bottom() + 1);
        QVERIFY2(chart->accessibleDescription().contains(QStringLiteral("High $97,343")),
            qPrintable(chart->accessibleDescription()));
        // Heard as a chart of the coin, like the row's sparkline, not as an empty pane.
        QAccessibleInterface *chartAccess = QAccessible::queryAccessibleInterface(chart);
        QCOMPARE(chartAccess->role(), QAccessible::Chart);
        QCOMPARE(chartAccess->text(QAccessible::Name), QStringLiteral("24-hour chart of ") + coins[0].name);
        QCOMPARE(chartAccess->text(QAccessible::Description), chart->accessibleDescription());
        QAccessibleInterface *rowAccess = QAccessible::queryAccessibleInterface(row);
        QStringList rowCharts;
        for (int i = 0; i < rowAccess->childCount(); ++i) {
            if (rowAccess->child(i)->role() == QAccessible::Chart)
                rowCharts.append(rowAccess->child(i)->text(QAccessible::Name));
        }
        QCOMPARE(rowCharts, QStringList {chartAccess->text(QAccessible::Name)});
        QVERIFY(chart->accessibleDescription().contains(QStringLiteral("Low $90,000")));
        QCOMPARE(chart->pointIndex(), 96);
        QTest::keyClick(chart, Qt::Key_Left);
        QTest::keyClick(chart, Qt::Key_Left);
        QCOMPARE(chart->pointIndex(), 93);
        QTest::keyClick(chart, Qt::Key_Home);
        QCOMPARE(chart->pointIndex(), 0);
        QVERIFY(fixture.view.grab().save(QStringLiteral("%1/popover-chart.png").arg(outputDirectory())));
        // For a look in the other languages and the dark theme.
        fixture.view.setPalette(Test::darkPalette());
        LocalizationManager::shared().setBundle(strings(AppLanguage::zhHant));
        QTest::keyClick(chart, Qt::Key_End);
        QVERIFY(chart->accessibleDescription().contains(QStringLiteral("最高")));
        QVERIFY(fixture.view.grab().save(QStringLiteral("%1/popover-chart-dark-zh-Hant.png").arg(outputDirectory())));

        fixture.settings.update([](AppSettings &settings) { settings.show24hCharts = false; });
        QVERIFY(!fixture.view.chart());
        QVERIFY(!row->hasChart());
    }

    void rowsAreKeptByCoinId()
    {
        Fixture fixture(3);
        const QList<CoinRowView *> before = fixture.view.rows();
        QCOMPARE(before.size(), 3);
        QPointer<CoinRowView> ethereum = before.at(1);

        QList<Coin> updated = Test::sampleCoins(3);
        updated[0].currentPrice = 100000.0;
        fixture.coins.setCoins(updated);
        QCOMPARE(fixture.view.rows(), before);
        QVERIFY(widgetWithText<QLabel>(&fixture.view, QStringLiteral("100,000")));

        fixture.coins.setCoins({updated.at(2), updated.at(0)});
        QCOMPARE(fixture.view.rows(), (QList<CoinRowView *> {before.at(2), before.at(0)}));
        QVERIFY(ethereum.isNull());
        // The layout shows them in the new order.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QVERIFY(before.at(2)->y() < before.at(0)->y());
    }

    void listScrollsWithTheWheelWithoutScrollBars()
    {
        Fixture fixture(10);
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.view));
        QScrollArea *area = fixture.view.scrollArea();
        QVERIFY(!area->verticalScrollBar()->isVisibleTo(&fixture.view));
        QVERIFY(!area->horizontalScrollBar()->isVisibleTo(&fixture.view));
        QVERIFY(area->verticalScrollBar()->maximum() > 0);
        QCOMPARE(area->verticalScrollBar()->value(), 0);

        const QPointF position(100, 100);
        QWheelEvent wheel(position, area->viewport()->mapToGlobal(position), QPoint(), QPoint(0, -120), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(area->viewport(), &wheel);
        QVERIFY(area->verticalScrollBar()->value() > 0);
    }

    void loadingIndicatorShowsWhileFetching()
    {
        Fixture fixture(3);
        auto *indicator = fixture.view.findChild<BusyIndicator *>();
        QVERIFY(indicator);
        QVERIFY(!indicator->isVisibleTo(&fixture.view));
        fixture.coins.setLoading(true);
        QVERIFY(indicator->isVisibleTo(&fixture.view));
        fixture.coins.setLoading(false);
        QVERIFY(!indicator->isVisibleTo(&fixture.view));
    }

    // The refusal is one sentence on a line of its own under the title: whole,
    // wrapped in the popover's width, and the popover grows to keep its rows.
    void refusalSentenceShowsUnderTheTitle_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<QString>("expectedText");

        QTest::newRow("en") << AppLanguage::en << QStringLiteral("The exchanges refuse connections from this network.");
        QTest::newRow("zh-Hans") << AppLanguage::zhHans << QStringLiteral("交易所拒绝来自此网络的连接。");
        QTest::newRow("zh-Hant") << AppLanguage::zhHant << QStringLiteral("交易所拒絕來自此網路的連線。");
    }

    void refusalSentenceShowsUnderTheTitle()
    {
        QFETCH(AppLanguage, language);
        QFETCH(QString, expectedText);

        Fixture fixture(5);
        fixture.settings.update([language](AppSettings &settings) { settings.language = language; });
        LocalizationManager::shared().setBundle(strings(language));
        fixture.coins.setStalePricesSince(QDateTime(QDate(2026, 3, 1), QTime(14, 5, 40)));
        const QSize before = fixture.view.size();
        QLabel *notice = fixture.view.refusedNotice();
        QVERIFY(!notice->isVisibleTo(&fixture.view));

        fixture.coins.setNetworkRefused(true);
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.view));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QVERIFY(notice->isVisibleTo(&fixture.view));
        QCOMPARE(notice->text(), expectedText);
        const QRect area = geometryIn(notice, &fixture.view);
        QVERIFY(area.top() >= PopoverMetrics::headerHeight);
        QVERIFY(area.right() < fixture.view.width());
        QVERIFY(area.height() >= notice->heightForWidth(area.width()));
        QCOMPARE(fixture.view.width(), before.width());
        QCOMPARE(fixture.view.height(), before.height() + area.height());
        // The rows keep their room: the list starts below the sentence.
        QVERIFY(geometryIn(fixture.view.scrollArea(), &fixture.view).top() > area.bottom());

        const QImage image = fixture.view.grab().toImage();
        const QString path = QStringLiteral("%1/popover-refused-%2.png")
                                 .arg(outputDirectory(), QString::fromUtf8(QTest::currentDataTag()));
        QVERIFY(image.save(path));
        qInfo("rendered to %s", qPrintable(path));

        fixture.coins.setNetworkRefused(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QVERIFY(!notice->isVisibleTo(&fixture.view));
        QCOMPARE(fixture.view.size(), before);
    }

    void rowNamesTheExchangeOfItsPrice_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<QString>("expected");

        QTest::newRow("okx") << QStringLiteral("okx") << AppLanguage::en << QStringLiteral("Price from OKX");
        QTest::newRow("coinbase in Chinese")
            << QStringLiteral("coinbase") << AppLanguage::zhHans << QStringLiteral("价格来自 Coinbase Exchange");
        QTest::newRow("kraken") << QStringLiteral("kraken") << AppLanguage::zhHant << QStringLiteral("價格來自 Kraken");
        QTest::newRow("fixed price: none") << QString() << AppLanguage::en << QString();
    }

    void rowNamesTheExchangeOfItsPrice()
    {
        QFETCH(QString, source);
        QFETCH(AppLanguage, language);
        QFETCH(QString, expected);

        Fixture fixture(1);
        LocalizationManager::shared().setBundle(strings(language));
        QList<Coin> coins = fixture.coins.coins();
        coins[0].priceSource = source;
        fixture.coins.setCoins(coins);
        CoinRowView *row = fixture.view.rows().value(0);
        QVERIFY(row);
        QCOMPARE(row->toolTip(), expected);
    }

    void staleWarningShowsTheLastUpdate_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("expectedText");

        for (const bool dark : {false, true}) {
            const char *theme = dark ? "dark" : "light";
            QTest::addRow("en %s", theme) << AppLanguage::en << dark << QStringLiteral("Updated 2:05 PM");
            QTest::addRow("zh-Hans %s", theme) << AppLanguage::zhHans << dark << QStringLiteral("更新于 14:05");
            QTest::addRow("zh-Hant %s", theme) << AppLanguage::zhHant << dark << QStringLiteral("更新於 下午2:05");
        }
    }

    void staleWarningShowsTheLastUpdate()
    {
        QFETCH(AppLanguage, language);
        QFETCH(bool, dark);
        QFETCH(QString, expectedText);

        Fixture fixture(3);
        fixture.settings.update([language](AppSettings &settings) { settings.language = language; });
        LocalizationManager::shared().setBundle(strings(language));
        if (dark)
            fixture.view.setPalette(Test::darkPalette());
        QVERIFY(!fixture.view.staleNotice()->isVisibleTo(&fixture.view));

        // While a fetch runs, as it does when the warning is most likely to be seen.
        fixture.coins.setLoading(true);
        fixture.coins.setStalePricesSince(QDateTime(QDate(2026, 3, 1), QTime(14, 5, 40)));
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.view));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QWidget *notice = fixture.view.staleNotice();
        QVERIFY(notice->isVisibleTo(&fixture.view));
        QCOMPARE(fixture.view.staleNoticeText()->text(), expectedText);
        QVERIFY(notice->toolTip().contains(shortTime(QTime(14, 5), language)));

        // Whole in the header, clear of the title and the loading indicator.
        const QRect area = geometryIn(notice, &fixture.view);
        const QRect text = geometryIn(fixture.view.staleNoticeText(), &fixture.view);
        QVERIFY(text.width() >= fixture.view.staleNoticeText()->sizeHint().width());
        QVERIFY(area.bottom() < PopoverMetrics::headerHeight);
        QLabel *title = widgetWithText<QLabel>(&fixture.view, QStringLiteral("Vantrell"));
        auto *indicator = fixture.view.findChild<BusyIndicator *>();
        QVERIFY(geometryIn(title, &fixture.view).right() < area.left());
        QVERIFY(area.right() < geometryIn(indicator, &fixture.view).left());

        const QImage image = fixture.view.grab().toImage();
        const QColor amber = PopoverColors::fromPalette(fixture.view.palette()).warning;
        QVERIFY(pixelsOf(image, area, amber, 24) >= 10);

        const QString tag = QString::fromUtf8(QTest::currentDataTag()).replace(u' ', u'-');
        const QString path = QStringLiteral("%1/popover-stale-%2.png").arg(outputDirectory(), tag);
        QVERIFY(image.save(path));
        qInfo("rendered to %s", qPrintable(path));

        fixture.coins.setStalePricesSince(std::nullopt);
        QVERIFY(!notice->isVisibleTo(&fixture.view));
    }

    void updateBadgeStartsACheck()
    {
        Fixture fixture(3);
        auto *badge = widgetWithText<QAbstractButton>(&fixture.view, QStringLiteral("Update Available"));
        QVERIFY(badge);
        QVERIFY(!badge->isVisibleTo(&fixture.view));
        fixture.updates.setUpdateAvailable(true);
        QVERIFY(badge->isVisibleTo(&fixture.view));
        QCOMPARE(badge->toolTip(), QStringLiteral("A new version of Vantrell is available. Click to see what’s new."));
        badge->click();
        QCOMPARE(fixture.backend.checks, 1);
        fixture.updates.setUpdateAvailable(false);
        QVERIFY(!badge->isVisibleTo(&fixture.view));
    }

    void buttonsAskTheShellToNavigate_data()
    {
        QTest::addColumn<int>("coinCount");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("tab");
        QTest::newRow("settings") << 3 << QString() << QStringLiteral("Settings") << QStringLiteral("general");
        QTest::newRow("watchlist") << 3 << QStringLiteral("Edit Watchlist")
                                   << QStringLiteral("Add, remove and reorder your coins")
                                   << QStringLiteral("watchlist");
        QTest::newRow("add coins") << 0 << QStringLiteral("Add Coins") << QString() << QStringLiteral("watchlist");
    }

    void buttonsAskTheShellToNavigate()
    {
        QFETCH(int, coinCount);
        QFETCH(QString, button);
        QFETCH(QString, toolTip);
        QFETCH(QString, tab);

        Fixture fixture(coinCount);
        QAbstractButton *target = button.isEmpty() ? buttonWithToolTip(&fixture.view, toolTip)
                                                   : widgetWithText<QAbstractButton>(&fixture.view, button);
        QVERIFY(target);
        QVERIFY(target->isVisibleTo(&fixture.view));
        QCOMPARE(target->toolTip(), toolTip.isEmpty() ? target->toolTip() : toolTip);

        QSignalSpy posted(&fixture.notifications, &AppNotificationCenter::posted);
        QTest::mouseClick(target, Qt::LeftButton);
        QCOMPARE(posted.count(), 1);
        QCOMPARE(posted.at(0).at(0).toString(), QStringLiteral("vantrell.navigate"));
        const QVariantMap userInfo = posted.at(0).at(1).toMap();
        QCOMPARE(userInfo.value(QStringLiteral("tab")).toString(), tab);
        QCOMPARE(rawValue(navigationTab(userInfo)), tab);
    }

    void navigationTabFallsBackToGeneral_data()
    {
        QTest::addColumn<QVariantMap>("userInfo");
        QTest::addColumn<QString>("tab");
        QTest::newRow("watchlist") << QVariantMap {{QStringLiteral("tab"), QStringLiteral("watchlist")}}
                                   << QStringLiteral("watchlist");
        QTest::newRow("about") << QVariantMap {{QStringLiteral("tab"), QStringLiteral("about")}}
                               << QStringLiteral("about");
        QTest::newRow("missing") << QVariantMap() << QStringLiteral("general");
        QTest::newRow("unknown") << QVariantMap {{QStringLiteral("tab"), QStringLiteral("Watchlist")}}
                                 << QStringLiteral("general");
        QTest::newRow("not a string") << QVariantMap {{QStringLiteral("tab"), 1}} << QStringLiteral("general");
    }

    void navigationTabFallsBackToGeneral()
    {
        QFETCH(QVariantMap, userInfo);
        QFETCH(QString, tab);
        QCOMPARE(rawValue(navigationTab(userInfo)), tab);
    }

    void followsTheLanguage()
    {
        Fixture fixture(0);
        fixture.coins.setCoins({Test::coin(QStringLiteral("terra-luna"), QStringLiteral("LUNA"),
            QStringLiteral("Terra Luna Classic"), 0.0001, 1.0, CoinStatus::delisted)});
        LocalizationManager::shared().setBundle(strings(AppLanguage::zhHans));
        QStringList texts = visibleTexts(&fixture.view);
        QVERIFY2(texts.contains(QStringLiteral("编辑自选")), qPrintable(texts.join(u'|')));
        QVERIFY(texts.contains(QStringLiteral("已下架")));
        QVERIFY(buttonWithToolTip(&fixture.view, localizedString(QStringLiteral("popover.quit"))));

        fixture.coins.setCoins({});
        texts = visibleTexts(&fixture.view);
        QVERIFY(texts.contains(QStringLiteral("自选列表还是空的")));
        QVERIFY(texts.contains(QStringLiteral("添加币种")));
    }

    // Last: it runs the application's event loop until the quit button ends it.
    void quitButtonEndsTheApplication()
    {
        Fixture fixture(3);
        QAbstractButton *quit = buttonWithToolTip(&fixture.view, QStringLiteral("Quit Vantrell"));
        QVERIFY(quit);
        QTimer::singleShot(0, quit, &QAbstractButton::click);
        // Only a failure waits for this.
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        guard.start(10000);
        QCOMPARE(QCoreApplication::exec(), 0);
    }
};

QTEST_MAIN(TestCoinPopoverView)
#include "tst_coinpopoverview.moc"
