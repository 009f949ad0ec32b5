// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlist/alertthreshold.h"
#include "watchlist/holdingfield.h"
#include "watchlist/watchlistalertfield.h"

#include <QTest>

using namespace Vantrell;

using OptionalDouble = std::optional<double>;

class TestAlertThreshold final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filterAlertInput_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<CoinAlertKind>("kind");
        QTest::addColumn<QString>("kept");

        QTest::newRow("comma is the point, second point dropped, six digits for change")
            << QStringLiteral("1,234.5678") << CoinAlertKind::change << QStringLiteral("1.234567");
        QTest::newRow("letters and later points dropped")
            << QStringLiteral("12abc.3.4") << CoinAlertKind::above << QStringLiteral("12.34");
        QTest::newRow("eight digits for prices")
            << QStringLiteral("0.1234567891") << CoinAlertKind::below << QStringLiteral("0.12345678");
        QTest::newRow("30 digits keep the first 24")
            << QStringLiteral("123456789012345678901234567890") << CoinAlertKind::above
            << QStringLiteral("123456789012345678901234");
        QTest::newRow("minus, blanks and exponent dropped")
            << QStringLiteral(" -1e5 ") << CoinAlertKind::above << QStringLiteral("15");
    }

    void filterAlertInput()
    {
        QFETCH(QString, typed);
        QFETCH(CoinAlertKind, kind);
        QFETCH(QString, kept);
        QCOMPARE(Vantrell::filterAlertInput(typed, kind), kept);
    }

    void committedAlertValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<CoinAlertKind>("kind");
        QTest::addColumn<OptionalDouble>("value");

        QTest::newRow("change above the range")
            << QStringLiteral("250") << CoinAlertKind::change << OptionalDouble(200);
        QTest::newRow("price of 0 becomes 1") << QStringLiteral("0") << CoinAlertKind::above << OptionalDouble(1);
        QTest::newRow("comma and blanks") << QStringLiteral(" 1,5 ") << CoinAlertKind::above << OptionalDouble(1.5);
        QTest::newRow("trailing point") << QStringLiteral("5.") << CoinAlertKind::above << OptionalDouble(5);
        QTest::newRow("empty reverts") << QString() << CoinAlertKind::above << OptionalDouble();
        QTest::newRow("notSet commits nothing") << QStringLiteral("3") << CoinAlertKind::notSet << OptionalDouble();
    }

    void committedAlertValue()
    {
        QFETCH(QString, text);
        QFETCH(CoinAlertKind, kind);
        QFETCH(OptionalDouble, value);
        QCOMPARE(Vantrell::committedAlertValue(text, kind), value);
    }

    // Choosing a kind: what is stored (USD for prices) and what the field then shows.
    void proposal_data()
    {
        QTest::addColumn<CoinAlertKind>("kind");
        QTest::addColumn<double>("currentThreshold");
        QTest::addColumn<OptionalDouble>("price");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("shown");

        QTest::newRow("above in EUR at 60,000")
            << CoinAlertKind::above << 2.0 << OptionalDouble(60000) << 0.9 << 68000.0 << QStringLiteral("61200");
        QTest::newRow("below a coin priced 0.35")
            << CoinAlertKind::below << 2.0 << OptionalDouble(0.35) << 1.0 << 0.343 << QStringLiteral("0.3430");
        QTest::newRow("rate 0 converts with 1")
            << CoinAlertKind::above << 2.0 << OptionalDouble(50) << 0.0 << 51.0 << QStringLiteral("51.00");
        QTest::newRow("below without a price keeps a positive threshold")
            << CoinAlertKind::below << 300.0 << OptionalDouble() << 1.0 << 300.0 << QStringLiteral("300");
        QTest::newRow("change") << CoinAlertKind::change << 68000.0 << OptionalDouble(10) << 0.9 << 2.0
                                << QStringLiteral("2");
        QTest::newRow("notSet") << CoinAlertKind::notSet << 5.0 << OptionalDouble(10) << 0.9 << 0.0 << QString();
    }

    void proposal()
    {
        QFETCH(CoinAlertKind, kind);
        QFETCH(double, currentThreshold);
        QFETCH(OptionalDouble, price);
        QFETCH(double, rate);
        QFETCH(double, stored);
        QFETCH(QString, shown);

        const double threshold = proposedThreshold(kind, currentThreshold, price, rate);
        QCOMPARE(threshold, stored);
        const double value = displayedThreshold(WatchlistCoin {QStringLiteral("x"), kind, threshold}, rate);
        QCOMPARE(alertFieldText(kind, value, price), shown);
        // What is shown is what would be stored again.
        if (kind != CoinAlertKind::notSet)
            QCOMPARE(storedThreshold(kind, value, rate), stored);
    }

    // The number field across an edit: typed text survives new prices, a bad
    // commit reverts, a good one is written and shown by the magnitude rule.
    void fieldEditing()
    {
        WatchlistAlertField field;
        field.show(CoinAlertKind::above, 61200, 60000);
        QCOMPARE(field.text(), QStringLiteral("61200"));

        QCOMPARE(field.type(QStringLiteral("0,3571x")), QStringLiteral("0.3571"));
        field.show(CoinAlertKind::above, 61300, 60100);
        QCOMPARE(field.text(), QStringLiteral("0.3571"));
        QCOMPARE(field.endEditing(), OptionalDouble(0.3571));
        QCOMPARE(field.text(), QStringLiteral("0")); // priced 60,100: no fraction digits
        QCOMPARE(field.endEditing(), OptionalDouble()); // the focus loss after Return

        field.show(CoinAlertKind::above, 0.3571, 0.35);
        QCOMPARE(field.text(), QStringLiteral("0.3571"));
        field.type(QStringLiteral("."));
        QCOMPARE(field.endEditing(), OptionalDouble());
        QCOMPARE(field.text(), QStringLiteral("0.3571"));
    }

    // The holding and average-cost fields type like the threshold and write
    // on commit: empty removes the value, what does not parse reverts.
    void amountEditing_data()
    {
        QTest::addColumn<bool>("cost");
        QTest::addColumn<OptionalDouble>("price");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<bool>("written");
        QTest::addColumn<OptionalDouble>("value");
        QTest::addColumn<QString>("shown");

        // Each field starts at a holding of 2 coins or a cost of 1,000.
        QTest::newRow("comma as point") << false << OptionalDouble(60000) << QStringLiteral("1,5")
                                        << QStringLiteral("1.5") << true << OptionalDouble(1.5)
                                        << QStringLiteral("1.5");
        QTest::newRow("emptied holding is removed")
            << false << OptionalDouble() << QString() << QString() << true << OptionalDouble() << QString();
        QTest::newRow("a lone point reverts") << false << OptionalDouble() << QStringLiteral(".") << QStringLiteral(".")
                                              << false << OptionalDouble() << QStringLiteral("2");
        QTest::newRow("huge holding is limited")
            << false << OptionalDouble() << QStringLiteral("123456789012345678901234567890")
            << QStringLiteral("123456789012345678901234") << true << OptionalDouble(1e15)
            << QStringLiteral("1000000000000000");
        QTest::newRow("cost by the price's digits")
            << true << OptionalDouble(54000) << QStringLiteral("45000,7") << QStringLiteral("45000.7") << true
            << OptionalDouble(45000.7) << QStringLiteral("45001");
        QTest::newRow("cost of 0 is removed") << true << OptionalDouble(54000) << QStringLiteral("0")
                                              << QStringLiteral("0") << true << OptionalDouble() << QString();
    }

    void amountEditing()
    {
        QFETCH(bool, cost);
        QFETCH(OptionalDouble, price);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(bool, written);
        QFETCH(OptionalDouble, value);
        QFETCH(QString, shown);

        WatchlistAmountField field(
            cost ? WatchlistAmountField::Kind::averageCost : WatchlistAmountField::Kind::holding);
        field.show(cost ? 1000.0 : 2.0, price);
        QCOMPARE(field.type(typed), kept);
        // A new price during the edit leaves the typed text alone.
        field.show(cost ? 1000.0 : 2.0, 1.0);
        QCOMPARE(field.text(), kept);
        field.show(cost ? 1000.0 : 2.0, price);
        const std::optional<AmountEdit> edit = field.endEditing();
        QCOMPARE(edit.has_value(), written);
        if (edit)
            QCOMPARE(edit->value, value);
        QCOMPARE(field.text(), shown);
        QVERIFY(!field.endEditing());
    }
};

QTEST_GUILESS_MAIN(TestAlertThreshold)
#include "tst_alertthreshold.moc"
