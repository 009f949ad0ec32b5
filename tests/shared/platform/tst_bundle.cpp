// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/bundle.h"
#include "platform/paths.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Vantrell;

class TestBundle final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsInfoAndFindsResources()
    {
        QTemporaryDir dir;
        Test::writeTestBundle(dir.path());
        QDir(dir.path()).mkpath(QStringLiteral("images"));
        QDir(dir.path()).mkpath(QStringLiteral("i18n"));
        for (const char *name : {"coins.json", "images/coin-bitcoin.png", "images/coin-bitcoin.svg",
                 "images/app-logo.png", "i18n/vantrell_zh-Hans.qm"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }

        const Bundle bundle(dir.path());
        QCOMPARE(bundle.bundleIdentifier(), QStringLiteral("org.vantrell.Test"));
        QCOMPARE(bundle.shortVersion(), QStringLiteral("1.2.3"));
        QCOMPARE(bundle.resourcePath(QStringLiteral("coins"), QStringLiteral("json")),
            dir.filePath(QStringLiteral("coins.json")));
        QVERIFY(!bundle.resourcePath(QStringLiteral("recommendedCoins"), QStringLiteral("json")));
        QVERIFY(!bundle.resourcePath(QStringLiteral("../coins"), QStringLiteral("json")));
        // SVG is preferred when both forms exist.
        QCOMPARE(
            bundle.imagePath(QStringLiteral("coin-bitcoin")), dir.filePath(QStringLiteral("images/coin-bitcoin.svg")));
        QCOMPARE(bundle.imagePath(QStringLiteral("app-logo")), dir.filePath(QStringLiteral("images/app-logo.png")));
        QVERIFY(!bundle.hasImage(QStringLiteral("coin-ethereum")));
        QVERIFY(bundle.translationPath(QStringLiteral("zh-Hans")));
        QVERIFY(!bundle.translationPath(QStringLiteral("zh-Hant")));
    }

    void missingBundleMissesEverything()
    {
        const Bundle bundle(QStringLiteral("/nonexistent/vantrell"));
        QVERIFY(bundle.bundleIdentifier().isEmpty());
        QVERIFY(!bundle.infoValue(QStringLiteral("VantrellAppGroup")).isValid());
        QVERIFY(!bundle.resourcePath(QStringLiteral("coins"), QStringLiteral("json")));
        QVERIFY(!Paths::sharedContainerDirectory(bundle));
        QVERIFY(!Bundle().hasImage(QStringLiteral("app-logo")));
    }

    void sharedContainer_data()
    {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QString>("expectedLeaf"); // empty: no container

        QTest::newRow("group") << QByteArray(R"({"VantrellAppGroup": "vantrell"})") << QStringLiteral("vantrell");
        QTest::newRow("no key") << QByteArray(R"({"bundleIdentifier": "x"})") << QString();
        QTest::newRow("not a string") << QByteArray(R"({"VantrellAppGroup": 7})") << QString();
        QTest::newRow("empty") << QByteArray(R"({"VantrellAppGroup": ""})") << QString();
        QTest::newRow("path escape") << QByteArray(R"({"VantrellAppGroup": "../etc"})") << QString();
        QTest::newRow("dot dot") << QByteArray(R"({"VantrellAppGroup": ".."})") << QString();
    }

    void sharedContainer()
    {
        QFETCH(QByteArray, info);
        QFETCH(QString, expectedLeaf);
        Test::IsolatedXdg xdg;
        QTemporaryDir dir;
        Test::writeTestBundle(dir.path(), info);
        const auto container = Paths::sharedContainerDirectory(Bundle(dir.path()));
        if (expectedLeaf.isEmpty()) {
            QVERIFY(!container);
        } else {
            QCOMPARE(container, xdg.cacheHome() + QLatin1Char('/') + expectedLeaf);
        }
    }

    void settingsDirectoryFollowsXdgConfigHome()
    {
        Test::IsolatedXdg xdg;
        QCOMPARE(Paths::settingsDirectory(), xdg.configHome() + QStringLiteral("/vantrell"));
        QCOMPARE(Paths::autostartDirectory(), xdg.configHome() + QStringLiteral("/autostart"));
    }

    void shippedInfoNamesTheGroupAndVersion()
    {
        const Bundle bundle(QStringLiteral(VANTRELL_RESOURCES_DIR "/bundle"));
        QCOMPARE(bundle.bundleIdentifier(), QStringLiteral(VANTRELL_APP_ID));
        QCOMPARE(bundle.shortVersion(), QStringLiteral(VANTRELL_VERSION));
        QCOMPARE(bundle.infoValue(QStringLiteral("VantrellAppGroup")).toString(), QStringLiteral("vantrell"));
        QVERIFY(bundle.updateFeedURL().startsWith(QLatin1String("https://")));
    }
};

QTEST_GUILESS_MAIN(TestBundle)
#include "tst_bundle.moc"
