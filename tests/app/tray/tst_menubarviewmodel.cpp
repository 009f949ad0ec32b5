// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingstatusitem.h"
#include "tray/menubarviewmodel.h"

#include <QTest>

#include <memory>

using namespace Vantrell;
using Vantrell::Test::RecordingStatusItem;

namespace {

const QColor kWhite(Qt::white);
const QColor kBlack(Qt::black);

// "bitcoin=97342.6/2.5, ethereum=, solana=150": id, price (empty: none) and,
// after "/", the 24-hour change. The symbol is the id's first three letters.
QList<Coin> coinsFrom(const QString &description)
{
    QList<Coin> coins;
    for (const QString &entry : description.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList idAndRest = entry.trimmed().split(QLatin1Char('='));
        Coin coin;
        coin.id = idAndRest.at(0);
        coin.symbol = coin.id.left(3).toUpper();
        coin.name = coin.id.at(0).toUpper() + coin.id.mid(1);
        const QStringList priceAndChange = idAndRest.value(1).split(QLatin1Char('/'));
        if (!priceAndChange.at(0).isEmpty())
            coin.currentPrice = priceAndChange.at(0).toDouble();
        if (priceAndChange.size() > 1)
            coin.priceChange24hPercent = priceAndChange.at(1).toDouble();
        coins.append(coin);
    }
    return coins;
}

AppSettings settingsShowing(const QString &displayedCoinId)
{
    AppSettings settings;
    settings.displayedCoinId = displayedCoinId;
    return settings;
}

// An item that is also a QObject, so that the model can notice its end.
class ObjectStatusItem final : public QObject, public RecordingStatusItem
{ };

} // namespace

