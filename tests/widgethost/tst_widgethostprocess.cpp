// SPDX-License-Identifier: GPL-3.0-or-later
// The real widget host, end to end: on a private bus (dbus-run-session) and
// its own X server (Xvfb, started here), with a snapshot file and a widget
// list. Its windows carry the desktop-layer properties, ReloadAllTimelines
// brings a new render, a second start hands over, and --render draws both
// kinds with the snapshot's prices and colours.
#include "xvfbserver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

// Stands in for the running application: records the links it is asked to open.
class FakeApplication final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    QStringList opened;

public Q_SLOTS:
    void Open(const QStringList &uris, const QVariantMap &) { opened += uris; }
    void Activate(const QVariantMap &) { }
};

namespace {

const QString kService = QStringLiteral("org.vantrell.WidgetHost");

QString run(const QString &program, const QStringList &arguments, int *status = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000))
        return {};
    if (status)
        *status = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QByteArray snapshotJson(double bitcoin, const char *writtenAt)
{
    return QStringLiteral(R"({"writtenAt":"%1","language":"en","currency":"USD","colorByChange":true,)"
                          R"("upColorHex":"#2CBD84","downColorHex":"#F6465D","displayedCoinId":"ethereum",)"
                          R"("watchlist":["bitcoin","ethereum","solana"],)"
                          R"("quotes":{"bitcoin":{"price":%2,"change24hPercent":2.5},)"
                          R"("ethereum":{"price":3142.18,"change24hPercent":-1.27},"solana":{"price":152.4}}})")
        .arg(QString::fromLatin1(writtenAt))
        .arg(bitcoin)
        .toUtf8();
}

// Pixels of `image` inside `area` whose colour is within a few steps of `color`.
int pixelsNear(const QImage &image, const QRect &area, const QColor &color)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 200 && std::abs(pixel.red() - color.red()) < 24
                && std::abs(pixel.green() - color.green()) < 24 && std::abs(pixel.blue() - color.blue()) < 24)
                ++count;
        }
    }
    return count;
}

} // namespace

