// SPDX-License-Identifier: GPL-3.0-or-later
// Kills the real program with SIGKILL at random moments of its first two and
// a half seconds, when it writes most of its files (settings it corrects, the
// widget snapshot, the exchange-rate cache, coin logos, the autostart entry),
// and checks after every kill that each file it left is whole and readable,
// that nothing but the temporary name of an interrupted replacement is left
// behind and that the watchlist is intact. At
// the end the program starts from what the kills left and shows prices. The
// widget host's list of widgets gets the same treatment from a child that
// saves it in a loop with the host's own code, since the host writes it only
// when the user moves, adds or edits a widget.
#include "fakemarket.h"
#include "fakestatusnotifierwatcher.h"
#include "settings/appsettings.h"
#include "testenvironment.h"
#include "vantrellprocess.h"
#include "widgethostconfig.h"
#include "widgetkit/widgetsnapshot.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <csignal>

using namespace Vantrell;

namespace {

// Two rows of kills, each within QtTest's five minutes per test function.
constexpr int kKillsPerRow = 100;
constexpr int kLatestKillMs = 2500;
constexpr int kWidgetListKills = 50;
constexpr int kLatestWidgetListKillMs = 800;

// The two lists the writer child alternates between: one widget, then three.
WidgetHostConfig widgetList(int version)
{
    WidgetHostConfig config;
    for (int i = 0; i <= 2 * version; ++i) {
        config.widgets.append({QStringLiteral("w%1").arg(i), QStringLiteral("CoinPriceWidget"), WidgetFamily::small,
            {{QStringLiteral("coin"), QStringLiteral("bitcoin")}}, QPoint(20 * i, 40), QStringLiteral("screen")});
    }
    return config;
}

// The child's part: saves the two lists in turn until it is killed.
[[noreturn]] void writeWidgetListForever(const QString &path)
{
    const WidgetConfigFile file(path);
    for (int turn = 0;; turn = 1 - turn)
        file.save(widgetList(turn));
}

QJsonArray watchlist()
{
    QJsonArray coins;
    for (const char *id : {"bitcoin", "ethereum", "solana", "dogecoin", "ripple", "cardano"})
        coins.append(QJsonObject {{QStringLiteral("coinId"), QString::fromLatin1(id)}});
    return coins;
}

// Settings the program corrects at start (the displayed coin is not in the
// watchlist), so that every start writes them.
QJsonObject settingsToCorrect()
{
    return {
        {QStringLiteral("pollingInterval"), 0.5},
        {QStringLiteral("baseCurrency"), QStringLiteral("EUR")},
        {QStringLiteral("launchAtLogin"), true},
        {QStringLiteral("displayedCoinId"), QStringLiteral("no-such-coin")},
        {QStringLiteral("addedCoins"), watchlist()},
    };
}

// A kill between the two steps of replacing a file (the new data linked under
// a temporary name, then renamed over the old) leaves that temporary name,
// "<file>.XXXXXX", beside the file, which itself stays whole. Nothing reads it.
QSet<QString> g_leftovers;
bool isCommitLeftover(const QString &path)
{
    static const QRegularExpression pattern(QStringLiteral("^(.+)\\.[A-Za-z0-9]{6}$"));
    const QRegularExpressionMatch match = pattern.match(path);
    return match.hasMatch() && QFileInfo::exists(match.captured(1));
}

// What is wrong with `path`, a file the program wrote; empty when it is whole.
QString problemWith(const QString &path)
{
    if (isCommitLeftover(path)) {
        g_leftovers.insert(path);
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unreadable");
    const QByteArray data = file.readAll();
    if (path.endsWith(QLatin1String("appSettings.json"))) {
        const std::optional<AppSettings> settings = AppSettings::decode(data);
        if (!settings)
            return QStringLiteral("settings do not decode");
        if (settings->watchlistCoins.size() != watchlist().size())
            return QStringLiteral("watchlist of %1 coins").arg(settings->watchlistCoins.size());
        return {};
    }
    if (path.endsWith(QLatin1String("widget-snapshot.json")))
        return WidgetSnapshot::decode(data) ? QString() : QStringLiteral("snapshot does not decode");
    if (path.endsWith(QLatin1String(".json"))) {
        QJsonParseError error;
        QJsonDocument::fromJson(data, &error);
        return error.error == QJsonParseError::NoError ? QString() : error.errorString();
    }
    if (path.endsWith(QLatin1String(".desktop")))
        return data.startsWith("[Desktop Entry]\n") && data.endsWith('\n') ? QString()
                                                                           : QStringLiteral("cut desktop entry");
    if (path.endsWith(QLatin1String(".png")) || path.endsWith(QLatin1String(".svg"))) {
        QImageReader reader(path);
        return reader.read().isNull() ? reader.errorString() : QString();
    }
    // Anything else (a temporary file of an interrupted write) should not be there.
    return QStringLiteral("unexpected file");
}

} // namespace

class TestCrashSafety final : public QObject
{
    Q_OBJECT

private:
    Test::IsolatedXdg m_xdg;
    FakeMarket m_market;
    QSet<QString> m_names;

    // Every file below the test's XDG directories with its problem, if any.
    QStringList problems(QStringList *seen = nullptr) const
    {
        QStringList found;
        QDirIterator it(m_xdg.root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (seen)
                seen->append(QFileInfo(path).fileName());
            const QString problem = problemWith(path);
            if (!problem.isEmpty())
                found.append(path + QStringLiteral(": ") + problem);
        }
        return found;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_market.listen() != 0);
        m_market.setUsdRate(QStringLiteral("EUR"), 0.9);
    }

