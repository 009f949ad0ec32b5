// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/pricecolors.h"

#include <QTest>

#include <algorithm>
#include <cmath>

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

    void withContrast_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<int>("lightnessMove"); // -1 darker, 0 unchanged, +1 lighter

        const QColor white(Qt::white);
        const QColor breezeLight(0xEF, 0xF0, 0xF1);
        const QColor breezeDark(0x31, 0x36, 0x3B);
        QTest::newRow("rise green on a light panel darkens") << kRiseGreen << breezeLight << 3.0 << -1;
        QTest::newRow("fall red on a light panel is kept at 3:1") << kFallRed << breezeLight << 3.0 << 0;
        QTest::newRow("fall red to text contrast on a light panel darkens") << kFallRed << breezeLight << 4.5 << -1;
        QTest::newRow("rise green to text contrast on white") << kRiseGreen << white << 4.5 << -1;
        QTest::newRow("rise green on a dark panel is kept") << kRiseGreen << breezeDark << 3.0 << 0;
        QTest::newRow("dark blue on a dark panel lightens") << QColor(0x20, 0x30, 0x90) << breezeDark << 4.5 << 1;
        QTest::newRow("fall red on black lightens") << kFallRed << QColor(Qt::black) << 7.0 << 1;
        QTest::newRow("already enough is kept") << QColor(0x10, 0x60, 0x30) << white << 3.0 << 0;
        QTest::newRow("yellow on white goes far") << QColor(Qt::yellow) << white << 4.5 << -1;
        QTest::newRow("grey on mid grey") << QColor(0x80, 0x80, 0x80) << QColor(0x90, 0x90, 0x90) << 3.0 << -1;
    }

    void withContrast()
    {
        QFETCH(QColor, color);
        QFETCH(QColor, background);
        QFETCH(double, minimum);
        QFETCH(int, lightnessMove);
        const QColor adjusted = Vantrell::withContrast(color, background, minimum);
        QVERIFY2(Vantrell::contrastRatio(adjusted, background) >= minimum,
            qPrintable(QStringLiteral("%1 on %2: %3")
                           .arg(Vantrell::hexString(adjusted), Vantrell::hexString(background))
                           .arg(Vantrell::contrastRatio(adjusted, background))));
        // It survives being written as "#RRGGBB".
        QVERIFY(
            Vantrell::contrastRatio(*Vantrell::parseHexColor(Vantrell::hexString(adjusted)), background) >= minimum);
        const int move = adjusted.lightness() - color.lightness();
        QCOMPARE(move > 0 ? 1 : move < 0 ? -1 : 0, lightnessMove);
        if (lightnessMove != 0 && color.hslSaturation() > 0) {
            // Same hue, within the rounding of 8-bit channels.
            QVERIFY2(std::abs(adjusted.hslHue() - color.hslHue()) <= 3,
                qPrintable(QStringLiteral("hue %1 became %2").arg(color.hslHue()).arg(adjusted.hslHue())));
        }
        // Just far enough: a little less would not do.
        if (lightnessMove != 0 && adjusted != QColor(Qt::black) && adjusted != QColor(Qt::white)) {
            const QColor hsl = adjusted.toHsl();
            const QColor nearer = QColor::fromHslF(
                hsl.hslHueF(), hsl.hslSaturationF(), std::clamp(hsl.lightnessF() - lightnessMove * 0.03, 0.0, 1.0));
            QVERIFY(Vantrell::contrastRatio(nearer, background) < minimum);
        }
    }

    void contrastRatio_data()
    {
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("b");
        QTest::addColumn<double>("expected");
        QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
        QTest::newRow("either order") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
        QTest::newRow("same colour") << kRiseGreen << kRiseGreen << 1.0;
        // The figures of a light panel that made the rise colour hard to read.
        QTest::newRow("rise green on white") << kRiseGreen << QColor(Qt::white) << 2.41;
        QTest::newRow("fall red on white") << kFallRed << QColor(Qt::white) << 3.53;
    }

    void contrastRatio()
    {
        QFETCH(QColor, a);
        QFETCH(QColor, b);
        QFETCH(double, expected);
        QVERIFY2(std::abs(Vantrell::contrastRatio(a, b) - expected) < 0.01,
            qPrintable(QString::number(Vantrell::contrastRatio(a, b))));
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
