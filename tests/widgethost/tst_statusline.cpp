// SPDX-License-Identifier: GPL-3.0-or-later
// The single-coin widget as one line for status bars, in every format, and
// the panel front ends' own prices while the program does not run.
#include "panelfeed.h"
#include "statusline.h"

#include <QTest>

using namespace Vantrell;

namespace {
const QDateTime kNow(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

WidgetEntryContent content(
    std::optional<double> price, std::optional<double> change, qint64 ageSeconds = 60, bool hasMarket = true)
{
    WidgetEntryContent content;
    content.rows = {{QStringLiteral("bitcoin"), QStringLiteral("BTC"), QStringLiteral("Bitcoin <&>"), std::nullopt,
        hasMarket, price, change}};
    content.updatedAt = kNow.addSecs(-ageSeconds);
    content.language = AppLanguage::en;
    return content;
}
} // namespace

class TestStatusLine final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void line_data()
    {
        QTest::addColumn<WidgetEntryContent>("content");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cssClass");
        QTest::addColumn<int>("percentage");
        QTest::addColumn<QString>("color");

        QTest::newRow("rise") << content(80585, 2.31) << "BTC $80,585 ▲ +2.31%"
                              << "up" << 2 << "#2CBD84";
        QTest::newRow("fall") << content(0.5821, -3.05) << "BTC $0.5821 ▼ -3.05%"
                              << "down" << 3 << "#F6465D";
        QTest::newRow("zero is a rise") << content(10, 0.0) << "BTC $10.00 ▲ +0.00%"
                                        << "up" << 0 << "#2CBD84";
        QTest::newRow("big moves stop at 100") << content(10, 250) << "BTC $10.00 ▲ +250.00%"
                                               << "up" << 100 << "#2CBD84";
        QTest::newRow("no change known") << content(10, std::nullopt) << "BTC $10.00"
                                         << "stale" << 0 << "";
        QTest::newRow("no price") << content(std::nullopt, 1.0) << "BTC —"
                                  << "stale" << 0 << "";
        QTest::newRow("old price keeps its colour") << content(10, 1.0, 1801) << "⚠︎ BTC $10.00 ▲ +1.00%"
                                                    << "stale" << 1 << "#2CBD84";
        QTest::newRow("delisted") << content(10, 1.0, 60, false) << "BTC $10.00 coin.status.delisted"
                                  << "stale" << 0 << "";
        WidgetEntryContent uncoloured = content(10, -1.0);
        uncoloured.colorByChange = false;
        QTest::newRow("colour by change off") << uncoloured << "BTC $10.00 ▼ -1.00%"
                                              << "down" << 1 << "";
        QTest::newRow("no coin") << WidgetEntryContent() << "—"
                                 << "stale" << 0 << "";
    }
    void line()
    {
        QFETCH(WidgetEntryContent, content);
        QFETCH(QString, text);
        QFETCH(QString, cssClass);
        QFETCH(int, percentage);
        QFETCH(QString, color);
        const StatusLine line = makeStatusLine(content, kNow, StringBundle());
        QCOMPARE(line.text, text);
        QCOMPARE(line.cssClass, cssClass);
        QCOMPARE(line.percentage, percentage);
        QCOMPARE(line.color ? line.color->name().toUpper() : QString(), color);
    }

    void formats_data()
    {
        QTest::addColumn<StatusFormat>("format");
        QTest::addColumn<bool>("follow");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("waybar") << StatusFormat::waybar << false
                                << QByteArray(
                                       "{\"class\":\"up\",\"percentage\":2,\"text\":\"BTC $80,585 ▲ "
                                       "+2.31%\",\"tooltip\":\"Bitcoin <&>\\n$80,585\\n▲ +2.31%\\n11:59 AM\"}\n");
        // On a light panel the rise colour is darkened to read as text.
        QTest::newRow("genmon") << StatusFormat::genmon << false
                                << QByteArray(
                                       "<txt><span foreground=\"#1A714F\">BTC $80,585 ▲ "
                                       "+2.31%</span></txt><tool>Bitcoin &lt;&amp;&gt;\n$80,585\n▲ +2.31%\n11:59 "
                                       "AM</tool><txtclick>vantrell vantrell://popover</txtclick>\n");
        QTest::newRow("polybar") << StatusFormat::polybar << false
                                 << QByteArray("%{F#2CBD84}BTC $80,585 ▲ +2.31%%{F-}\n");
        QTest::newRow("i3blocks") << StatusFormat::i3blocks << false
                                  << QByteArray("BTC $80,585 ▲ +2.31%\nBTC $80,585 ▲ +2.31%\n#2CBD84\n");
        QTest::newRow("i3blocks following") << StatusFormat::i3blocks << true << QByteArray("BTC $80,585 ▲ +2.31%\n");
        QTest::newRow("plain") << StatusFormat::plain << true << QByteArray("BTC $80,585 ▲ +2.31%\n");
    }
    void genmonOnADarkPanel()
    {
        const QByteArray out = formatStatusLine(
            StatusFormat::genmon, makeStatusLine(content(80585, 2.31), kNow, StringBundle()), false, true);
        QVERIFY2(out.startsWith("<txt><span foreground=\"#2CBD84\">"), out.constData());
    }

