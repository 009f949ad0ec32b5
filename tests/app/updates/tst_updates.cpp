// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakeclock.h"
#include "memorysettingsstore.h"
#include "settingsstore/settingsdatastorage.h"
#include "updates/feedupdaterbackend.h"
#include "updates/updatecontroller.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Vantrell;

namespace {
using MemoryStorage = Test::MemorySettingsDataStorage;

// Answers every GET with the next scripted result, synchronously on the next event-loop turn.
class ScriptedClient final : public HTTPClient
{
public:
    CancelHandle get(const HttpRequest &request, Completion<HttpResponse> completion) override
    {
        requests.append(request);
        pending.append(std::move(completion));
        return {};
    }
    void answer(Result<HttpResponse> result)
    {
        QVERIFY(!pending.isEmpty());
        pending.takeFirst()(std::move(result));
    }
    void answerFeed(const QByteArray &body, int status = 200) { answer(HttpResponse {status, {}, body}); }

    QList<HttpRequest> requests;
    QList<Completion<HttpResponse>> pending;
};

class RecordingDriver final : public UpdateUserDriver
{
public:
    void showUpdateFound(const UpdateInfo &update, const QString &, std::function<void(Choice)> reply) override
    {
        shown.append(QStringLiteral("update ") + update.version);
        this->reply = std::move(reply);
    }
    void showUpToDate(const QString &version) override { shown.append(QStringLiteral("upToDate ") + version); }
    void showError(const QString &) override { shown.append(QStringLiteral("error")); }
    void openDownload(const QUrl &url) override { downloads.append(url); }

    QStringList shown;
    QList<QUrl> downloads;
    std::function<void(Choice)> reply;
};

class ManualBackend final : public UpdaterBackend
{
public:
    bool canCheckForUpdates() const override { return canCheck; }
    bool automaticallyChecksForUpdates() const override { return automatic; }
    void setAutomaticallyChecksForUpdates(bool enabled) override { automatic = enabled; }
    void checkForUpdates() override { ++checks; }
    bool canCheck = true;
    bool automatic = false;
    int checks = 0;
};

QByteArray feed(const QString &version)
{
    const QString text = QStringLiteral("{\"version\": \"%1\", \"notes\": \"Faster.\", "
                                        "\"url\": \"https://vantrell.org/download/%1\"}");
    return text.arg(version).toUtf8();
}

struct Fixture
{
    Test::FakeClock clock;
    MemoryStorage storage;
    ScriptedClient client;
    RecordingDriver driver;
    UpdateController controller;
    std::unique_ptr<FeedUpdaterBackend> backend;

    Fixture()
    {
        backend = std::make_unique<FeedUpdaterBackend>(controller, client,
            QUrl(QStringLiteral("https://vantrell.org/updates/linux.json")), QStringLiteral("1.2.0"), storage, driver,
            clock.clock());
        controller.setBackend(backend.get());
        controller.setIsAvailable(true);
        controller.refresh();
    }
};
} // namespace

namespace {
struct FeedRow
{
    const char *name;
    const char *body;
    const char *version; // empty: rejected
};

const FeedRow feedRows[] = {
    {"complete",
        "{\"version\":\"1.3.0\",\"notes\":\"n\",\"url\":\"https://x.org/a\", "
        "\"sha256\":\"ABCDEF0123456789abcdef0123456789abcdef0123456789abcdef0123456789\"}",
        "1.3.0"},
    {"minimal", "{\"version\":\"2.0\",\"url\":\"https://x.org/a\"}", "2.0"},
    {"http download", "{\"version\":\"2.0\",\"url\":\"http://x.org/a\"}", ""},
    {"no url", "{\"version\":\"2.0\"}", ""},
    {"version words", "{\"version\":\"latest\",\"url\":\"https://x.org/a\"}", ""},
    {"version number", "{\"version\":2,\"url\":\"https://x.org/a\"}", ""},
    {"short checksum", "{\"version\":\"2.0\",\"url\":\"https://x.org/a\",\"sha256\":\"abc\"}", ""},
    {"notes not text", "{\"version\":\"2.0\",\"url\":\"https://x.org/a\",\"notes\":[1]}", ""},
    {"array", "[]", ""},
    {"html error page", "<html>502</html>", ""},
};
} // namespace

