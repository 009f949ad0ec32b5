// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/applicationservice.h"

#include <QDBusConnection>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace Vantrell;

namespace {
// A second, independent connection to the same private bus, as another process would have.
QDBusConnection otherConnection(const QString &name)
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
}
} // namespace

class TestApplicationService final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deepLinkDetection_data()
    {
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<bool>("expected");

        QTest::newRow("popover") << QStringList {QStringLiteral("vantrell://popover")} << true;
        QTest::newRow("any host") << QStringList {QStringLiteral("vantrell://settings/x?y")} << true;
        QTest::newRow("second url") << QStringList {QStringLiteral("https://x.org"), QStringLiteral("vantrell:")}
                                    << true;
        QTest::newRow("upper-case scheme") << QStringList {QStringLiteral("VANTRELL://popover")} << false;
        QTest::newRow("other scheme") << QStringList {QStringLiteral("vantrellx://popover")} << false;
        QTest::newRow("file") << QStringList {QStringLiteral("/home/user/vantrell://popover")} << false;
        QTest::newRow("none") << QStringList {} << false;
    }

    void deepLinkDetection()
    {
        QFETCH(QStringList, urls);
        QFETCH(bool, expected);
        QCOMPARE(ApplicationService::containsDeepLink(urls), expected);
    }

    void objectPathFollowsTheId()
    {
        QCOMPARE(ApplicationService::objectPath(QStringLiteral("org.vantrell.Vantrell")),
            QStringLiteral("/org/vantrell/Vantrell"));
        QCOMPARE(ApplicationService::objectPath(QStringLiteral("org.example.my-app")),
            QStringLiteral("/org/example/my_app"));
    }

    void secondInstanceHandsOverItsUrls()
    {
        ApplicationService first(QDBusConnection::sessionBus(), QStringLiteral("org.vantrell.Test1"));
        QVERIFY(first.registerPrimary());
        QSignalSpy opened(&first, &ApplicationService::openRequested);
        QSignalSpy activated(&first, &ApplicationService::activateRequested);

        ApplicationService second(otherConnection(QStringLiteral("second")), QStringLiteral("org.vantrell.Test1"));
        QVERIFY(!second.registerPrimary());
        // The call blocks the caller's connection only; the first instance answers from this event loop,
        // so forward from a separate process-like thread: gdbus does exactly what a second start does.
        QProcess gdbus;
        gdbus.start(QStringLiteral("gdbus"),
            {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                QStringLiteral("org.vantrell.Test1"), QStringLiteral("--object-path"),
                QStringLiteral("/org/vantrell/Test1"), QStringLiteral("--method"),
                QStringLiteral("org.freedesktop.Application.Open"),
                QStringLiteral("['https://example.org', 'vantrell://popover']"), QStringLiteral("{}")});
        // Any process on the bus can call Open: what the program does not know stays behind.
        QTRY_COMPARE(opened.size(), 1);
        QCOMPARE(opened.first().first().toStringList(), QStringList {QStringLiteral("vantrell://popover")});
        QTRY_COMPARE_WITH_TIMEOUT(gdbus.state(), QProcess::NotRunning, 10000);
        QCOMPARE(gdbus.exitCode(), 0);

        QProcess activate;
        activate.start(QStringLiteral("gdbus"),
            {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                QStringLiteral("org.vantrell.Test1"), QStringLiteral("--object-path"),
                QStringLiteral("/org/vantrell/Test1"), QStringLiteral("--method"),
                QStringLiteral("org.freedesktop.Application.Activate"), QStringLiteral("{}")});
        QTRY_COMPARE(activated.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(activate.state(), QProcess::NotRunning, 10000);
    }

    void forwardingFailsWithoutAPrimary()
    {
        ApplicationService lonely(otherConnection(QStringLiteral("lonely")), QStringLiteral("org.vantrell.Nobody"));
        QVERIFY(!lonely.forwardToPrimary({QStringLiteral("vantrell://popover")}, 2000));
    }

    void nameIsFreedWhenThePrimaryEnds()
    {
        {
            ApplicationService first(QDBusConnection::sessionBus(), QStringLiteral("org.vantrell.Test2"));
            QVERIFY(first.registerPrimary());
        }
        ApplicationService next(otherConnection(QStringLiteral("next")), QStringLiteral("org.vantrell.Test2"));
        QVERIFY(next.registerPrimary());
    }
};

QTEST_GUILESS_MAIN(TestApplicationService)
#include "tst_applicationservice.moc"