    void themeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("dark");
        QTest::newRow("Adwaita") << "Adwaita" << false;
        QTest::newRow("Adwaita-dark") << "Adwaita-dark" << true;
        QTest::newRow("GTK_THEME variant") << "Adwaita:dark" << true;
        QTest::newRow("Greybird-dark") << "Greybird-dark" << true;
        QTest::newRow("Breeze-Dark") << "Breeze-Dark" << true;
        QTest::newRow("a word with dark inside") << "Darkroom" << false;
        QTest::newRow("empty") << "" << false;
    }

    void themeNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, dark);
        QCOMPARE(themeNameLooksDark(name), dark);
    }

    void formats()
    {
        QFETCH(StatusFormat, format);
        QFETCH(bool, follow);
        QFETCH(QByteArray, expected);
        qputenv("TZ", "UTC");
        const StatusLine line = makeStatusLine(content(80585, 2.31), kNow, StringBundle());
        QCOMPARE(formatStatusLine(format, line, follow), expected);
    }

    void polybarTagsInTextAreDefused()
    {
        StatusLine line;
        line.text = QStringLiteral("A%{F#000}B");
        QCOMPARE(formatStatusLine(StatusFormat::polybar, line, false), QByteArray("A% {F#000}B\n"));
    }

    // The host's file in the program's form: the panel's coin, and stale as
    // soon as the program's would be for prices of that age.
    void panelSnapshot_data()
    {
        QTest::addColumn<WidgetEntryContent>("content");
        QTest::addColumn<QString>("panelCoinId");
        QTest::addColumn<QString>("expectedCoin"); // empty: no file
        QTest::addColumn<QString>("expectedText");

        WidgetEntryContent two = content(80585, 2.31);
        two.rows.append({QStringLiteral("ethereum"), QStringLiteral("ETH"), QStringLiteral("Ethereum"), std::nullopt,
            true, 3932.4, -1.2});
        WidgetEntryContent unpricedFirst = two;
        unpricedFirst.rows[0].price.reset();
        WidgetEntryContent delistedFirst = two;
        delistedFirst.rows[0].hasMarket = false;

        QTest::newRow("the program's coin") << two << "ethereum"
                                            << "ethereum"
                                            << "ETH 3,932";
        QTest::newRow("no such row: the first") << two << "solana"
                                                << "bitcoin"
                                                << "BTC 80,585";
        QTest::newRow("first without a price") << unpricedFirst << ""
                                               << "ethereum"
                                               << "ETH 3,932";
        QTest::newRow("first without a market") << delistedFirst << "bitcoin"
                                                << "ethereum"
                                                << "ETH 3,932";
        QTest::newRow("no prices") << content(std::nullopt, std::nullopt) << ""
                                   << ""
                                   << "";
    }

    void panelSnapshot()
    {
        QFETCH(WidgetEntryContent, content);
        QFETCH(QString, panelCoinId);
        QFETCH(QString, expectedCoin);
        QFETCH(QString, expectedText);

        const auto snapshot = makePanelSnapshot(content, panelCoinId);
        QCOMPARE(snapshot.has_value(), !expectedCoin.isEmpty());
        if (!snapshot)
            return;
        QCOMPARE(snapshot->panelCoinId, expectedCoin);
        QCOMPARE(snapshot->quotes.value(expectedCoin).panel->text, expectedText);
        QVERIFY(!snapshot->holdings);
        // Through the file, as the front ends read it: dated when the prices were obtained.
        const auto decoded = WidgetSnapshot::decode(*snapshot->encode());
        QVERIFY(decoded);
        QCOMPARE(decoded->writtenAt, *content.updatedAt);
        QCOMPARE(programServesPanelUntil(decoded, kNow), content.updatedAt->addSecs(WidgetSnapshot::panelFreshSeconds));
        QCOMPARE(programServesPanelUntil(decoded, kNow.addSecs(WidgetSnapshot::panelFreshSeconds)), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestStatusLine)
#include "tst_statusline.moc"
