// SPDX-License-Identifier: GPL-3.0-or-later
// What a panel front end shows, decided from the two snapshot files, written
// in forms both front ends read, and replaced only when something shown changes.
#include "faketimer.h"
#include "panelview.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Vantrell;
using namespace Vantrell::Test;

namespace {
const QDateTime kNow(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

WidgetSnapshot::PanelText panelText(const QString &symbol, const QString &price, const QString &colour)
{
    WidgetSnapshot::PanelText panel;
    panel.text = symbol + QLatin1Char(' ') + price;
    panel.change = QStringLiteral("▲ +1.00%");
    panel.colorHex = colour;
    panel.colorOnLightHex = colour.isEmpty() ? QString() : QStringLiteral("#1A714F");
    panel.colorOnDarkHex = colour.isEmpty() ? QString() : QStringLiteral("#2CBD84");
    panel.toolTip = symbol.toLower() + QStringLiteral(" name\n$") + price + QStringLiteral("\n11:59 AM");
    panel.staleText = QStringLiteral("⚠︎ ") + symbol + QStringLiteral(" —");
    panel.staleToolTip = symbol.toLower() + QStringLiteral(" name\n⚠︎ stale");
    return panel;
}

// Bitcoin shown, ethereum listed too; written `ageSeconds` before now.
WidgetSnapshot snapshot(qint64 ageSeconds, const char *btcPrice = "68,000", const char *colour = "#2CBD84")
{
    WidgetSnapshot snapshot;
    snapshot.writtenAt = kNow.addSecs(-ageSeconds);
    snapshot.watchlist = {QStringLiteral("bitcoin"), QStringLiteral("ethereum"), QStringLiteral("unpriced")};
    snapshot.quotes.insert(QStringLiteral("bitcoin"),
        {68000, 1.0, panelText(QStringLiteral("BTC"), QString::fromUtf8(btcPrice), QString::fromUtf8(colour)), {}});
    snapshot.quotes.insert(QStringLiteral("ethereum"),
        {3900, 1.0, panelText(QStringLiteral("ETH"), QStringLiteral("3,900"), QString::fromUtf8(colour)), {}});
    snapshot.panelCoinId = QStringLiteral("bitcoin");
    return snapshot;
}

const qint64 kFresh = WidgetSnapshot::panelFreshSeconds;
} // namespace

class TestPanelView final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decide_data()
    {
        QTest::addColumn<std::optional<WidgetSnapshot>>("program");
        QTest::addColumn<std::optional<WidgetSnapshot>>("fallback");
        QTest::addColumn<QString>("coinId");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("toolTipTitle");
        QTest::addColumn<bool>("stale");
        QTest::addColumn<bool>("coloured");
        QTest::addColumn<qint64>("changesInSeconds"); // -1: only a new file changes it

        using Maybe = std::optional<WidgetSnapshot>;
        WidgetSnapshot badColour = snapshot(60);
        badColour.quotes[QStringLiteral("bitcoin")].panel->colorOnDarkHex = QStringLiteral("red; font-size: 90px");

        QTest::newRow("no file") << Maybe() << Maybe() << ""
                                 << "—"
                                 << "Vantrell" << true << false << -1LL;
        QTest::newRow("program fresh") << Maybe(snapshot(60)) << Maybe() << ""
                                       << "BTC 68,000"
                                       << "BTC 68,000" << false << true << kFresh - 60;
        QTest::newRow("program stale at its moment") << Maybe(snapshot(kFresh)) << Maybe() << ""
                                                     << "⚠︎ BTC —"
                                                     << "⚠︎ BTC —" << true << false << -1LL;
        QTest::newRow("stale program, fresh fallback")
            << Maybe(snapshot(kFresh + 60)) << Maybe(snapshot(30, "69,000")) << ""
            << "BTC 69,000"
            << "BTC 69,000" << false << true << kFresh - 30;
        QTest::newRow("both fresh: the later") << Maybe(snapshot(10)) << Maybe(snapshot(30, "69,000")) << ""
                                               << "BTC 68,000"
                                               << "BTC 68,000" << false << true << kFresh - 10;
        QTest::newRow("fallback alone") << Maybe() << Maybe(snapshot(30, "69,000")) << ""
                                        << "BTC 69,000"
                                        << "BTC 69,000" << false << true << kFresh - 30;
        QTest::newRow("a chosen coin") << Maybe(snapshot(60)) << Maybe() << "ethereum"
                                       << "ETH 3,900"
                                       << "ETH 3,900" << false << true << kFresh - 60;
        QTest::newRow("a chosen coin without a price") << Maybe(snapshot(60)) << Maybe() << "unpriced"
                                                       << "—"
                                                       << "Vantrell" << true << false << -1LL;
        QTest::newRow("uncoloured prices") << Maybe(snapshot(60, "68,000", "")) << Maybe() << ""
                                           << "BTC 68,000"
                                           << "BTC 68,000" << false << false << kFresh - 60;
        QTest::newRow("a colour no stylesheet takes") << Maybe(badColour) << Maybe() << ""
                                                      << "BTC 68,000"
                                                      << "BTC 68,000" << false << false << kFresh - 60;
    }

