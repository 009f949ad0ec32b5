// SPDX-License-Identifier: GPL-3.0-or-later
// The real overlay window on a real X server (Xvfb, started here): its desktop
// properties, clicks passing through it, and adjust mode saving the new
// corner to the settings file.
#include "coinlist/coinlistviewmodel.h"
#include "fakepriceservice.h"
#include "faketimer.h"
#include "market/coincatalog.h"
#include "overlay/desktopoverlaycontroller.h"
#include "overlay/desktopoverlaywindow.h"
#include "platform/bundle.h"
#include "recordingnotifier.h"
#include "settingsstore/settingsdatastorage.h"
#include "settingsstore/settingsstore.h"
#include "settingsstore/settingsviewmodel.h"
#include "testenvironment.h"
#include "xvfbserver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

using namespace Vantrell;

namespace {

QList<Coin> coins()
{
    QList<Coin> result;
    const QStringList ids {QStringLiteral("bitcoin"), QStringLiteral("ethereum"), QStringLiteral("solana")};
    for (const QString &id : ids) {
        Coin coin;
        coin.id = id;
        coin.symbol = id.left(3).toUpper();
        coin.name = id;
        coin.currentPrice = 100.0;
        coin.priceChange24hPercent = 1.5;
        coin.lastUpdated = QDateTime::currentDateTimeUtc();
        result.append(coin);
    }
    return result;
}

// Runs a command-line X tool and returns what it printed.
QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The window under the pointer at `point`, as X routes clicks (windows whose
// input shape leaves the point out are skipped).
QString windowUnder(QPoint point)
{
    const QString out = run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()),
            QStringLiteral("getmouselocation"), QStringLiteral("--shell")});
    for (const QString &line : out.split(u'\n')) {
        if (line.startsWith(QLatin1String("WINDOW=")))
            return line.mid(7);
    }
    return {};
}

} // namespace

class TestDesktopOverlayWindow final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void passiveOnTheDesktopThenAdjusted()
    {
        Test::IsolatedXdg xdg;
        FileSettingsDataStorage storage;
        UserDefaultsSettingsStore store(storage);
        SettingsViewModel settings(store);
        DesktopOverlayWindow *window = nullptr;
        DesktopOverlayController controller(
            [&window](DesktopOverlayModel &model) {
                auto made = std::make_unique<DesktopOverlayWindow>(model, Bundle::embedded());
                window = made.get();
                return made;
            },
            &availableScreenFrames);

        CoinCatalog catalog(
            {CoinMetadata {QStringLiteral("bitcoin"), QStringLiteral("BTC"), QStringLiteral("Bitcoin")}}, Bundle());
        Test::FakeTimerFactory timers;
        Test::FakePriceService prices;
        Test::RecordingNotifier notifier;
        CoinListViewModel coinList(catalog, settings, prices, notifier, timers, systemClock());
        settings.update([](AppSettings &value) { value.desktopOverlayEnabled = true; });
        controller.bind(coinList, settings);
        controller.apply(coins(), settings.settings());
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->geometry(), QRect(1280 - 24 - 364, 24, 364, 166));

        const QString id = QString::number(window->winId());

        const QString props = run(QStringLiteral("xprop"),
            {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_STATE"), QStringLiteral("_NET_WM_DESKTOP")});
        for (const char *expected : {"_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                 "_NET_WM_STATE_BELOW", "_NET_WM_DESKTOP(CARDINAL) = 4294967295"})
            QVERIFY2(props.contains(QLatin1String(expected)), qPrintable(props));

        // Passive: a click at its middle reaches whatever lies beneath.
        const QPoint middle = window->geometry().center();
        QVERIFY(!windowUnder(middle).isEmpty());
        QVERIFY(windowUnder(middle) != id);

        controller.beginAdjusting();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(QString::number(window->winId()), id);
        QTRY_COMPARE(windowUnder(middle), id);
        const QString adjusting
            = run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_STATE")});
        QVERIFY2(
            adjusting.contains(QLatin1String("_NET_WM_STATE_ABOVE")) && !adjusting.contains(QLatin1String("_BELOW")),
            qPrintable(adjusting));
        QTest::qWait(300);
        const QString shot = QDir::temp().filePath(QStringLiteral("vantrell-overlay-adjusting.png"));
        QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(shot));
        qInfo("adjust mode on screen: %s", qPrintable(shot));

        // Moved by keyboard, 10 pixels with Shift, then Return.
        const QPoint start = window->pos();
        QTest::keyClick(window, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(window, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(window, Qt::Key_Down);
        QTRY_COMPARE(window->pos(), start + QPoint(-20, 1));
        QTest::keyClick(window, Qt::Key_Return);
        QVERIFY(!controller.model().isAdjusting());

        QFile file(QDir(storage.directory()).filePath(QStringLiteral("appSettings.json")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject corner
            = QJsonDocument::fromJson(file.readAll()).object().value(QLatin1String("desktopOverlayTopLeft")).toObject();
        QCOMPARE(corner.value(QLatin1String("x")).toDouble(), double(start.x() - 20));
        QCOMPARE(corner.value(QLatin1String("y")).toDouble(), double(start.y() + 1));
        QTRY_VERIFY(windowUnder(middle) != id);
        QCOMPARE(run(QStringLiteral("xprop"),
                     {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_STATE"), QStringLiteral("_NET_WM_DESKTOP")}),
            props);
    }
};

// A private X server for this test alone; the test decides the screen size.
int main(int argc, char **argv)
{
    const Test::XvfbServer xvfb(QStringLiteral("1280x800x24"));
    if (!xvfb.isRunning()) {
        std::fputs("Xvfb did not start\n", stderr);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    TestDesktopOverlayWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktopoverlaywindow.moc"