class TestWidgetHostProcess final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QProcessEnvironment m_environment;

    QByteArray readConfig() const
    {
        QFile config(m_home.filePath(QStringLiteral("config/vantrell-widget-host/widgets.json")));
        return config.open(QIODevice::ReadOnly) ? config.readAll() : QByteArray();
    }

    QString snapshotPath() const { return m_home.filePath(QStringLiteral("cache/vantrell/widget-snapshot.json")); }

    void writeSnapshot(const QByteArray &json)
    {
        QDir().mkpath(QFileInfo(snapshotPath()).absolutePath());
        QFile file(snapshotPath() + QStringLiteral(".new"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(json);
        file.close();
        // Replaced in one step, as the program does: the file is never missing.
        QVERIFY(
            std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(snapshotPath()).constData())
            == 0);
    }

    QProcess *startHost(const QStringList &arguments = {})
    {
        auto *host = new QProcess(this);
        host->setProcessEnvironment(m_environment);
        host->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        host->start(QStringLiteral(VANTRELL_WIDGET_HOST), arguments);
        return host;
    }

    QImage render(const QStringList &arguments, int *status)
    {
        const QString output = m_home.filePath(QStringLiteral("render.png"));
        QFile::remove(output);
        QProcess process;
        process.setProcessEnvironment(m_environment);
        process.start(QStringLiteral(VANTRELL_WIDGET_HOST),
            arguments
                + QStringList {
                    QStringLiteral("--output"), output, QStringLiteral("--appearance"), QStringLiteral("light")});
        process.waitForFinished(30000);
        *status = process.exitCode();
        return QImage(output).convertToFormat(QImage::Format_ARGB32);
    }

    static QStringList widgetWindows()
    {
        return run(QStringLiteral("xdotool"),
            {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^Vantrell Widget$")})
            .split(u'\n', Qt::SkipEmptyParts);
    }

    static QImage grabWindow(const QString &id)
    {
        QProcess process;
        process.start(QStringLiteral("import"), {QStringLiteral("-window"), id, QStringLiteral("png:-")});
        process.waitForFinished(20000);
        return QImage::fromData(process.readAllStandardOutput(), "PNG");
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral("cache")));
        m_environment.insert(QStringLiteral("XDG_STATE_HOME"), m_home.filePath(QStringLiteral("state")));
        m_environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
        m_environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        // Never the internet: every exchange and rate source points at a closed port.
        QStringList map;
        for (const char *host : {"api.binance.com", "data-api.binance.vision", "www.okx.com", "api.bybit.com",
                 "cdn.jsdelivr.net", "latest.currency-api.pages.dev", "open.er-api.com"})
            map.append(QString::fromLatin1(host) + QStringLiteral("=http://127.0.0.1:9"));
        m_environment.insert(QStringLiteral("VANTRELL_HOST_MAP"), map.join(u','));
        const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
        writeSnapshot(snapshotJson(80585, qPrintable(now)));
        const QString config = m_home.filePath(QStringLiteral("config/vantrell-widget-host/widgets.json"));
        QDir().mkpath(QFileInfo(config).absolutePath());
        QFile file(config);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"version":1,"widgets":[
            {"id":"list","kind":"WatchlistWidget","family":"medium","options":{},"x":40,"y":60,"screen":""},
            {"id":"coin","kind":"CoinPriceWidget","family":"small","options":{"coin":"bitcoin"},"x":500,"y":60,"screen":""},
            {"id":"old","kind":"RetiredWidget","family":"small","options":{},"x":0,"y":0,"screen":""}]})");
    }

    void desktopWindows()
    {
        QProcess *host = startHost();
        QVERIFY(host->waitForStarted());
        QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
        QTRY_VERIFY_WITH_TIMEOUT(bus->isServiceRegistered(kService).value(), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(widgetWindows().size(), 2, 20000);

        for (const QString &id : widgetWindows()) {
            const QString props = run(QStringLiteral("xprop"),
                {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_STATE"), QStringLiteral("_NET_WM_DESKTOP")});
            for (const char *state : {"_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                     "_NET_WM_STATE_BELOW"})
                QVERIFY2(props.contains(QLatin1String(state)), qPrintable(props));
            QVERIFY2(props.contains(QLatin1String("_NET_WM_DESKTOP(CARDINAL) = 4294967295")), qPrintable(props));
        }

        // The autostart entry of the host itself, marked as ours.
        const QString autostart
            = m_home.filePath(QStringLiteral("config/autostart/org.vantrell.Vantrell.WidgetHost.desktop"));
        QTRY_VERIFY(QFile::exists(autostart));

        // A new snapshot and a reload call: the coin widget draws the new price.
        QString coinWindow;
        for (const QString &id : widgetWindows()) {
            const QString geometry = run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), id});
            if (geometry.contains(QLatin1String("170x170")))
                coinWindow = id;
        }
        QVERIFY(!coinWindow.isEmpty());
        QTest::qWait(500);
        const QImage before = grabWindow(coinWindow);
        QVERIFY(!before.isNull());
        writeSnapshot(snapshotJson(12.5, qPrintable(QDateTime::currentDateTimeUtc().toString(Qt::ISODate))));
        for (int i = 0; i < 5; ++i) {
            QDBusMessage call = QDBusMessage::createMethodCall(
                kService, QStringLiteral("/org/vantrell/WidgetHost"), kService, QStringLiteral("ReloadAllTimelines"));
            QDBusConnection::sessionBus().send(call);
        }
        QTRY_VERIFY_WITH_TIMEOUT(grabWindow(coinWindow) != before, 10000);

        // A click opens the popover of the running application.
        FakeApplication application;
        QDBusConnection bus2 = QDBusConnection::sessionBus();
        QVERIFY(bus2.registerObject(
            QStringLiteral("/org/vantrell/Vantrell"), &application, QDBusConnection::ExportAllSlots));
        QVERIFY(bus2.registerService(QStringLiteral("org.vantrell.Vantrell")));
        run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("585"), QStringLiteral("145"), QStringLiteral("click"),
                QStringLiteral("1")});
        QTRY_COMPARE_WITH_TIMEOUT(application.opened, QStringList {QStringLiteral("vantrell://popover")}, 10000);
        // A drag moves the widget instead, and the new place is saved.
        run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("585"), QStringLiteral("145"), QStringLiteral("mousedown"),
                QStringLiteral("1"), QStringLiteral("mousemove"), QStringLiteral("600"), QStringLiteral("160"),
                QStringLiteral("mousemove"), QStringLiteral("685"), QStringLiteral("345"), QStringLiteral("mouseup"),
                QStringLiteral("1")});
        QTRY_VERIFY_WITH_TIMEOUT(readConfig().contains("\"x\": 600"), 10000);
        QCOMPARE(application.opened.size(), 1);
        bus2.unregisterService(QStringLiteral("org.vantrell.Vantrell"));

        // A second start hands over to the first and ends at once.
        QProcess *second = startHost();
        QVERIFY(second->waitForFinished(20000));
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(host->state(), QProcess::Running);

        host->terminate();
        QVERIFY(host->waitForFinished(10000));
        // The widget of an unknown kind was kept in the list.
        QVERIFY(readConfig().contains("RetiredWidget"));
    }

    void renderBothKinds()
    {
        writeSnapshot(snapshotJson(80585, qPrintable(QDateTime::currentDateTimeUtc().toString(Qt::ISODate))));
        int status = -1;
        const QImage list = render({QStringLiteral("--render"), QStringLiteral("WatchlistWidget"),
                                       QStringLiteral("--family"), QStringLiteral("large")},
            &status);
        QCOMPARE(status, 0);
        QCOMPARE(list.size(), QSize(364, 382));
        const QColor rise(0x2C, 0xBD, 0x84);
        const QColor fall(0xF6, 0x46, 0x5D);
        // Rows of 38 below the 16-pixel header, inside a padding of 12 above and
        // 16 at the sides: bitcoin rises, ethereum falls, solana has no change.
        const QRect changeColumn(364 - 16 - 80, 0, 80, 0);
        const auto row = [&](int index) { return QRect(changeColumn.left(), 12 + 22 + index * 39, 80, 38); };
        QVERIFY(pixelsNear(list, row(0), rise) > 20);
        QVERIFY(pixelsNear(list, row(0), fall) == 0);
        QVERIFY(pixelsNear(list, row(1), fall) > 20);
        QVERIFY(pixelsNear(list, row(2), rise) + pixelsNear(list, row(2), fall) == 0);
        // Text in the price column of each row, and nothing below the third row.
        const QColor ink(0x1C, 0x1C, 0x1E);
        for (int i = 0; i < 3; ++i)
            QVERIFY(pixelsNear(list, QRect(150, row(i).top(), 120, 38), ink) > 30);
        QCOMPARE(pixelsNear(list, QRect(16, row(3).top() + 4, 332, 150), ink), 0);
        // Transparent outside the rounded corners, the light background inside.
        QCOMPARE(list.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(list.pixelColor(182, 370), QColor(0xF6, 0xF6, 0xF7));

        // The coin widget follows the panel coin (ethereum, falling) and in EUR,
        // which the snapshot does not hold and the closed network cannot give,
        // shows the empty view.
        const QImage coin
            = render({QStringLiteral("--render"), QStringLiteral("CoinPriceWidget"), QStringLiteral("--family"),
                         QStringLiteral("small"), QStringLiteral("--scale"), QStringLiteral("2")},
                &status);
        QCOMPARE(status, 0);
        QCOMPARE(coin.size(), QSize(340, 340));
        QVERIFY(pixelsNear(coin, QRect(32, 160, 300, 60), fall) > 100);
        QVERIFY(pixelsNear(coin, QRect(32, 90, 300, 70), ink) > 200);
        const QImage empty
            = render({QStringLiteral("--render"), QStringLiteral("CoinPriceWidget"), QStringLiteral("--family"),
                         QStringLiteral("small"), QStringLiteral("--set"), QStringLiteral("currency=EUR")},
                &status);
        QCOMPARE(status, 0);
        // The empty view: the logo and a line of text in the middle, no coin header above.
        QCOMPARE(pixelsNear(empty, QRect(16, 16, 138, 30), ink), 0);
    }

    void hostileSnapshotAndBadArguments()
    {
        writeSnapshot(QByteArray(100000, '{'));
        int status = -1;
        const QImage image = render({QStringLiteral("--render"), QStringLiteral("WatchlistWidget"),
                                        QStringLiteral("--family"), QStringLiteral("medium")},
            &status);
        QCOMPARE(status, 0);
        QCOMPARE(image.size(), QSize(364, 170));
        render({QStringLiteral("--render"), QStringLiteral("WatchlistWidget"), QStringLiteral("--family"),
                   QStringLiteral("small")},
            &status);
        QCOMPARE(status, 2);
        render({QStringLiteral("--render"), QStringLiteral("WatchlistWidget"), QStringLiteral("--family"),
                   QStringLiteral("large"), QStringLiteral("--set"), QStringLiteral("coins=bitcoin,nocoin")},
            &status);
        QCOMPARE(status, 2);
        render({QStringLiteral("--render"), QStringLiteral("WatchlistWidget"), QStringLiteral("--family"),
                   QStringLiteral("large"), QStringLiteral("--plugin"), m_home.filePath(QStringLiteral("none.so"))},
            &status);
        QCOMPARE(status, 1);
    }

    void printFollowsTheSnapshot()
    {
        writeSnapshot(snapshotJson(80585, qPrintable(QDateTime::currentDateTimeUtc().toString(Qt::ISODate))));
        QProcess *print = startHost({QStringLiteral("--print"), QStringLiteral("waybar"), QStringLiteral("--set"),
            QStringLiteral("coin=bitcoin"), QStringLiteral("--follow")});
        QTRY_VERIFY_WITH_TIMEOUT(print->canReadLine(), 20000);
        const QByteArray first = print->readLine();
        QVERIFY2(first.contains("\"text\":\"BTC $80,585 ▲ +2.50%\""), first.constData());
        QVERIFY(first.contains("\"class\":\"up\""));
        writeSnapshot(snapshotJson(12.5, qPrintable(QDateTime::currentDateTimeUtc().toString(Qt::ISODate))));
        // Each change of the directory may print a line; the new price must come, and nothing wrong before it.
        QByteArray line;
        while (!line.contains("BTC $12.50")) {
            QTRY_VERIFY_WITH_TIMEOUT(print->canReadLine(), 20000);
            line = print->readLine();
            QVERIFY2(line.contains("BTC $80,585") || line.contains("BTC $12.50"), line.constData());
        }
        print->terminate();
        print->waitForFinished(5000);
    }
};

// A private X server for this test alone.
int main(int argc, char **argv)
{
    const Vantrell::Test::XvfbServer xvfb(QStringLiteral("1280x800x24"));
    if (!xvfb.isRunning()) {
        std::fputs("Xvfb did not start\n", stderr);
        return 1;
    }
    QGuiApplication app(argc, argv);
    TestWidgetHostProcess test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_widgethostprocess.moc"