    void decide()
    {
        QFETCH(std::optional<WidgetSnapshot>, program);
        QFETCH(std::optional<WidgetSnapshot>, fallback);
        QFETCH(QString, coinId);
        QFETCH(QString, text);
        QFETCH(QString, toolTipTitle);
        QFETCH(bool, stale);
        QFETCH(bool, coloured);
        QFETCH(qint64, changesInSeconds);

        const PanelViewDecision decision = decidePanelView(program, fallback, coinId, kNow);
        QCOMPARE(decision.view.text, text);
        QCOMPARE(decision.view.toolTipTitle, toolTipTitle);
        QCOMPARE(decision.view.stale, stale);
        QCOMPARE(!decision.view.colorOnDarkHex.isEmpty(), coloured);
        QCOMPARE(!decision.view.colorOnLightHex.isEmpty(), coloured);
        // A stale text comes with no change and the stale tooltip.
        if (stale)
            QVERIFY(decision.view.change.isEmpty() && !decision.view.toolTip.contains(QLatin1Char('$')));
        QCOMPARE(decision.changesAt,
            changesInSeconds < 0 ? std::nullopt : std::optional<QDateTime>(kNow.addSecs(changesInSeconds)));
        if (program || fallback) {
            QCOMPARE(decision.view.coins.size(), 3);
            QCOMPARE(decision.view.coins.at(1),
                (PanelView::Choice {QStringLiteral("ethereum"), QStringLiteral("eth name")}));
            QCOMPARE(decision.view.coins.at(2).name, QStringLiteral("unpriced"));
        }
    }

    // Both forms hold the same view in plain ASCII, whatever the texts.
    void encode()
    {
        PanelView view;
        view.text = QStringLiteral("比特币 \"68,000\" \\ ▲");
        view.toolTip = QStringLiteral("比特幣; 1 = 2\n$68,000 ▲ +1.00%\n下午 3:44 😀");
        view.colorOnDarkHex = QStringLiteral("#2CBD84");
        view.stale = false;
        view.coins = {{QStringLiteral("bitcoin"), QStringLiteral("比特币")}};

        const auto read = [](const QByteArray &json) {
            const QJsonObject object = QJsonDocument::fromJson(json).object();
            PanelView back;
            back.text = object.value(QStringLiteral("text")).toString();
            back.change = object.value(QStringLiteral("change")).toString();
            back.colorOnLightHex = object.value(QStringLiteral("colorOnLight")).toString();
            back.colorOnDarkHex = object.value(QStringLiteral("colorOnDark")).toString();
            back.toolTipTitle = object.value(QStringLiteral("toolTipTitle")).toString();
            back.toolTip = object.value(QStringLiteral("toolTip")).toString();
            back.stale = object.value(QStringLiteral("stale")).toBool(true);
            for (const QJsonValue &coin : object.value(QStringLiteral("coins")).toArray())
                back.coins.append({coin[QStringLiteral("id")].toString(), coin[QStringLiteral("name")].toString()});
            return back;
        };
        const auto ascii = [](const QByteArray &bytes) {
            return std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return c > 0 && c < 0x7F; });
        };

        const QByteArray json = encodePanelView(view, PanelViewFormat::json);
        QVERIFY(ascii(json));
        QCOMPARE(read(json), view);

        QTemporaryDir directory;
        const QString path = directory.filePath(QStringLiteral("view.ini"));
        const QByteArray ini = encodePanelView(view, PanelViewFormat::ini);
        QVERIFY(ascii(ini));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size());
        file.close();
        // As a QML Settings object reads it.
        const QSettings settings(path, QSettings::IniFormat);
        QCOMPARE(settings.status(), QSettings::NoError);
        QCOMPARE(read(settings.value(QStringLiteral("view")).toString().toUtf8()), view);
    }

    // The file is replaced when what it shows changes and only then, and
    // turns stale at its moment with no file replaced.
    void keeper()
    {
        QTemporaryDir directory;
        const WidgetSnapshotStore program {directory.path(), QStringLiteral("widget-snapshot.json")};
        const WidgetSnapshotStore fallback {directory.path(), QStringLiteral("panel-snapshot.json")};
        FakeClock clock(kNow);
        FakeTimerFactory timers(clock);
        // Written now, as the program does.
        const auto written = [&clock](const char *price) {
            WidgetSnapshot written = snapshot(0, price);
            written.writtenAt = clock.now();
            return written;
        };
        QVERIFY(program.write(written("68,000")));

        PanelViewKeeper keeper(program, fallback, QString(), PanelViewFormat::json, clock.clock(), timers);
        keeper.start();
        const QString path = panelViewPath(directory.path(), QString(), PanelViewFormat::json);
        const auto shown = [&path]() {
            QFile file(path);
            return file.open(QIODevice::ReadOnly)
                ? QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("text")).toString()
                : QString();
        };
        const auto inode = [&path]() { return QFileInfo(path).fileTime(QFileDevice::FileMetadataChangeTime); };
        QCOMPARE(shown(), QStringLiteral("BTC 68,000"));

        // A poll that changes no text: the same file stays.
        QTest::qWait(20);
        const QDateTime before = inode();
        clock.advance(30);
        QVERIFY(program.write(written("68,000")));
        QTRY_VERIFY(QFileInfo(program.filePath().value()).lastModified() > before);
        QTest::qWait(100);
        QCOMPARE(inode(), before);

        clock.advance(30);
        QVERIFY(program.write(written("68,100")));
        QTRY_COMPARE(shown(), QStringLiteral("BTC 68,100"));

        // No more writes: stale once the last one is old enough.
        timers.advance(std::chrono::seconds(kFresh - 1));
        QCOMPARE(shown(), QStringLiteral("BTC 68,100"));
        timers.advance(std::chrono::seconds(2));
        QCOMPARE(shown(), QStringLiteral("⚠︎ BTC —"));
    }
};

QTEST_GUILESS_MAIN(TestPanelView)
#include "tst_panelview.moc"
