// SPDX-License-Identifier: GPL-3.0-or-later
#include "launchatloginservice.h"
#include "logcapture.h"
#include "testenvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Vantrell;

class TestLaunchAtLogin final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void registersAndUnregisters()
    {
        QTemporaryDir dir;
        const LaunchAtLoginService service(
            dir.filePath(QStringLiteral("autostart")), QStringLiteral("/usr/bin/vantrell"));
        service.apply(true);
        QFile entry(service.entryPath());
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QByteArray content = entry.readAll();
        entry.close();
        QVERIFY(content.startsWith("[Desktop Entry]\n"));
        QVERIFY(content.contains("\nExec=/usr/bin/vantrell\n"));
        QVERIFY(content.contains("\nType=Application\n"));
        QVERIFY(service.entryPath().endsWith(QStringLiteral("/autostart/" VANTRELL_APP_ID ".desktop")));

        service.apply(true); // idempotent
        QVERIFY(QFile::exists(service.entryPath()));
        service.apply(false);
        QVERIFY(!QFile::exists(service.entryPath()));
        service.apply(false); // nothing to remove is no failure
    }

    // Only what Vantrell wrote is ever replaced or removed.
    void usersOwnEntryStays_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<bool>("enable");
        QTest::addColumn<bool>("keptAsItWas");
        QTest::addColumn<bool>("exists");

        const QByteArray users = "[Desktop Entry]\nType=Application\nName=Vantrell\nExec=vantrell %u\n"
                                 "MimeType=x-scheme-handler/vantrell;\nX-GNOME-Autostart-enabled=true\n";
        QByteArray legacy = LaunchAtLoginService::desktopEntry(QStringLiteral("/old/vantrell"));
        legacy.replace("X-Vantrell-Managed=true\n", "");
        const QByteArray marked = LaunchAtLoginService::desktopEntry(QStringLiteral("/old/vantrell"));

        QTest::newRow("user's entry, disabled") << users << false << true << true;
        QTest::newRow("user's entry, enabled") << users << true << true << true;
        QTest::newRow("ours, disabled") << marked << false << false << false;
        QTest::newRow("ours from an earlier release, disabled") << legacy << false << false << false;
        QTest::newRow("ours from an earlier release, enabled: rewritten") << legacy << true << false << true;
        QTest::newRow("ours with a user's extra line, disabled") << legacy + "Hidden=true\n" << false << true << true;
    }

    void usersOwnEntryStays()
    {
        QFETCH(QByteArray, existing);
        QFETCH(bool, enable);
        QFETCH(bool, keptAsItWas);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        const LaunchAtLoginService service(dir.path(), QStringLiteral("/usr/bin/vantrell"));
        QFile file(service.entryPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(existing);
        file.close();

        service.apply(enable);
        QCOMPARE(QFile::exists(service.entryPath()), exists);
        if (exists) {
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll() == existing, keptAsItWas);
        }
    }

    void execIsQuoted_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QByteArray>("execLine");

        QTest::newRow("plain") << QStringLiteral("/opt/vantrell/bin/vantrell")
                               << QByteArray("Exec=/opt/vantrell/bin/vantrell");
        QTest::newRow("space") << QStringLiteral("/home/a b/vantrell") << QByteArray("Exec=\"/home/a b/vantrell\"");
        QTest::newRow("dollar") << QStringLiteral("/tmp/$x/vantrell") << QByteArray("Exec=\"/tmp/\\\\$x/vantrell\"");
        QTest::newRow("quote") << QStringLiteral("/tmp/a\"b") << QByteArray("Exec=\"/tmp/a\\\\\"b\"");
        QTest::newRow("backslash") << QStringLiteral("/tmp/a\\b") << QByteArray("Exec=\"/tmp/a\\\\\\\\b\"");
    }

    void execIsQuoted()
    {
        QFETCH(QString, executable);
        QFETCH(QByteArray, execLine);
        const QByteArray entry = LaunchAtLoginService::desktopEntry(executable);
        const QByteArray line = QByteArray("\n").append(execLine).append('\n');
        QVERIFY2(entry.contains(line), entry.constData());
    }

    void failureIsLoggedAndHarmless()
    {
        QTemporaryDir dir;
        // A file where the autostart directory should be.
        const QString blocked = dir.filePath(QStringLiteral("autostart"));
        QFile blocker(blocked);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Test::LogCapture log;
        LaunchAtLoginService(blocked, QStringLiteral("/usr/bin/vantrell")).apply(true);
        const auto records = log.records(QStringLiteral("LaunchAtLogin"));
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().type, QtCriticalMsg);
        QVERIFY(records.first().message.startsWith(QStringLiteral("Failed to update login item: ")));
    }

    void staticServiceUsesXdgAutostart()
    {
        Test::IsolatedXdg xdg;
        LaunchAtLoginService::setEnabled(true);
        const QString path = xdg.configHome() + QStringLiteral("/autostart/" VANTRELL_APP_ID ".desktop");
        QVERIFY(QFile::exists(path));
        LaunchAtLoginService::setEnabled(false);
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestLaunchAtLogin)
#include "tst_launchatlogin.moc"