    void filesSurviveKills_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("first hundred") << quint32(20261209);
        QTest::newRow("second hundred") << quint32(1209);
    }

    void filesSurviveKills()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        for (int kill = 0; kill < kKillsPerRow; ++kill) {
            // Even kills start from the program's own last file, odd ones from one it must correct.
            if (kill % 2 == 1)
                Test::writeAppSettings(settingsToCorrect());
            Test::VantrellProcess app(m_market.hostMap());
            app.start();
            QVERIFY(app.process().waitForStarted(10000));
            QTest::qWait(int(random.bounded(kLatestKillMs)));
            ::kill(pid_t(app.process().processId()), SIGKILL);
            QVERIFY(app.waitForExit(10000));
            QVERIFY2(!app.log().contains(QLatin1String("ERROR: AddressSanitizer")), qPrintable(app.log()));

            QStringList seen;
            const QStringList found = problems(&seen);
            QVERIFY2(found.isEmpty(), qPrintable(QStringLiteral("after kill %1: ").arg(kill + 1) + found.join(u'\n')));
            for (const QString &name : std::as_const(seen))
                m_names.insert(name);
        }
    }

    // The kills did land while the program was writing its files.
    void everyFileWasWritten()
    {
        QStringList sorted(m_names.cbegin(), m_names.cend());
        sorted.sort();
        qInfo("%d kills; files seen: %s; leftovers of an interrupted replacement: %d", 2 * kKillsPerRow,
            qPrintable(sorted.join(QStringLiteral(", "))), int(g_leftovers.size()));
        for (const char *name :
            {"appSettings.json", "widget-snapshot.json", "exchange-rates.json", "org.vantrell.Vantrell.desktop"})
            QVERIFY2(m_names.contains(QString::fromLatin1(name)), name);
    }

    void widgetListSurvivesKills()
    {
        const QString directory = m_xdg.root() + QStringLiteral("/widget-host");
        const QString path = directory + QStringLiteral("/widgets.json");
        QRandomGenerator random(20261209);
        int whole = 0;
        for (int kill = 0; kill < kWidgetListKills; ++kill) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--write-widget-list"), path});
            QVERIFY(writer.waitForStarted(10000));
            QTest::qWait(int(random.bounded(kLatestWidgetListKillMs)));
            ::kill(pid_t(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(10000));
            if (!QFile::exists(path))
                continue; // killed before its first save
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const std::optional<WidgetHostConfig> config = WidgetHostConfig::decode(file.readAll());
            QVERIFY2(config && (*config == widgetList(0) || *config == widgetList(1)),
                qPrintable(QStringLiteral("after kill %1: not a list that was written").arg(kill + 1)));
            QStringList files = QDir(directory).entryList(QDir::Files | QDir::Hidden);
            files.removeIf([&](const QString &name) {
                const QString leftover = directory + u'/' + name;
                if (!isCommitLeftover(leftover))
                    return false;
                g_leftovers.insert(leftover);
                return true;
            });
            QVERIFY2(files == QStringList {QStringLiteral("widgets.json")}, qPrintable(files.join(u' ')));
            ++whole;
        }
        qInfo("%d kills of the widget list writer; %d left a file, each whole; leftovers of an interrupted "
              "replacement so far: %d",
            kWidgetListKills, whole, int(g_leftovers.size()));
        QVERIFY(whole > kWidgetListKills / 2);
        QDir(directory).removeRecursively();
    }

    // ... and clears the temporary names of interrupted replacements, and
    // only those: a planted one beside the settings goes, look-alikes stay.
    void programStartsFromWhatTheKillsLeft()
    {
        const QString settingsDirectory = QFileInfo(Test::appSettingsPath()).absolutePath();
        const auto plant = [](const QString &path) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("{}");
            QVERIFY(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-60), QFileDevice::FileModificationTime));
        };
        const QString planted = settingsDirectory + QStringLiteral("/appSettings.json.Q7x2Lm");
        const QStringList lookAlikes {settingsDirectory + QStringLiteral("/appSettings.json.Q7x2L"),
            settingsDirectory + QStringLiteral("/notes.txt.Q7x2Lm"),
            settingsDirectory + QStringLiteral("/appSettings.json.Q7x2Lm~")};
        const QStringList planting = QStringList(lookAlikes) << planted;
        for (const QString &path : planting)
            plant(path);
        QStringList leftovers {planted};
        for (const QString &path : std::as_const(g_leftovers)) {
            if (QFileInfo::exists(path))
                leftovers.append(path);
        }

        Test::FakeStatusNotifierWatcher watcher;
        QVERIFY(watcher.start());
        m_market.setQuote(QStringLiteral("BTC"), 50000, 1);
        Test::VantrellProcess app(m_market.hostMap());
        app.start();
        // 50,000 USD at 0.9 EUR per dollar.
        QTRY_COMPARE_WITH_TIMEOUT(watcher.itemToolTip().title.trimmed(), QStringLiteral("BTC 45,000"), 60000);
        for (const QString &path : std::as_const(leftovers))
            QVERIFY2(!QFileInfo::exists(path), qPrintable(path));
        for (const QString &path : lookAlikes)
            QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        const QJsonObject settings = Test::readAppSettings();
        QStringList stored;
        for (const QJsonValue &coin : settings.value(QStringLiteral("addedCoins")).toArray())
            stored.append(coin[QLatin1String("coinId")].toString());
        QStringList written;
        for (const QJsonValue &coin : watchlist())
            written.append(coin[QLatin1String("coinId")].toString());
        QCOMPARE(stored, written);
        QCOMPARE(settings.value(QStringLiteral("displayedCoinId")).toString(), QStringLiteral("bitcoin"));
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--write-widget-list") == 0)
        writeWidgetListForever(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    TestCrashSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashsafety.moc"
