// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetkit/priceformatter.h"

#include <QLocale>
#include <QTest>

#include <limits>

using namespace Vantrell;

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

class TestPriceFormatter final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void barePrice_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");

        // Examples everyone relies on.
        QTest::newRow("large value rounds to whole") << 97342.6 << QStringLiteral("97,343");
        QTest::newRow("trailing zero dropped") << 12.5 << QStringLiteral("12.5");
        QTest::newRow("tiny value keeps 4 digits") << 0.000123456 << QStringLiteral("0.0001");
        QTest::newRow("grouped thousands") << 1234.0 << QStringLiteral("1,234");
        QTest::newRow("below 1 rounds to 4 digits") << 0.98765 << QStringLiteral("0.9877");
        QTest::newRow("doge") << 0.38214 << QStringLiteral("0.3821");

        // Boundaries of the digit rule.
        QTest::newRow("exactly 1") << 1.0 << QStringLiteral("1");
        QTest::newRow("exactly 100") << 100.0 << QStringLiteral("100");
        QTest::newRow("just below 100") << 99.994 << QStringLiteral("99.99");
        QTest::newRow("just below 1") << 0.99994 << QStringLiteral("0.9999");
        // The rule is picked before rounding; the carry then gives the next magnitude.
        QTest::newRow("99.995 carries to 100") << 99.995 << QStringLiteral("100");
        QTest::newRow("99.999 carries to 100") << 99.999 << QStringLiteral("100");
        QTest::newRow("0.99995 carries to 1") << 0.99995 << QStringLiteral("1");
        QTest::newRow("999.5 carries into a new group") << 999.5 << QStringLiteral("1,000");
        QTest::newRow("999999.5 carries into a new group") << 999999.5 << QStringLiteral("1,000,000");

        // Half to even on the exact binary value: only true ties go to the even digit.
        QTest::newRow("tie 0.5 at 4 digits kept") << 0.5 << QStringLiteral("0.5");
        QTest::newRow("exact tie 1.125 to even 2") << 1.125 << QStringLiteral("1.12");
        QTest::newRow("exact tie 0.03125 to even 2") << 0.03125 << QStringLiteral("0.0312");
        QTest::newRow("exact tie 0.09375 to even 8") << 0.09375 << QStringLiteral("0.0938");
        QTest::newRow("exact tie 100.5 to even 100") << 100.5 << QStringLiteral("100");
        QTest::newRow("exact tie 101.5 to even 102") << 101.5 << QStringLiteral("102");
        QTest::newRow("2.675 stored below the tie") << 2.675 << QStringLiteral("2.67");
        QTest::newRow("1.015 stored below the tie") << 1.015 << QStringLiteral("1.01");
        QTest::newRow("0.00015 stored below the tie") << 0.00015 << QStringLiteral("0.0001");
        QTest::newRow("2.665 stored above the tie") << 2.665 << QStringLiteral("2.67");
        QTest::newRow("12.345 stored above the tie") << 12.345 << QStringLiteral("12.35");
        QTest::newRow("0.00005 stored above the tie") << 0.00005 << QStringLiteral("0.0001");
        QTest::newRow("0.00025 stored above the tie") << 0.00025 << QStringLiteral("0.0003");
        QTest::newRow("below half rounds to zero") << 0.000049 << QStringLiteral("0");
        QTest::newRow("binary noise hidden") << 0.1 + 0.2 << QStringLiteral("0.3");

        // Extremes.
        QTest::newRow("zero") << 0.0 << QStringLiteral("0");
        QTest::newRow("negative zero") << -0.0 << QStringLiteral("0");
        QTest::newRow("1e-9") << 1e-9 << QStringLiteral("0");
        QTest::newRow("smallest subnormal") << 5e-324 << QStringLiteral("0");
        QTest::newRow("999 ungrouped") << 999.0 << QStringLiteral("999");
        QTest::newRow("1e15") << 1e15 << QStringLiteral("1,000,000,000,000,000");
        QTest::newRow("1e23 as its exact value") << 1e23 << QStringLiteral("99,999,999,999,999,991,611,392");
        QTest::newRow("2^53 + 2") << 9007199254740994.0 << QStringLiteral("9,007,199,254,740,994");

        // Negative values fall under "below 1".
        QTest::newRow("negative small") << -5.5 << QStringLiteral("-5.5");
        QTest::newRow("negative large keeps 4 digits") << -1234.56789 << QStringLiteral("-1,234.5679");
        QTest::newRow("negative rounding to zero has no sign") << -0.00001 << QStringLiteral("0");

        // No number form.
        QTest::newRow("nan") << kNaN << QStringLiteral("nan");
        QTest::newRow("negative nan") << -kNaN << QStringLiteral("nan");
        QTest::newRow("infinity") << kInfinity << QStringLiteral("inf");
        QTest::newRow("negative infinity") << -kInfinity << QStringLiteral("-inf");
    }

    void barePrice()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(formatPrice(value), expected);
    }

    void currencyPrice_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<BaseCurrency>("currency");
        QTest::addColumn<bool>("includeSymbol");
        QTest::addColumn<QString>("expected");

        QTest::newRow("usd below 1 padded to 4") << 0.5 << BaseCurrency::usd << true << QStringLiteral("$0.5000");
        QTest::newRow("eur two digits") << 2.5 << BaseCurrency::eur << true << QStringLiteral("€2.50");
        QTest::newRow("hkd grouped") << 64000.0 << BaseCurrency::hkd << true << QStringLiteral("HK$64,000");
        QTest::newRow("krw without symbol") << 1234.0 << BaseCurrency::krw << false << QStringLiteral("1,234");
        QTest::newRow("five digits kept below 1") << 0.98765 << BaseCurrency::usd << true << QStringLiteral("$0.98765");
        QTest::newRow("six digits at most") << 0.123456789 << BaseCurrency::usd << false << QStringLiteral("0.123457");
        QTest::newRow("tie at 6 digits to even")
            << 0.1234565 << BaseCurrency::usd << false << QStringLiteral("0.123456");
        QTest::newRow("exactly 1") << 1.0 << BaseCurrency::usd << true << QStringLiteral("$1.00");
        QTest::newRow("exactly 100") << 100.0 << BaseCurrency::usd << true << QStringLiteral("$100");
        QTest::newRow("99.999 keeps 2 digits") << 99.999 << BaseCurrency::usd << false << QStringLiteral("100.00");
        QTest::newRow("99.995 keeps 2 digits") << 99.995 << BaseCurrency::usd << false << QStringLiteral("100.00");
        QTest::newRow("0.99995 fits in 6") << 0.99995 << BaseCurrency::usd << false << QStringLiteral("0.99995");
        QTest::newRow("0.9999995 carries, keeps 4")
            << 0.9999995 << BaseCurrency::usd << false << QStringLiteral("1.0000");
        QTest::newRow("2.675 stored below the tie") << 2.675 << BaseCurrency::gbp << true << QStringLiteral("£2.67");
        QTest::newRow("zero") << 0.0 << BaseCurrency::usd << true << QStringLiteral("$0.0000");
        QTest::newRow("negative zero") << -0.0 << BaseCurrency::usd << false << QStringLiteral("0.0000");
        QTest::newRow("1e-9") << 1e-9 << BaseCurrency::usd << false << QStringLiteral("0.0000");
        QTest::newRow("1e-6 survives") << 1e-6 << BaseCurrency::usd << false << QStringLiteral("0.000001");
        QTest::newRow("1e15") << 1e15 << BaseCurrency::jpy << true << QStringLiteral("¥1,000,000,000,000,000");
        QTest::newRow("negative below 1") << -0.5 << BaseCurrency::usd << false << QStringLiteral("-0.5000");
        QTest::newRow("negative large keeps 4 to 6")
            << -1234.5 << BaseCurrency::usd << true << QStringLiteral("$-1,234.5000");
        QTest::newRow("nan keeps the symbol") << kNaN << BaseCurrency::usd << true << QStringLiteral("$nan");
        QTest::newRow("infinity") << kInfinity << BaseCurrency::usd << false << QStringLiteral("inf");
    }

    void currencyPrice()
    {
        QFETCH(double, value);
        QFETCH(BaseCurrency, currency);
        QFETCH(bool, includeSymbol);
        QFETCH(QString, expected);
        QCOMPARE(formatPrice(value, currency, includeSymbol), expected);
    }

    void compactPrice_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("expected");

        QTest::newRow("thousands") << 43714.0 << 3 << QStringLiteral("43.7k");
        QTest::newRow("thousands, two digits keep the magnitude") << 43714.0 << 2 << QStringLiteral("44k");
        QTest::newRow("one thousand digit") << 2238.0 << 3 << QStringLiteral("2.24k");
        QTest::newRow("trailing zeros kept") << 2000.0 << 3 << QStringLiteral("2.00k");
        QTest::newRow("hundreds of thousands") << 437400.0 << 2 << QStringLiteral("437k");
        QTest::newRow("millions") << 1234567.0 << 2 << QStringLiteral("1.2M");
        QTest::newRow("billions") << 9.87e9 << 3 << QStringLiteral("9.87B");
        QTest::newRow("beyond trillions the digits grow") << 1.5e16 << 3 << QStringLiteral("15000T");
        QTest::newRow("hundreds keep every digit") << 437.4 << 2 << QStringLiteral("437");
        QTest::newRow("tens") << 43.71 << 3 << QStringLiteral("43.7");
        QTest::newRow("units") << 2.2449 << 3 << QStringLiteral("2.24");
        QTest::newRow("rounding carries into thousands") << 999.6 << 3 << QStringLiteral("1.00k");
        QTest::newRow("rounding carries into millions") << 999960.0 << 3 << QStringLiteral("1.00M");
        QTest::newRow("carry with two digits") << 99960.0 << 2 << QStringLiteral("100k");
        QTest::newRow("below one, no leading zero") << 0.3821 << 3 << QStringLiteral(".382");
        QTest::newRow("one zero after the point") << 0.08199 << 3 << QStringLiteral(".0820");
        QTest::newRow("rounding carries to a tenth") << 0.09996 << 3 << QStringLiteral(".100");
        QTest::newRow("rounding carries to one") << 0.99996 << 3 << QStringLiteral("1.00");
        QTest::newRow("below 0.01, two digits") << 0.008123 << 3 << QStringLiteral(".0081");
        QTest::newRow("below 0.01 carrying to 0.01") << 0.00999 << 3 << QStringLiteral(".010");
        QTest::newRow("zeros counted from three on") << 0.00001234 << 3
                                                     << QStringLiteral(".0\u2084"
                                                                       "12");
        QTest::newRow("many zeros") << 1.5e-12 << 2
                                    << QStringLiteral(".0\u2081\u2081"
                                                      "15");
        QTest::newRow("zero") << 0.0 << 3 << QStringLiteral("0");
        QTest::newRow("negative") << -43714.0 << 3 << QStringLiteral("-43.7k");
        QTest::newRow("digits clamped") << 43714.0 << 0 << QStringLiteral("44k");
        QTest::newRow("infinite") << kInfinity << 3 << QStringLiteral("inf");
        QTest::newRow("NaN") << kNaN << 3 << QStringLiteral("nan");
    }

    void compactPrice()
    {
        QFETCH(double, value);
        QFETCH(int, digits);
        QFETCH(QString, expected);
        QCOMPARE(formatCompactPrice(value, digits), expected);
    }

    void symbols_data()
    {
        QTest::addColumn<BaseCurrency>("currency");
        QTest::addColumn<QString>("symbol");

        QTest::newRow("USD") << BaseCurrency::usd << QStringLiteral("$");
        QTest::newRow("CNY") << BaseCurrency::cny << QStringLiteral("¥");
        QTest::newRow("KRW") << BaseCurrency::krw << QStringLiteral("₩");
        QTest::newRow("HKD") << BaseCurrency::hkd << QStringLiteral("HK$");
        QTest::newRow("JPY") << BaseCurrency::jpy << QStringLiteral("¥");
        QTest::newRow("TWD") << BaseCurrency::twd << QStringLiteral("NT$");
        QTest::newRow("SGD") << BaseCurrency::sgd << QStringLiteral("$");
        QTest::newRow("MYR") << BaseCurrency::myr << QStringLiteral("RM");
        QTest::newRow("AUD") << BaseCurrency::aud << QStringLiteral("$");
        QTest::newRow("CAD") << BaseCurrency::cad << QStringLiteral("$");
        QTest::newRow("EUR") << BaseCurrency::eur << QStringLiteral("€");
        QTest::newRow("GBP") << BaseCurrency::gbp << QStringLiteral("£");
    }

    void symbols()
    {
        QFETCH(BaseCurrency, currency);
        QFETCH(QString, symbol);
        QCOMPARE(currencySymbol(currency), symbol);
        QCOMPARE(formatPrice(2.5, currency, true), symbol + QStringLiteral("2.50"));
        QCOMPARE(formatPrice(2.5, currency, false), QStringLiteral("2.50"));
    }

    void symbolsCoverEveryCurrency()
    {
        for (const BaseCurrency currency : allCases<BaseCurrency>())
            QVERIFY2(!currencySymbol(currency).isEmpty(), qPrintable(rawValue(currency)));
    }

    void changePercent_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<QString>("signedText");
        QTest::addColumn<QString>("magnitude");

        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("rise") << 2.314 << "+2.31%"
                              << "2.31%";
        QTest::newRow("fall") << -1.27 << "-1.27%"
                              << "1.27%";
        QTest::newRow("zero is a rise") << 0.0 << "+0.00%"
                                        << "0.00%";
        QTest::newRow("negative zero is a rise") << -0.0 << "+0.00%"
                                                 << "0.00%";
        QTest::newRow("tiny fall keeps its sign") << -0.004 << "-0.00%"
                                                  << "0.00%";
        QTest::newRow("tie rounds the exact value") << 2.675 << "+2.67%"
                                                    << "2.67%";
        QTest::newRow("large") << 1234.5 << "+1234.50%"
                               << "1234.50%";
        QTest::newRow("infinite") << inf << ""
                                  << "";
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << ""
                             << "";
    }

    void changePercent()
    {
        QFETCH(double, percent);
        QFETCH(QString, signedText);
        QFETCH(QString, magnitude);
        QCOMPARE(formatChangePercent(percent), signedText);
        QCOMPARE(formatChangeMagnitude(percent), magnitude);
    }

    void ignoresTheUsersLocale()
    {
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString grouped = formatPrice(1234.0);
        const QString bare = formatPrice(12.5);
        const QString withSymbol = formatPrice(0.5, BaseCurrency::eur, true);
        QLocale::setDefault(previous);
        QCOMPARE(grouped, QStringLiteral("1,234"));
        QCOMPARE(bare, QStringLiteral("12.5"));
        QCOMPARE(withSymbol, QStringLiteral("€0.5000"));
    }
};

QTEST_GUILESS_MAIN(TestPriceFormatter)
#include "tst_priceformatter.moc"
