// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/pricecolors.h"

#include <QTest>

using namespace Vantrell;

class TestPriceColors final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseHexColor_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("expected"); // invalid: no colour

        QTest::newRow("hash, mixed case, blanks") << QStringLiteral("  #00ff7F \n") << QColor(0, 255, 127);
        QTest::newRow("no hash") << QStringLiteral("2CBD84") << QColor(0x2C, 0xBD, 0x84);
        QTest::newRow("black") << QStringLiteral("#000000") << QColor(0, 0, 0);
        QTest::newRow("white") << QStringLiteral("#FFFFFF") << QColor(255, 255, 255);
        QTest::newRow("five digits") << QStringLiteral("#00FF0") << QColor();
        QTest::newRow("seven digits") << QStringLiteral("#00FF000") << QColor();
        QTest::newRow("non-hex digit") << QStringLiteral("#00GG00") << QColor();
        QTest::newRow("empty") << QString() << QColor();
        QTest::newRow("only hash") << QStringLiteral("#") << QColor();
        QTest::newRow("two hashes") << QStringLiteral("##00FF00") << QColor();
        QTest::newRow("sign") << QStringLiteral("+00FF00") << QColor();
        QTest::newRow("inner blank") << QStringLiteral("#00 F00") << QColor();
        QTest::newRow("0x prefix") << QStringLiteral("0x00FF") << QColor();
        QTest::newRow("full-width digits") << QStringLiteral("\uFF10\uFF10FF00") << QColor();
    }

    void parseHexColor()
    {
        QFETCH(QString, text);
        QFETCH(QColor, expected);
        const auto parsed = Vantrell::parseHexColor(text);
        QCOMPARE(parsed.has_value(), expected.isValid());
        if (parsed) {
            QCOMPARE(parsed->rgba(), expected.rgba());
            QCOMPARE(parsed->alpha(), 255);
        }
    }

    void hexString_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QString>("expected");
        QTest::newRow("parsed rise green round-trips")
            << *Vantrell::parseHexColor(QStringLiteral("#2CBD84")) << "#2CBD84";
        QTest::newRow("white") << QColor(Qt::white) << "#FFFFFF";
        QTest::newRow("0.999 truncates to FE") << QColor::fromRgbF(0.999f, 0, 0.5f) << "#FE007F";
        QTest::newRow("from another colour model") << QColor::fromHsv(0, 0, 0) << "#000000";
    }

    void hexString()
    {
        QFETCH(QColor, color);
        QFETCH(QString, expected);
        QCOMPARE(Vantrell::hexString(color), expected);
    }

    void schemeColors_data()
    {
        QTest::addColumn<PriceColorScheme>("scheme");
        QTest::addColumn<QString>("upHex");
        QTest::addColumn<QString>("downHex");
        QTest::addColumn<QColor>("up");
        QTest::addColumn<QColor>("down");

        const QColor green(0x2C, 0xBD, 0x84), red(0xF6, 0x46, 0x5D);
        QTest::newRow("green up") << PriceColorScheme::greenUpRedDown << QStringLiteral("#123456")
                                  << QStringLiteral("#654321") << green << red;
        QTest::newRow("red up ignores custom") << PriceColorScheme::redUpGreenDown << QStringLiteral("#123456")
                                               << QStringLiteral("#654321") << red << green;
        QTest::newRow("custom parsed") << PriceColorScheme::custom << QStringLiteral(" #00ff7F ")
                                       << QStringLiteral("0000FF") << QColor(0, 255, 127) << QColor(0, 0, 255);
        QTest::newRow("custom unparsable falls back")
            << PriceColorScheme::custom << QStringLiteral("#12345") << QString() << green << red;
    }

    void schemeColors()
    {
        QFETCH(PriceColorScheme, scheme);
        QFETCH(QString, upHex);
        QFETCH(QString, downHex);
        QFETCH(QColor, up);
        QFETCH(QColor, down);
        AppSettings s;
        s.colorScheme = scheme;
        s.customUpColorHex = upHex;
        s.customDownColorHex = downHex;
        QCOMPARE(upColor(s).rgba(), up.rgba());
        QCOMPARE(downColor(s).rgba(), down.rgba());
    }

    void colorForChange_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<std::optional<double>>("change");
        QTest::addColumn<QString>("expected"); // "up", "down" or "neutral"

        QTest::newRow("zero is a rise") << true << std::optional<double>(0.0) << QStringLiteral("up");
        QTest::newRow("negative zero is a rise") << true << std::optional<double>(-0.0) << QStringLiteral("up");
        QTest::newRow("small fall") << true << std::optional<double>(-0.01) << QStringLiteral("down");
        QTest::newRow("rise") << true << std::optional<double>(3.5) << QStringLiteral("up");
        QTest::newRow("no change") << true << std::optional<double>() << QStringLiteral("neutral");
        QTest::newRow("colouring off") << false << std::optional<double>(3.5) << QStringLiteral("neutral");
    }

    void colorForChange()
    {
        QFETCH(bool, enabled);
        QFETCH(std::optional<double>, change);
        QFETCH(QString, expected);
        AppSettings s;
        s.priceColorEnabled = enabled;
        const PriceColor color = Vantrell::colorForChange(s, change);
        const QColor neutral(1, 2, 3);
        if (expected == QLatin1String("neutral")) {
            QVERIFY(color.isNeutral());
            QCOMPARE(color.resolved(neutral), neutral);
        } else {
            QCOMPARE(color.resolved(neutral), expected == QLatin1String("up") ? upColor(s) : downColor(s));
        }
    }
};

QTEST_GUILESS_MAIN(TestPriceColors)
#include "tst_pricecolors.moc"
