// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/localizationmanager.h"
#include "platform/bundle.h"
#include "popover/popoverrowtext.h"
#include "popovertestsupport.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace Vantrell;

Q_DECLARE_METATYPE(Vantrell::RowText)
Q_DECLARE_METATYPE(Vantrell::Coin)
Q_DECLARE_METATYPE(Vantrell::AppSettings)
Q_DECLARE_METATYPE(Vantrell::HoldingsTotals)
Q_DECLARE_METATYPE(Vantrell::HoldingsHeader)

namespace {

StringBundle strings(AppLanguage language)
{
    return LocalizationManager::bundle(language, Bundle(QStringLiteral(VANTRELL_BUILD_BUNDLE_DIR)), {});
}

const PriceColor kRise = PriceColor::of(kRiseGreen);
const PriceColor kFall = PriceColor::of(kFallRed);
const PriceColor kNeutral = PriceColor::neutral();

RowText price(const QString &text, PriceColor color)
{
    return {text, RowTextRole::price, color};
}

RowText secondary(const QString &text)
{
    return {text, RowTextRole::secondary, kNeutral};
}

AppSettings settings(bool colors = true, PriceColorScheme scheme = PriceColorScheme::greenUpRedDown,
    BaseCurrency currency = BaseCurrency::usd)
{
    AppSettings settings;
    settings.priceColorEnabled = colors;
    settings.colorScheme = scheme;
    settings.baseCurrency = currency;
    return settings;
}

Coin coin(std::optional<double> currentPrice, std::optional<double> change, CoinStatus status = CoinStatus::active)
{
    return Test::coin(
        QStringLiteral("bitcoin"), QStringLiteral("BTC"), QStringLiteral("Bitcoin"), currentPrice, change, status);
}

} // namespace

