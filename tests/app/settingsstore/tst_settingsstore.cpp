// SPDX-License-Identifier: GPL-3.0-or-later
#include "logcapture.h"
#include "memorysettingsstore.h"
#include "settingsstore/settingsdatastorage.h"
#include "settingsstore/settingsstore.h"
#include "settingsstore/settingsviewmodel.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace Vantrell;

namespace {
// Keeps blobs in memory and counts writes.
using MemoryStorage = Test::MemorySettingsDataStorage;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int settingsErrors(const Test::LogCapture &log, const QString &prefix)
{
    int count = 0;
    for (const auto &record : log.records(QStringLiteral("Settings"))) {
        if (record.type == QtCriticalMsg && record.message.startsWith(prefix))
            ++count;
    }
    return count;
}
} // namespace

class TestSettingsStore final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadsStoredData_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("stored");
        QTest::addColumn<bool>("expectLoaded");
        QTest::addColumn<int>("expectedErrors");

        QTest::newRow("first launch") << std::optional<QByteArray>() << false << 0;
        QTest::newRow("empty object") << std::optional<QByteArray>("{}") << true << 0;
        QTest::newRow("array") << std::optional<QByteArray>("[]") << true << 1;
        QTest::newRow("not json") << std::optional<QByteArray>("xyz") << true << 1;
        QTest::newRow("empty file") << std::optional<QByteArray>("") << true << 1;
    }

    void loadsStoredData()
    {
        QFETCH(std::optional<QByteArray>, stored);
        QFETCH(bool, expectLoaded);
        QFETCH(int, expectedErrors);

        MemoryStorage storage;
        if (stored)
            storage.blobs.insert(QStringLiteral("appSettings"), *stored);
        UserDefaultsSettingsStore store(storage);
        Test::LogCapture log;
        const auto loaded = store.load();
        QCOMPARE(loaded.has_value(), expectLoaded);
        if (loaded)
            QCOMPARE(*loaded, AppSettings());
        QCOMPARE(settingsErrors(log, QStringLiteral("Failed to decode stored settings: ")), expectedErrors);
        QCOMPARE(log.records(QStringLiteral("Settings")).size(), expectedErrors);

        // Loading never writes: a corrupt blob stays until the next save.
        SettingsViewModel model(store);
        QCOMPARE(model.settings(), AppSettings());
        QCOMPARE(storage.writes, 0);
        QCOMPARE(storage.data(QStringLiteral("appSettings")), stored);
    }

    void assignmentSavesThenPublishes()
    {
        MemoryStorage storage;
        UserDefaultsSettingsStore store(storage);
        SettingsViewModel model(store);

        QStringList seenInHandler;
        int writesInHandler = -1;
        connect(&model, &SettingsViewModel::settingsChanged, this, [&](const AppSettings &next) {
            QCOMPARE(next, model.settings());
            seenInHandler.append(model.settings().displayedCoinId);
            writesInHandler = storage.writes;
        });
        model.update([](AppSettings &s) { s.displayedCoinId = QStringLiteral("solana"); });
        QCOMPARE(seenInHandler, QStringList {QStringLiteral("solana")});
        QCOMPARE(writesInHandler, 1);
        QCOMPARE(*store.load(), model.settings());

        // The same record is saved again but not published.
        model.setSettings(model.settings());
        QCOMPARE(storage.writes, 2);
        QCOMPARE(seenInHandler.size(), 1);

        // A listener that assigns again: every listener ends on the newest record.
        connect(&model, &SettingsViewModel::settingsChanged, this, [&](const AppSettings &next) {
            if (next.displayedCoinId == QLatin1String("ethereum"))
                model.update([](AppSettings &s) { s.baseCurrency = BaseCurrency::eur; });
        });
        QString lastSeen;
        BaseCurrency lastCurrency = BaseCurrency::usd;
        connect(&model, &SettingsViewModel::settingsChanged, this, [&](const AppSettings &next) {
            lastSeen = next.displayedCoinId;
            lastCurrency = next.baseCurrency;
        });
        model.update([](AppSettings &s) { s.displayedCoinId = QStringLiteral("ethereum"); });
        QCOMPARE(lastSeen, QStringLiteral("ethereum"));
        QCOMPARE(lastCurrency, BaseCurrency::eur);
        QCOMPARE(store.load()->baseCurrency, BaseCurrency::eur);
        QCOMPARE(store.load()->displayedCoinId, QStringLiteral("ethereum"));
    }

    void encodingFailureKeepsThePreviousBlob()
    {
        MemoryStorage storage;
        UserDefaultsSettingsStore store(storage);
        SettingsViewModel model(store);
        model.update([](AppSettings &s) { s.pollingInterval = 30; });
        const QByteArray good = *storage.data(QStringLiteral("appSettings"));

        Test::LogCapture log;
        model.update([](AppSettings &s) { s.pollingInterval = std::numeric_limits<double>::quiet_NaN(); });
        QCOMPARE(settingsErrors(log, QStringLiteral("Failed to encode settings: ")), 1);
        QCOMPARE(*storage.data(QStringLiteral("appSettings")), good);
    }

    void settingsWindowTabIsNotPersisted()
    {
        MemoryStorage storage;
        UserDefaultsSettingsStore store(storage);
        SettingsViewModel model(store);
        QCOMPARE(model.settingsWindowTab(), SettingsTab::general);
        QSignalSpy spy(&model, &SettingsViewModel::settingsWindowTabChanged);
        model.setSettingsWindowTab(SettingsTab::about);
        QCOMPARE(model.settingsWindowTab(), SettingsTab::about);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(storage.writes, 0);
        QCOMPARE(settingsTabFromRawValue(u"watchlist"), SettingsTab::watchlist);
        QVERIFY(!settingsTabFromRawValue(u"General"));
    }

    void fileStorageWritesReadableJsonPerKey()
    {
        Test::IsolatedXdg xdg;
        FileSettingsDataStorage storage;
        QCOMPARE(storage.directory(), xdg.configHome() + QStringLiteral("/vantrell"));
        UserDefaultsSettingsStore store(storage);
        SettingsViewModel model(store);
        QVERIFY(!QFile::exists(storage.filePath(QStringLiteral("appSettings"))));

        model.update([](AppSettings &s) {
            s.baseCurrency = BaseCurrency::jpy;
            s.watchlistCoins.append(WatchlistCoin {QStringLiteral("solana"), CoinAlertKind::below, 120});
        });
        const QString path = xdg.configHome() + QStringLiteral("/vantrell/appSettings.json");
        const QJsonObject onDisk = QJsonDocument::fromJson(readFile(path)).object();
        QCOMPARE(onDisk.value(QLatin1String("baseCurrency")).toString(), QStringLiteral("JPY"));
        QCOMPARE(onDisk.value(QLatin1String("addedCoins")).toArray().size(), 3);
        QVERIFY(readFile(path).contains("\n  \"launchAtLogin\": false,\n"));

        // A second process start reads what the first wrote.
        FileSettingsDataStorage again;
        UserDefaultsSettingsStore store2(again);
        QCOMPARE(*store2.load(), model.settings());
        QCOMPARE(QDir(xdg.configHome() + QStringLiteral("/vantrell")).entryList(QDir::Files | QDir::Hidden),
            QStringList {QStringLiteral("appSettings.json")});
    }

    void corruptFileIsKeptUntilTheNextSave()
    {
        Test::IsolatedXdg xdg;
        FileSettingsDataStorage storage;
        const QString path = storage.filePath(QStringLiteral("appSettings"));
        QDir().mkpath(storage.directory());
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("{\"language\": \"en\", oops");
        }
        UserDefaultsSettingsStore store(storage);
        Test::LogCapture log;
        SettingsViewModel model(store);
        QCOMPARE(model.settings(), AppSettings());
        QCOMPARE(settingsErrors(log, QStringLiteral("Failed to decode stored settings: ")), 1);
        QCOMPARE(readFile(path), QByteArray("{\"language\": \"en\", oops"));

        model.update([](AppSettings &s) { s.language = AppLanguage::en; });
        QCOMPARE(store.load()->language, AppLanguage::en);
    }

    void unwritableFileKeepsThePreviousOneAndLogs()
    {
        Test::IsolatedXdg xdg;
        FileSettingsDataStorage storage;
        UserDefaultsSettingsStore store(storage);
        SettingsViewModel model(store);
        model.update([](AppSettings &s) { s.displayedCoinId = QStringLiteral("ethereum"); });
        const QString path = storage.filePath(QStringLiteral("appSettings"));
        const QByteArray before = readFile(path);

        // A full disk: the new file cannot be written at all.
        rlimit previous {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &previous), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = previous;
        tiny.rlim_cur = 16;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
        Test::LogCapture log;
        model.update([](AppSettings &s) { s.displayedCoinId = QStringLiteral("solana"); });
        ::setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(settingsErrors(log, QStringLiteral("Failed to write ")), 1);
        QCOMPARE(readFile(path), before);
        QCOMPARE(store.load()->displayedCoinId, QStringLiteral("ethereum"));
        // The live record still holds the change; the next good save persists it.
        QCOMPARE(model.settings().displayedCoinId, QStringLiteral("solana"));
        QCOMPARE(QDir(storage.directory()).entryList(QDir::Files | QDir::Hidden),
            QStringList {QStringLiteral("appSettings.json")});
    }

    void refusesKeysThatAreNotFileNames_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("parent") << QStringLiteral("../appSettings");
        QTest::newRow("slash") << QStringLiteral("a/b");
        QTest::newRow("empty") << QString();
        QTest::newRow("hidden") << QStringLiteral(".appSettings");
    }

    void refusesKeysThatAreNotFileNames()
    {
        QFETCH(QString, key);
        Test::IsolatedXdg xdg;
        FileSettingsDataStorage storage;
        Test::LogCapture log;
        storage.set("{}", key);
        QVERIFY(!storage.data(key));
        QCOMPARE(log.records(QStringLiteral("Settings")).size(), 1);
        QVERIFY(!QDir(xdg.configHome()).exists(QStringLiteral("appSettings.json")));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