class TestUpdates final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controllerWithoutBackend()
    {
        UpdateController controller;
        controller.refresh();
        controller.checkForUpdates();
        controller.setAutomaticallyChecksForUpdates(true);
        QVERIFY(!controller.canCheckForUpdates());
        QVERIFY(!controller.automaticallyChecksForUpdates());
        QVERIFY(!controller.isAvailable());
        QVERIFY(!controller.updateAvailable());
    }

    void controllerChecksOnlyWhenTheBackendCan()
    {
        UpdateController controller;
        ManualBackend backend;
        controller.setBackend(&backend);

        backend.canCheck = false;
        controller.checkForUpdates();
        QCOMPARE(backend.checks, 0);

        backend.canCheck = true;
        controller.checkForUpdates();
        QCOMPARE(backend.checks, 1);
        QVERIFY(controller.canCheckForUpdates());

        controller.setAutomaticallyChecksForUpdates(true);
        QVERIFY(backend.automatic);
        QVERIFY(controller.automaticallyChecksForUpdates());
    }

    void parseFeed_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("version"); // empty: rejected
        for (const FeedRow &row : feedRows)
            QTest::newRow(row.name) << QByteArray(row.body) << QString::fromLatin1(row.version);
    }

    void parseFeed()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, version);
        const auto info = parseUpdateFeed(body);
        QCOMPARE(info.has_value(), !version.isEmpty());
        if (info)
            QCOMPARE(info->version, version);
    }

    void compareVersions_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        QTest::newRow("equal") << QStringLiteral("1.2.0") << QStringLiteral("1.2") << 0;
        QTest::newRow("numeric not textual") << QStringLiteral("1.10") << QStringLiteral("1.9") << 1;
        QTest::newRow("older") << QStringLiteral("0.9.9") << QStringLiteral("1.0") << -1;
        QTest::newRow("patch") << QStringLiteral("1.2.1") << QStringLiteral("1.2") << 1;
    }

    void compareVersions()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        QCOMPARE(Vantrell::compareVersions(a, b), expected);
    }

    void userCheckShowsTheUpdateAndNeverSetsTheReminder()
    {
        Fixture f;
        QVERIFY(f.controller.canCheckForUpdates());
        f.controller.checkForUpdates();
        QVERIFY(!f.controller.canCheckForUpdates()); // a check is running
        f.controller.checkForUpdates(); // ignored while it runs
        QCOMPARE(f.client.requests.size(), 1);
        QCOMPARE(f.client.requests.first().url.host(), QStringLiteral("vantrell.org"));

        f.client.answerFeed(feed(QStringLiteral("1.3.0")));
        QCOMPARE(f.driver.shown, QStringList {QStringLiteral("update 1.3.0")});
        QVERIFY(!f.controller.updateAvailable());
        QVERIFY(f.controller.canCheckForUpdates());

        f.driver.reply(UpdateUserDriver::Choice::download);
        QCOMPARE(f.driver.downloads, QList<QUrl> {QUrl(QStringLiteral("https://vantrell.org/download/1.3.0"))});
        QVERIFY(!f.controller.updateAvailable());
    }

    void userCheckOutcomes_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("shown");
        QTest::newRow("same version") << 200 << feed(QStringLiteral("1.2.0")) << QStringLiteral("upToDate 1.2.0");
        QTest::newRow("older feed") << 200 << feed(QStringLiteral("1.1.9")) << QStringLiteral("upToDate 1.2.0");
        QTest::newRow("server error") << 503 << QByteArray("busy") << QStringLiteral("error");
        QTest::newRow("garbage") << 200 << QByteArray("{") << QStringLiteral("error");
    }

    void userCheckOutcomes()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, shown);
        Fixture f;
        // The reminder of an earlier find goes out with the user's own check, whatever it finds.
        f.controller.setUpdateAvailable(true);
        f.controller.checkForUpdates();
        f.client.answerFeed(body, status);
        QCOMPARE(f.driver.shown, QStringList {shown});
        QVERIFY(!f.controller.updateAvailable());
    }

    void transportFailureIsShownToTheUser()
    {
        Fixture f;
        f.controller.checkForUpdates();
        f.client.answer(MarketError::make(MarketError::Code::timedOut));
        QCOMPARE(f.driver.shown, QStringList {QStringLiteral("error")});
    }

    void scheduledCheckRaisesTheReminderQuietly()
    {
        Fixture f;
        QCOMPARE(f.backend->nextScheduledCheck(), f.clock.now().addSecs(120));
        f.backend->runScheduledCheckIfDue(); // not yet due
        QCOMPARE(f.client.requests.size(), 0);

        f.clock.advance(120);
        f.backend->runScheduledCheckIfDue();
        QCOMPARE(f.client.requests.size(), 1);
        f.client.answerFeed(feed(QStringLiteral("1.3.0")));
        QVERIFY(f.driver.shown.isEmpty());
        QVERIFY(f.controller.updateAvailable());
        QCOMPARE(f.backend->nextScheduledCheck(), f.clock.now().addSecs(24 * 3600));

        // The user looks at it: the dialog takes over and the reminder goes.
        f.controller.checkForUpdates();
        f.client.answerFeed(feed(QStringLiteral("1.3.0")));
        QVERIFY(!f.controller.updateAvailable());
        f.driver.reply(UpdateUserDriver::Choice::skipThisVersion);
        QCOMPARE(f.backend->skippedVersion(), QStringLiteral("1.3.0"));

        // A skipped version no longer raises the reminder on scheduled checks.
        f.clock.advance(24 * 3600);
        f.backend->runScheduledCheckIfDue();
        f.client.answerFeed(feed(QStringLiteral("1.3.0")));
        QVERIFY(!f.controller.updateAvailable());
        // A newer one does.
        f.clock.advance(24 * 3600);
        f.backend->runScheduledCheckIfDue();
        f.client.answerFeed(feed(QStringLiteral("1.4.0")));
        QVERIFY(f.controller.updateAvailable());
    }

    void scheduledFailuresAreSilent()
    {
        Fixture f;
        f.clock.advance(120);
        f.backend->runScheduledCheckIfDue();
        f.client.answerFeed("nope", 404);
        QVERIFY(f.driver.shown.isEmpty());
        QVERIFY(!f.controller.updateAvailable());
    }

    void automaticChecksPersist()
    {
        Fixture f;
        QVERIFY(f.controller.automaticallyChecksForUpdates());
        f.controller.setAutomaticallyChecksForUpdates(false);
        QVERIFY(!f.controller.automaticallyChecksForUpdates());
        QVERIFY(!f.backend->nextScheduledCheck());
        const QJsonObject stored = QJsonDocument::fromJson(f.storage.blobs.value(QStringLiteral("updater"))).object();
        QCOMPARE(stored.value(QLatin1String("automaticallyChecksForUpdates")).toBool(true), false);

        // A later start reads the wish back.
        UpdateController controller;
        FeedUpdaterBackend again(controller, f.client, QUrl(QStringLiteral("https://vantrell.org/u.json")),
            QStringLiteral("1.2.0"), f.storage, f.driver, f.clock.clock());
        QVERIFY(!again.automaticallyChecksForUpdates());
    }

    void lastCheckTimeSchedulesTheNextOne()
    {
        Fixture f;
        f.storage.blobs.insert(QStringLiteral("updater"),
            QByteArrayLiteral("{\"automaticallyChecksForUpdates\": true, \"lastCheckTime\": \"")
                + f.clock.now().addSecs(-3600).toString(Qt::ISODate).toUtf8() + "\"}");
        UpdateController controller;
        FeedUpdaterBackend backend(controller, f.client, QUrl(QStringLiteral("https://vantrell.org/u.json")),
            QStringLiteral("1.2.0"), f.storage, f.driver, f.clock.clock());
        QCOMPARE(backend.nextScheduledCheck(), f.clock.now().addSecs(23 * 3600));

        // A last check in the future (clock set back) does not postpone checks for ever.
        f.storage.blobs.insert(QStringLiteral("updater"),
            QByteArrayLiteral("{\"lastCheckTime\": \"") + f.clock.now().addDays(30).toString(Qt::ISODate).toUtf8()
                + "\"}");
        FeedUpdaterBackend skewed(controller, f.client, QUrl(QStringLiteral("https://vantrell.org/u.json")),
            QStringLiteral("1.2.0"), f.storage, f.driver, f.clock.clock());
        QCOMPARE(skewed.nextScheduledCheck(), f.clock.now().addSecs(120));
    }
};

QTEST_MAIN(TestUpdates)
#include "tst_updates.moc"