class TestPopoverRowText final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { LocalizationManager::shared().setBundle(strings(AppLanguage::en)); }
    void cleanupTestCase() { LocalizationManager::shared().setBundle(StringBundle()); }

    void texts_data()
    {
        QTest::addColumn<Coin>("coin");
        QTest::addColumn<AppSettings>("settings");
        QTest::addColumn<RowText>("priceText");
        QTest::addColumn<RowText>("changeText");

        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();

        QTest::newRow("rise") << coin(97342.6, 1.234) << settings() << price(QStringLiteral("97,343"), kRise)
                              << price(QStringLiteral("+1.23%"), kRise);
        QTest::newRow("no change counts as a rise")
            << coin(12.5, 0.0) << settings() << price(QStringLiteral("12.50"), kRise)
            << price(QStringLiteral("+0.00%"), kRise);
        QTest::newRow("fall of half a percent")
            << coin(0.5, -0.5) << settings() << price(QStringLiteral("0.5000"), kFall)
            << price(QStringLiteral("-0.50%"), kFall);
        QTest::newRow("negative zero shows no double sign")
            << coin(2.0, -0.0) << settings() << price(QStringLiteral("2.00"), kRise)
            << price(QStringLiteral("+0.00%"), kRise);
        QTest::newRow("fall too small for two decimals")
            << coin(2.0, -0.001) << settings() << price(QStringLiteral("2.00"), kFall)
            << price(QStringLiteral("-0.00%"), kFall);
        QTest::newRow("colours off: both neutral")
            << coin(100.0, 3.0) << settings(false) << price(QStringLiteral("100"), kNeutral)
            << price(QStringLiteral("+3.00%"), kNeutral);
        QTest::newRow("colours off, fall: both neutral")
            << coin(100.0, -3.0) << settings(false) << price(QStringLiteral("100"), kNeutral)
            << price(QStringLiteral("-3.00%"), kNeutral);
        QTest::newRow("red for a rise in the red-up scheme")
            << coin(10.0, 2.0) << settings(true, PriceColorScheme::redUpGreenDown)
            << price(QStringLiteral("10.00"), kFall) << price(QStringLiteral("+2.00%"), kFall);
        QTest::newRow("no price yet") << coin(std::nullopt, 2.0) << settings() << secondary(QStringLiteral("--"))
                                      << price(QStringLiteral("+2.00%"), kRise);
        QTest::newRow("no change known: neutral price, no change text")
            << coin(50.0, std::nullopt) << settings() << price(QStringLiteral("50.00"), kNeutral)
            << RowText {QString(), RowTextRole::secondary, kNeutral};
        QTest::newRow("delisted with a stale price keeps the price")
            << coin(1.5, 4.0, CoinStatus::delisted) << settings() << price(QStringLiteral("1.50"), kRise)
            << secondary(QStringLiteral("Delisted"));
        QTest::newRow("migrated without a price")
            << coin(std::nullopt, std::nullopt, CoinStatus::migrated) << settings() << secondary(QStringLiteral("--"))
            << secondary(QStringLiteral("Delisted"));
        QTest::newRow("price not a number") << coin(nan, 1.0) << settings() << secondary(QStringLiteral("--"))
                                            << price(QStringLiteral("+1.00%"), kRise);
        QTest::newRow("infinite change is unknown")
            << coin(3.0, inf) << settings() << price(QStringLiteral("3.00"), kNeutral)
            << RowText {QString(), RowTextRole::secondary, kNeutral};
        QTest::newRow("no currency symbol, grouping kept")
            << coin(64000.0, 1.0) << settings(true, PriceColorScheme::greenUpRedDown, BaseCurrency::hkd)
            << price(QStringLiteral("64,000"), kRise) << price(QStringLiteral("+1.00%"), kRise);
    }

    void texts()
    {
        QFETCH(Coin, coin);
        QFETCH(AppSettings, settings);
        QFETCH(RowText, priceText);
        QFETCH(RowText, changeText);
        QCOMPARE(Vantrell::priceText(coin, settings), priceText);
        QCOMPARE(Vantrell::changeText(coin, settings), changeText);
    }

    void holdingsHeader_data()
    {
        QTest::addColumn<HoldingsTotals>("totals");
        QTest::addColumn<AppSettings>("settings");
        QTest::addColumn<HoldingsHeader>("expected");

        const HoldingsTotals rising {2, 2, 36000, 588.2352941, 2.0, 5000.0, 20.0};
        AppSettings hidden = settings();
        hidden.hideBalances = true;

        QTest::newRow("nothing held") << HoldingsTotals {} << settings() << HoldingsHeader {};
        QTest::newRow("value, today and against cost")
            << rising << settings()
            << HoldingsHeader {true, QStringLiteral("$36,000"), price(QStringLiteral("+$588 (+2.00%) today"), kRise),
                   price(QStringLiteral("+$5,000 (+20.00%) vs. cost"), kRise), QString()};
        QTest::newRow("hidden amounts keep their percentages")
            << rising << hidden
            << HoldingsHeader {true, QStringLiteral("••••"), price(QStringLiteral("•••• (+2.00%) today"), kRise),
                   price(QStringLiteral("•••• (+20.00%) vs. cost"), kRise), QString()};
        QTest::newRow("a fall, red up") << HoldingsTotals {1, 1, 8000, -121.8, -1.5, -2000.0, -20.0}
                                        << settings(true, PriceColorScheme::redUpGreenDown, BaseCurrency::eur)
                                        << HoldingsHeader {true, QStringLiteral("€8,000"),
                                               price(QStringLiteral("-€122 (-1.50%) today"), kRise),
                                               price(QStringLiteral("-€2,000 (-20.00%) vs. cost"), kRise), QString()};
        QTest::newRow("some unpriced, no change, no cost")
            << HoldingsTotals {4, 3, 1234.6} << settings()
            << HoldingsHeader {true, QStringLiteral("$1,235"), {}, {}, QStringLiteral("3 of 4 coins priced")};
        QTest::newRow("none priced") << HoldingsTotals {2, 0, 0} << settings()
                                     << HoldingsHeader {
                                            true, QStringLiteral("--"), {}, {}, QStringLiteral("0 of 2 coins priced")};
    }

    void holdingsHeader()
    {
        QFETCH(HoldingsTotals, totals);
        QFETCH(AppSettings, settings);
        QFETCH(HoldingsHeader, expected);
        QCOMPARE(Vantrell::holdingsHeader(totals, settings), expected);
    }

    void delistedLabelFollowsTheLanguage()
    {
        const Coin delisted = coin(1.0, 1.0, CoinStatus::delisted);
        LocalizationManager::shared().setBundle(strings(AppLanguage::zhHans));
        QCOMPARE(changeText(delisted, settings()).text, QStringLiteral("已下架"));
        LocalizationManager::shared().setBundle(strings(AppLanguage::en));
        QCOMPARE(changeText(delisted, settings()).text, QStringLiteral("Delisted"));
    }
};

QTEST_GUILESS_MAIN(TestPopoverRowText)
#include "tst_popoverrowtext.moc"