class TestMenuBarViewModel final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void displayedCoin_data()
    {
        QTest::addColumn<QString>("coins");
        QTest::addColumn<QString>("displayedCoinId");
        QTest::addColumn<bool>("iconMode");
        QTest::addColumn<QString>("expectedId"); // empty: none
        QTest::addColumn<double>("expectedPrice");

        QTest::newRow("displayed id found")
            << QStringLiteral("bitcoin=97000, ethereum=3000") << QStringLiteral("ethereum") << false
            << QStringLiteral("ethereum") << 3000.0;
        QTest::newRow("displayed id missing: first coin")
            << QStringLiteral("dogecoin=0.38, bitcoin=97000") << QStringLiteral("ethereum") << false
            << QStringLiteral("dogecoin") << 0.38;
        QTest::newRow("empty displayed id: first coin") << QStringLiteral("bitcoin=97000, ethereum=3000") << QString()
                                                        << false << QStringLiteral("bitcoin") << 97000.0;
        QTest::newRow("id match is case-sensitive")
            << QStringLiteral("ethereum=3000, bitcoin=97000") << QStringLiteral("Bitcoin") << false
            << QStringLiteral("ethereum") << 3000.0;
        QTest::newRow("duplicate coin: first one")
            << QStringLiteral("bitcoin=1, bitcoin=2") << QStringLiteral("bitcoin") << false << QStringLiteral("bitcoin")
            << 1.0;
        QTest::newRow("price 0 is a price")
            << QStringLiteral("bitcoin=0") << QStringLiteral("bitcoin") << false << QStringLiteral("bitcoin") << 0.0;
        QTest::newRow("displayed coin without price, others priced")
            << QStringLiteral("bitcoin=97000, ethereum=, solana=150") << QStringLiteral("ethereum") << false
            << QString() << 0.0;
        QTest::newRow("fallback coin without price")
            << QStringLiteral("ethereum=, bitcoin=97000") << QStringLiteral("solana") << false << QString() << 0.0;
        QTest::newRow("icon mode hides priced coin")
            << QStringLiteral("bitcoin=97000") << QStringLiteral("bitcoin") << true << QString() << 0.0;
        QTest::newRow("empty list") << QString() << QStringLiteral("bitcoin") << false << QString() << 0.0;
    }

    void displayedCoin()
    {
        QFETCH(QString, coins);
        QFETCH(QString, displayedCoinId);
        QFETCH(bool, iconMode);
        QFETCH(QString, expectedId);
        QFETCH(double, expectedPrice);

        AppSettings settings = settingsShowing(displayedCoinId);
        settings.menuBarContent = iconMode ? MenuBarContent::icon : MenuBarContent::price;
        const std::optional<Coin> coin = MenuBarViewModel::displayedCoin(coinsFrom(coins), settings);
        QCOMPARE(coin.has_value(), !expectedId.isEmpty());
        if (coin) {
            QCOMPARE(coin->id, expectedId);
            QCOMPARE(coin->currentPrice, std::optional<double>(expectedPrice));
        }
    }

    void titlePresentation_data()
    {
        QTest::addColumn<QString>("coins");
        QTest::addColumn<bool>("colorsOn");
        QTest::addColumn<bool>("backgroundOn");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<PriceColorScheme>("scheme");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("plain");
        QTest::addColumn<QColor>("textColor"); // invalid: neutral
        QTest::addColumn<QColor>("background"); // invalid: none
        QTest::addColumn<int>("cornerRadius");

        const auto green = PriceColorScheme::greenUpRedDown;
        const QColor rise(0x2C, 0xBD, 0x84), fall(0xF6, 0x46, 0x5D);
        const QString btcRise = QStringLiteral("bitcoin=97342.6/2.5");
        const QString btcFall = QStringLiteral("bitcoin=97342.6/-0.01");
        const QString btcFlat = QStringLiteral("bitcoin=97342.6/0");
        const QString btcNoChange = QStringLiteral("bitcoin=97342.6");
        const QString title = QStringLiteral("BIT 97,343");
        const QString padded = QStringLiteral(" BIT 97,343 ");

        QTest::newRow("colours, rise") << btcRise << true << false << false << green << title << false << rise
                                       << QColor() << 0;
        QTest::newRow("colours, fall") << btcFall << true << false << true << green << title << false << fall
                                       << QColor() << 0;
        QTest::newRow("colours, change 0 is a rise")
            << btcFlat << true << false << false << green << title << false << rise << QColor() << 0;
        QTest::newRow("colours, no change: neutral")
            << btcNoChange << true << false << false << green << title << false << QColor() << QColor() << 0;
        QTest::newRow("colours, red up scheme") << btcRise << true << false << false << PriceColorScheme::redUpGreenDown
                                                << title << false << fall << QColor() << 0;
        QTest::newRow("colours + background, rise")
            << btcRise << true << true << false << green << padded << false << kWhite << rise << 4;
        QTest::newRow("colours + background, fall, dark")
            << btcFall << true << true << true << green << padded << false << kWhite << fall << 4;
        // No colour to put behind the text: fall back to the appearance's
        // contrast pair rather than white text on the (white) dark label colour.
        QTest::newRow("colours + background, no change, dark")
            << btcNoChange << true << true << true << green << padded << false << kBlack << kWhite << 4;
        QTest::newRow("colours + background, no change, light")
            << btcNoChange << true << true << false << green << padded << false << kWhite << kBlack << 4;
        QTest::newRow("background only, dark")
            << btcRise << false << true << true << green << padded << false << kBlack << kWhite << 4;
        QTest::newRow("background only, light")
            << btcFall << false << true << false << green << padded << false << kWhite << kBlack << 4;
        QTest::newRow("plain") << btcRise << false << false << true << green << title << true << QColor() << QColor()
                               << 0;
        QTest::newRow("small price") << QStringLiteral("dogecoin=0.38214/1") << false << false << false << green
                                     << QStringLiteral("DOG 0.3821") << true << QColor() << QColor() << 0;
        QTest::newRow("price exactly 1") << QStringLiteral("tether=1/0") << false << false << false << green
                                         << QStringLiteral("TET 1") << true << QColor() << QColor() << 0;
    }

    void titlePresentation()
    {
        QFETCH(QString, coins);
        QFETCH(bool, colorsOn);
        QFETCH(bool, backgroundOn);
        QFETCH(bool, dark);
        QFETCH(PriceColorScheme, scheme);
        QFETCH(QString, text);
        QFETCH(bool, plain);
        QFETCH(QColor, textColor);
        QFETCH(QColor, background);
        QFETCH(int, cornerRadius);

        AppSettings settings = settingsShowing(QString());
        settings.priceColorEnabled = colorsOn;
        settings.showMenuBarBackground = backgroundOn;
        settings.colorScheme = scheme;
        const StatusPresentation p = MenuBarViewModel::presentation(coinsFrom(coins), settings, dark);

        QCOMPARE(p.kind, StatusPresentation::Kind::title);
        QCOMPARE(p.text, text);
        QCOMPARE(p.plain, plain);
        QCOMPARE(p.textColor.isNeutral(), !textColor.isValid());
        if (textColor.isValid())
            QCOMPARE(p.textColor.resolved(QColor()).rgba(), textColor.rgba());
        QCOMPARE(p.background.has_value(), background.isValid());
        if (background.isValid())
            QCOMPARE(p.background->rgba(), background.rgba());
        QCOMPARE(p.cornerRadius, cornerRadius);
    }

    void titleCarriesCoinForTooltipAndSquareIcon()
    {
        QList<Coin> coins = coinsFrom(QStringLiteral("bitcoin=97342.6/-3.25"));
        coins[0].symbol = QStringLiteral("BTC");
        coins[0].name = QStringLiteral("Bitcoin");
        const StatusPresentation p = MenuBarViewModel::presentation(coins, settingsShowing(QString()), false);
        QCOMPARE(p.text, QStringLiteral("BTC 97,343"));
        QCOMPARE(p.coinSymbol, QStringLiteral("BTC"));
        QCOMPARE(p.coinName, QStringLiteral("Bitcoin"));
        QCOMPARE(p.change24hPercent, std::optional<double>(-3.25));
        QCOMPARE(p.price, std::optional<double>(97342.6));
    }

    void iconPresentationIsClean_data()
    {
        QTest::addColumn<QString>("coins");
        QTest::addColumn<bool>("iconMode");

        QTest::newRow("icon mode") << QStringLiteral("bitcoin=97000/1") << true;
        QTest::newRow("no price yet") << QStringLiteral("bitcoin=, ethereum=3000/1") << false;
        QTest::newRow("empty watchlist") << QString() << false;
    }

    void iconPresentationIsClean()
    {
        QFETCH(QString, coins);
        QFETCH(bool, iconMode);

        AppSettings settings = settingsShowing(QStringLiteral("bitcoin"));
        settings.menuBarContent = iconMode ? MenuBarContent::icon : MenuBarContent::price;
        settings.showMenuBarBackground = true;
        for (const bool dark : {false, true})
            QCOMPARE(MenuBarViewModel::presentation(coinsFrom(coins), settings, dark), StatusPresentation {});
    }

    void updatePresentsWithTheItemsAppearance()
    {
        RecordingStatusItem item;
        MenuBarViewModel model;
        model.setStatusItem(&item);
        QCOMPARE(model.statusItem(), &item);

        const QList<Coin> coins = coinsFrom(QStringLiteral("bitcoin=97342.6/1"));
        AppSettings settings = settingsShowing(QStringLiteral("bitcoin"));
        settings.priceColorEnabled = false;
        settings.showMenuBarBackground = true;

        item.setDarkAppearance(true);
        model.update(coins, settings);
        item.setDarkAppearance(false);
        model.update(coins, settings);

        QCOMPARE(item.presentations().size(), 2);
        QCOMPARE(item.presentations().at(0), MenuBarViewModel::presentation(coins, settings, true));
        QCOMPARE(item.presentations().at(0).background, std::optional<QColor>(kWhite));
        QCOMPARE(item.presentations().at(1), MenuBarViewModel::presentation(coins, settings, false));
        QCOMPARE(item.presentations().at(1).background, std::optional<QColor>(kBlack));
    }

    void switchingBackToIconClearsTheTitle()
    {
        RecordingStatusItem item;
        MenuBarViewModel model;
        model.setStatusItem(&item);
        const QList<Coin> coins = coinsFrom(QStringLiteral("bitcoin=97342.6/-2"));
        AppSettings settings = settingsShowing(QStringLiteral("bitcoin"));
        settings.showMenuBarBackground = true;

        model.update(coins, settings);
        QCOMPARE(item.last().kind, StatusPresentation::Kind::title);
        QVERIFY(item.last().background.has_value());

        settings.menuBarContent = MenuBarContent::icon;
        model.update(coins, settings);
        QCOMPARE(item.presentations().size(), 2);
        QCOMPARE(item.last(), StatusPresentation {});
    }

    void withoutItemUpdateDoesNothing()
    {
        const QList<Coin> coins = coinsFrom(QStringLiteral("bitcoin=97342.6/1"));
        MenuBarViewModel model;
        model.update(coins, AppSettings());
        QCOMPARE(model.statusItem(), nullptr);

        RecordingStatusItem item;
        model.setStatusItem(&item);
        model.update(coins, AppSettings());
        model.setStatusItem(nullptr);
        model.update(coins, AppSettings());
        QCOMPARE(item.presentations().size(), 1);
    }

    void destroyedItemIsForgotten()
    {
        MenuBarViewModel model;
        auto item = std::make_unique<ObjectStatusItem>();
        model.setStatusItem(item.get());
        model.update(coinsFrom(QStringLiteral("bitcoin=1/1")), AppSettings());
        QCOMPARE(item->presentations().size(), 1);

        item.reset();
        QCOMPARE(model.statusItem(), nullptr);
        // Would touch freed memory if the item were still held.
        model.update(coinsFrom(QStringLiteral("bitcoin=2/1")), AppSettings());
    }
};

QTEST_GUILESS_MAIN(TestMenuBarViewModel)
#include "tst_menubarviewmodel.moc"
